// CPluginFind: the search box ("PluginFind").
#pragma once

#include "host/plughost.h"

class CPluginFind : public CQWBaseWndPluginEx {
 public:
  CPluginFind();
  ~CPluginFind() override;
  LRESULT OnNotify(UINT id, WPARAM wparam, LPARAM lparam) override;

 protected:
  const CQWAttrArray& GetAttrArray() override;
  void Empty() override;
  void RegisterMsg() override;
  void UnRegisterMsg() override;

  std::u16string m_strTip;          // "Tip"
  std::u16string m_strIconFile;     // "IconFile"
  std::u16string m_strCancelImage;  // "SearchCancelImage"
};
