// CPluginResize: the resize grip in the main window's corner ("PluginResize").
#pragma once

#include "host/plughost.h"

class CPluginResize : public CQWBaseWndPluginEx {
 public:
  CPluginResize();
  ~CPluginResize() override;
  LRESULT OnNotify(UINT id, WPARAM wparam, LPARAM lparam) override;

 protected:
  const CQWAttrArray& GetAttrArray() override;
  void Empty() override;
  void RegisterMsg() override;
  void UnRegisterMsg() override;

  std::u16string m_strIconFile;  // "IconFile"
  HWND m_hMainWnd = 0;           // notifications 3138 and 3103
};
