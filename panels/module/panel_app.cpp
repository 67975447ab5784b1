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
  m_registry.DetachFromHost();
  m_registry.DestroyAll();
  return CWinApp::ExitInstance();
}

namespace {

// Constant-initialised, so that it can be asked at any time, even while or
// after the application object is destroyed.
enum class ModuleState { kLoaded, kRunning, kEnded };
constinit ModuleState g_state = ModuleState::kLoaded;

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
// platform (attach and detach). The order at each end is spelled out here.
struct ModuleLifetime {
  CPanelModuleApp app;
  ModuleLifetime() {
    // 1. Escapes are logged from the first panel call on.
    g_previousReporter = platform::SetEscapeReporter(LogEscapedException);
    // 2. The framework's start and the host's resource module.
    app.InitInstance();
    // 3. Only now do the exports take calls.
    g_state = ModuleState::kRunning;
  }
  ~ModuleLifetime() {
    // 1. The exports refuse calls, also those made by a destructor below.
    g_state = ModuleState::kEnded;
    // 2. Plug-ins cut off from the host, destroyed; the registry emptied.
    app.ExitInstance();
    // 3. The reporter goes back to whoever had it: this library's log
    //    function is about to be unloaded.
    platform::SetEscapeReporter(g_previousReporter);
  }
};

ModuleLifetime theModule;

}  // namespace

CPanelModuleApp* GetRunningPanelApp() {
  return g_state == ModuleState::kRunning ? &theModule.app : nullptr;
}
