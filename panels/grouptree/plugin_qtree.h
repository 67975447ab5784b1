// CPluginQTree: the chat-group tree panel ("PluginQTree").
#pragma once

#include <vector>

#include "module/plugin_tree_base.h"

class CPluginQTree : public CPluginTreeBase {
 public:
  CPluginQTree();
  ~CPluginQTree() override;

  BOOL ShowPlugin(BOOL show) override;
  BOOL CreatePlugin(HWND parent, const RECT* rc) override;
  LRESULT OnNotify(UINT id, WPARAM wparam, LPARAM lparam) override;

 protected:
  const CQWAttrArray& GetAttrArray() override;
  void UnRegisterMsg() override;
  void Empty() override;
  void RegisterMsg() override;

  std::u16string m_strIconFile;  // "IconFile"
  std::vector<UINT> m_msgIds;    // what RegisterMsg registered, to unregister the same
};
