// CPluginMenu: the main menu button ("PluginMenu").
#pragma once

#include "module/plugin_tran_btn.h"

class CPluginMenu : public CPluginTranBtn {
 public:
  CPluginMenu();
  ~CPluginMenu() override;
  LRESULT OnNotify(UINT id, WPARAM wparam, LPARAM lparam) override;

 protected:
  const CQWAttrArray& GetAttrArray() override;
  void Empty() override;
  void RegisterMsg() override;
  void UnRegisterMsg() override;

  BOOL m_bOwnInfoReadOnly = FALSE;  // "OwnInfo_ReadOnly"
};
