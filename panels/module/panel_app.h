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
  // Module end, in this order: every plug-in the host did not free is cut
  // off from the host's managers (the host may have destroyed them already,
  // so no destructor may call one), then destroyed in creation order; the
  // registry's storage is released; the framework's own end runs last.
  int ExitInstance() override;

  CPluginRegistry& Registry() { return m_registry; }

 private:
  CPluginRegistry m_registry;
};

// The application object between module start and module end; null before
// and after, when the exports refuse every call (a host that frees a plug-in
// late must not reach a registry that is gone).
CPanelModuleApp* GetRunningPanelApp();
