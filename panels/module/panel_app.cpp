#include "module/panel_app.h"

#include "host/basekit/log.h"
#include "host/basekit/resource.h"
#include "platform/barrier.h"
#include "platform/text.h"

#include <string>

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

// Whoever reported escaped exceptions before the module started; it gets
// them back at module end, and meanwhile takes those the log cannot hold.
constinit platform::EscapeReporter g_previousReporter = platform::ReportEscapeToStandardError;

// Escaped exceptions are logged at the level of the panels' method entries.
constexpr int kEscapeLogLevel = 100;

// What the exception barrier caught goes to the global log, where the
// panels' own method names are logged.
void LogEscapedException(const char16_t* where, const char* what) {
  if (!CGlobalLog::IsOpen()) {
    g_previousReporter(where, what);
    return;
  }
  CGlobalLog::LogT(u"exception caught in " + std::u16string(where) + u": " + FromUtf8(what),
                   kEscapeLogLevel);
}

// The application object lives from library load to unload; its instance
// start and end run with it, as they would for a library on the original
// platform (attach and detach).
struct ModuleLifetime {
  CPanelModuleApp app;
  ModuleLifetime() {
    g_previousReporter = platform::SetEscapeReporter(LogEscapedException);
    app.InitInstance();
  }
  ~ModuleLifetime() {
    app.ExitInstance();
    platform::SetEscapeReporter(g_previousReporter);
  }
};

ModuleLifetime theModule;

}  // namespace

CPanelModuleApp& GetPanelApp() { return theModule.app; }
