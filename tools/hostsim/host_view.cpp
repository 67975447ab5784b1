// What a scenario sees of the panels: dumps of their trees and windows, tree
// items by text, the pop-up window a panel shows, and snapshots.
#include <cstdio>

#include "hostsim/host_session.h"
#include "platform/canvas.h"
#include "platform/gdi.h"
#include "platform/message.h"
#include "platform/snapshot.h"
#include "platform/text.h"
#include "platform/tooltip.h"
#include "platform/window.h"

#ifdef HOSTSIM_HAS_TREEUI
#include "host/treeui/yrtreectrl.h"
#endif

namespace {

void DumpWindows(HWND hwnd, int depth, std::vector<std::string>& out) {
  char16_t cls[128] = {};
  GetClassNameW(hwnd, cls, 128);
  RECT rc;
  GetWindowRect(hwnd, &rc);
  POINT tl{rc.left, rc.top};
  HWND parent = GetParent(hwnd);
  if (parent) ScreenToClient(parent, &tl);
  char geo[96];
  std::snprintf(geo, sizeof geo, " id=%d rect=%d,%d,%d,%d", GetDlgCtrlID(hwnd),
                static_cast<int>(tl.x), static_cast<int>(tl.y),
                static_cast<int>(rc.right - rc.left), static_cast<int>(rc.bottom - rc.top));
  std::string line = std::string(2 * depth, ' ') + "window " + ToUtf8(cls) + geo +
                     (IsWindowVisible(hwnd) ? " visible" : " hidden");
  const std::u16string text = GetWindowTextString(hwnd);
  if (!text.empty()) line += " text=" + HostQuote(text);
  out.push_back(line);
  for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    DumpWindows(c, depth + 1, out);
}

#ifdef HOSTSIM_HAS_TREEUI
void DumpTreeItems(CYRTreeCtrl& tree, HTREEITEM first, int depth, std::vector<std::string>& out) {
  for (HTREEITEM item = first; item; item = tree.GetNextSiblingItem(item)) {
    int image = 0, selected = 0;
    tree.GetItemImage(item, image, selected);
    out.push_back(std::string(2 * depth, ' ') + HostQuote(tree.GetItemText(item)) +
                  " image=" + std::to_string(image));
    DumpTreeItems(tree, tree.GetChildItem(item), depth + 1, out);
  }
}

bool DumpTrees(HWND hwnd, std::vector<std::string>& out) {
  bool found = false;
  if (auto* tree = dynamic_cast<CYRTreeCtrl*>(CWnd::FromHandlePermanent(hwnd))) {
    out.push_back("tree id=" + std::to_string(GetDlgCtrlID(hwnd)));
    DumpTreeItems(*tree, tree->GetRootItem(), 1, out);
    found = true;
  }
  for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    found |= DumpTrees(c, out);
  return found;
}

void CollectTrees(HWND hwnd, std::vector<HWND>& out) {
  if (dynamic_cast<CYRTreeCtrl*>(CWnd::FromHandlePermanent(hwnd))) out.push_back(hwnd);
  for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) CollectTrees(c, out);
}

HTREEITEM FindItemByText(CYRTreeCtrl& tree, HTREEITEM first, const std::u16string& text) {
  for (HTREEITEM item = first; item; item = tree.GetNextSiblingItem(item)) {
    if (tree.GetItemText(item) == text) return item;
    if (HTREEITEM found = FindItemByText(tree, tree.GetChildItem(item), text)) return found;
  }
  return 0;
}
#endif

}  // namespace

std::vector<std::string> CHostSession::DumpPanel(const std::u16string& name) {
  std::vector<std::string> out;
  CHostPanel* p = Panel(name);
  if (!p) return out;
  PumpMessages();
  out.push_back("panel " + ToUtf8(p->name) + " " + ToUtf8(p->type) +
                (p->plugin->IsVisible() ? " visible" : " hidden"));
  HWND wnd = p->plugin->GetPluginWnd();
  if (!wnd || !IsWindow(wnd)) return out;
#ifdef HOSTSIM_HAS_TREEUI
  if (DumpTrees(wnd, out)) return out;
#endif
  DumpWindows(wnd, 1, out);
  return out;
}

std::vector<std::string> CHostSession::DumpWindow(HWND hwnd) {
  std::vector<std::string> out;
  PumpMessages();
  if (hwnd && IsWindow(hwnd)) DumpWindows(hwnd, 0, out);
  return out;
}

HWND CHostSession::PopupWindow() const {
  // The topmost visible top-level window other than the main window whose
  // owner chain leads to the main window: what a panel popped up.
  for (HWND h = GetTopWindow(0); h; h = GetWindow(h, GW_HWNDNEXT)) {
    if (h == m_main || !IsWindowVisible(h)) continue;
    char16_t cls[64] = {};
    GetClassNameW(h, cls, 64);
    if (std::u16string(cls) == TOOLTIPS_CLASSW) continue;  // a tip is not something to click
    if (GetAncestor(h, GA_ROOTOWNER) == m_main || GetWindow(h, GW_OWNER)) return h;
  }
  return 0;
}

bool CHostSession::FindTreeItem(const std::u16string& panel, const std::u16string& text,
                                CHostTreeItem& out) {
#ifdef HOSTSIM_HAS_TREEUI
  CHostPanel* p = Panel(panel);
  if (!p) return false;
  HWND wnd = p->plugin->GetPluginWnd();
  if (!wnd || !IsWindow(wnd)) return false;
  PumpMessages();
  std::vector<HWND> trees;
  CollectTrees(wnd, trees);
  for (HWND h : trees) {
    auto* tree = dynamic_cast<CYRTreeCtrl*>(CWnd::FromHandlePermanent(h));
    HTREEITEM item = FindItemByText(*tree, tree->GetRootItem(), text);
    if (!item) continue;
    out = CHostTreeItem{};
    out.tree = h;
    out.visible = tree->GetItemRect(item, &out.rect, TRUE) != FALSE && IsWindowVisible(h);
    if (out.visible) {
      RECT client;
      GetClientRect(h, &client);
      out.visible = out.rect.bottom > client.top && out.rect.top < client.bottom;
    }
    int selectedImage = 0;
    tree->GetItemImage(item, out.image, selectedImage);
    out.selected = tree->GetSelectedItem() == item;
    out.expanded = (tree->GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    return true;
  }
#else
  (void)panel;
  (void)text;
  (void)out;
#endif
  return false;
}

bool WriteHostSnapshot(HWND hwnd, const std::string& path, std::string& error) {
  if (!WriteWindowSnapshot(hwnd, path)) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}
