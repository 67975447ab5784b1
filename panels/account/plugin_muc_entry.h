// CPluginMucEntry: the group entry box ("PluginMucEntry").
#pragma once

#include "host/plughost.h"

class CPluginMucEntry : public CQWBaseWndPluginEx {
 public:
  CPluginMucEntry();
  ~CPluginMucEntry() override;
  LRESULT OnNotify(UINT id, WPARAM wparam, LPARAM lparam) override;

 protected:
  const CQWAttrArray& GetAttrArray() override;
  void Empty() override;
  void RegisterMsg() override;
  void UnRegisterMsg() override;

  std::u16string m_strTip;       // "Tip"
  std::u16string m_strIconFile;  // "IconFile"
};
