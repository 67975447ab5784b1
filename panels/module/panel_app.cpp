#include "module/panel_app.h"

#include "host/basekit/resource.h"

CPanelModuleApp::CPanelModuleApp() : CWinApp(u"List") {}

CPanelModuleApp::~CPanelModuleApp() = default;

BOOL CPanelModuleApp::InitInstance() {
  CWinApp::InitInstance();
  // Dialogs, menus, strings and bitmaps come from the current skin's
  // resource module, not from this library.
  if (HINSTANCE res = CResourceMgr::GetInstance()->GetDefRes()) AfxSetResourceHandle(res);
  return TRUE;
}

int CPanelModuleApp::ExitInstance() {
  m_registry.DestroyAll();
  return CWinApp::ExitInstance();
}

namespace {

// The application object lives from library load to unload; its instance
// start and end run with it, as they would for a library on the original
// platform (attach and detach).
struct ModuleLifetime {
  CPanelModuleApp app;
  ModuleLifetime() { app.InitInstance(); }
  ~ModuleLifetime() { app.ExitInstance(); }
};

ModuleLifetime theModule;

}  // namespace

CPanelModuleApp& GetPanelApp() { return theModule.app; }
