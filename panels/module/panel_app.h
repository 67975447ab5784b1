// CPanelModuleApp: the library's application object, holding the registry
// of the plug-ins it created.
#pragma once

#include "module/plugin_registry.h"
#include "platform/cwinapp.h"

class CPanelModuleApp : public CWinApp {
 public:
  CPanelModuleApp();
  ~CPanelModuleApp() override;

  // Module start: the host's resource module becomes the resource handle.
  BOOL InitInstance() override;
  // Module end: every plug-in the host did not free is destroyed, in order.
  int ExitInstance() override;

  CPluginRegistry& Registry() { return m_registry; }

 private:
  CPluginRegistry m_registry;
};

CPanelModuleApp& GetPanelApp();
