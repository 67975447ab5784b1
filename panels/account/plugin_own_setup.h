// CPluginOwnSetup: the own name and status panel ("PluginOwnSetup").
#pragma once

#include "module/plugin_btn_wnd.h"

class CPluginOwnSetup : public CPluginBtnWnd {
 public:
  CPluginOwnSetup();
  ~CPluginOwnSetup() override;
  LRESULT OnNotify(UINT id, WPARAM wparam, LPARAM lparam) override;

 protected:
  const CQWAttrArray& GetAttrArray() override;
  void Empty() override;
  void RegisterMsg() override;
  void UnRegisterMsg() override;

  BOOL m_bOwnInfoReadOnly = FALSE;  // "OwnInfo_ReadOnly"
};
