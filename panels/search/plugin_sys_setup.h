// CPluginSysSetup: the system-settings button ("PluginSysSetup").
#pragma once

#include "module/plugin_tran_btn.h"

class CPluginSysSetup : public CPluginTranBtn {
 public:
  CPluginSysSetup();

 protected:
  void OnButtonClick() override;
};
