#include "platform/cwinapp.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<CWinApp*>& Apps() {
  static std::vector<CWinApp*> apps;
  return apps;
}

CWnd*& MainWnd() {
  static CWnd* wnd = nullptr;
  return wnd;
}

HINSTANCE& ResourceHandle() {
  static HINSTANCE handle = nullptr;
  return handle;
}

}  // namespace

CWinApp::CWinApp(LPCWSTR appName) {
  if (appName) m_appName = appName;
  Apps().push_back(this);
}

CWinApp::~CWinApp() {
  auto& apps = Apps();
  apps.erase(std::remove(apps.begin(), apps.end(), this), apps.end());
}

BOOL CWinApp::InitInstance() { return TRUE; }
int CWinApp::ExitInstance() { return 0; }

CWinApp* AfxGetApp() { return Apps().empty() ? nullptr : Apps().back(); }

HINSTANCE AfxGetInstanceHandle() {
  CWinApp* app = AfxGetApp();
  return app ? app->m_hInstance : nullptr;
}

HINSTANCE AfxGetResourceHandle() {
  return ResourceHandle() ? ResourceHandle() : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE module) { ResourceHandle() = module; }

CWnd* AfxGetMainWnd() {
  if (MainWnd()) return MainWnd();
  CWinApp* app = AfxGetApp();
  return app ? app->m_pMainWnd : nullptr;
}

void AfxSetMainWnd(CWnd* wnd) { MainWnd() = wnd; }

void AfxForgetMainWnd(CWnd* wnd) {
  if (MainWnd() == wnd) MainWnd() = nullptr;
  for (CWinApp* app : Apps())
    if (app->m_pMainWnd == wnd) app->m_pMainWnd = nullptr;
}
