// CPluginSkin: the skin chooser button ("PluginSkin").
#pragma once

#include "module/plugin_tran_btn.h"

class CPluginSkin : public CPluginTranBtn {
 public:
  CPluginSkin();
};
