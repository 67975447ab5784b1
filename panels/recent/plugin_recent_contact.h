// CPluginRecentContact: the recent-contacts panel ("PluginRecentTree").
#pragma once

#include <vector>

#include "host/plughost.h"

class CPluginRecentContact : public CQWBaseWndPlugin {
 public:
  CPluginRecentContact();
  ~CPluginRecentContact() override;

  BOOL ShowPlugin(BOOL show) override;
  BOOL CreatePlugin(HWND parent, const RECT* rc) override;
  LRESULT OnNotify(UINT id, WPARAM wparam, LPARAM lparam) override;

 protected:
  const CQWAttrArray& GetAttrArray() override;
  void UnRegisterMsg() override;
  void Empty() override;
  void RegisterMsg() override;

  std::u16string m_strIconFile;   // "IconFile"
  std::vector<UINT> m_msgIds;
};
