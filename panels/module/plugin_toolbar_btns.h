// The toolbar buttons of the module: base colour, add friend, history.
#pragma once

#include "module/plugin_tran_btn.h"

class CPluginBtnColor : public CPluginTranBtn {
 public:
  CPluginBtnColor();
};

class CPluginAddFriend : public CPluginTranBtn {
 public:
  CPluginAddFriend();
  ~CPluginAddFriend() override;
  LRESULT OnNotify(UINT id, WPARAM wparam, LPARAM lparam) override;

 protected:
  void RegisterMsg() override;
  void UnRegisterMsg() override;
  void OnButtonClick() override;

  std::int32_t m_nAddKind = 0;  // set by notification 3139
};

class CPluginHistory : public CPluginTranBtn {
 public:
  CPluginHistory();

 protected:
  void OnButtonClick() override;
};
