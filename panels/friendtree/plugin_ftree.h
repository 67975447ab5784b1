// CPluginFTree: the friend tree panel ("PluginFTree"). It owns the tree
// window (CQWFriendTreeCtrl), hands the host's managers and notifications to
// it, and sets the tree up from its layout attributes.
#pragma once

#include <vector>

#include "friendtree/ftree_ctrl.h"
#include "module/plugin_tree_base.h"

class CPluginFTree : public CPluginTreeBase {
 public:
  CPluginFTree();
  ~CPluginFTree() override;

  BOOL ShowPlugin(BOOL show) override;
  BOOL CreatePlugin(HWND parent, const RECT* rc) override;
  LRESULT OnNotify(UINT id, WPARAM wparam, LPARAM lparam) override;

  CQWFriendTreeCtrl& GetTree() { return m_tree; }

 protected:
  const CQWAttrArray& GetAttrArray() override;
  void UnRegisterMsg() override;
  void Empty() override;
  void RegisterMsg() override;
  BOOL LoadChildNode(const CXmlNode& node) override;

  // The "ItemImages" and "CustomNode" elements of the layout.
  void LoadItemImages(const CXmlNode& element);
  void LoadCustomNode(const CXmlNode& element);
  // The set-up when the own information first arrives after a logon.
  void SetUpAtLogon(CQWFriendTreeCtrl& tree);

  // An icon file of the layout, in the work directory's "bmp\" folder.
  std::u16string IconPath(const std::u16string& file) const;

  std::u16string m_strDefaultGroup;  // "default_group"
  COLORREF m_clrFriend = 0;          // "FriendColor"
  COLORREF m_clrGroup = 0;           // "GroupColor"
  COLORREF m_clrGuide = 0;           // "GuideColor"
  BOOL m_bUseMobile = FALSE;         // "UseMoible"
  std::u16string m_strIconFile;      // "IconFile"
  std::u16string m_strBigIconFile;   // "BigIconFile"

  CQWFriendTreeCtrl m_tree;
};
