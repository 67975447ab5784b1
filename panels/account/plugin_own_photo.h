// CPluginOwnPhoto: the user's own photo ("PluginOwnPhoto").
#pragma once

#include "host/plughost.h"

class CPluginOwnPhoto : public CQWBaseWndPlugin {
 public:
  CPluginOwnPhoto();
  ~CPluginOwnPhoto() override;

  BOOL CreatePlugin(HWND parent, const RECT* rc) override;
  LRESULT OnNotify(UINT id, WPARAM wparam, LPARAM lparam) override;

 protected:
  void UnRegisterMsg() override;
  void RegisterMsg() override;
};
