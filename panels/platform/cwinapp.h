// CWinApp: the application object of the class framework.
//
// One application object is current at a time (the latest constructed that
// still exists); AfxGetApp returns it. The resource handle names the module
// whose numbered resources (dialog templates) the framework looks up.
//
// The main window is the host's top-level window: the host names it with
// AfxSetMainWnd, and the panels send it their requests through
// AfxGetMainWnd. When no window was set, the current application object's
// m_pMainWnd stands in.
#pragma once

#include "platform/windef.h"

#include <string>

class CWnd;

class CWinApp {
 public:
  explicit CWinApp(LPCWSTR appName = nullptr);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual BOOL InitInstance();
  virtual int ExitInstance();

  HINSTANCE m_hInstance = nullptr;
  CWnd* m_pMainWnd = nullptr;
  std::u16string m_appName;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);
// The main window; null when none is set. A CWnd object that goes away
// stops being the main window (CWnd's destructor calls AfxForgetMainWnd).
CWnd* AfxGetMainWnd();
void AfxSetMainWnd(CWnd* wnd);
void AfxForgetMainWnd(CWnd* wnd);
