// CWinApp: the application object of the class framework.
//
// One application object is current at a time (the latest constructed that
// still exists); AfxGetApp returns it. The resource handle names the module
// whose numbered resources (dialog templates) the framework looks up.
#pragma once

#include "platform/windef.h"

#include <string>

class CWinApp {
 public:
  explicit CWinApp(LPCWSTR appName = nullptr);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual BOOL InitInstance();
  virtual int ExitInstance();

  HINSTANCE m_hInstance = nullptr;
  std::u16string m_appName;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);
