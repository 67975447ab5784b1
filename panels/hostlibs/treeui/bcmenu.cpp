// The pop-up menu: platform menu items plus an image index per command.
#include "host/treeui/bcmenu.h"

#include "host/basekit/resource.h"

namespace {
CImageList* g_menuImages = nullptr;
}

BCMenu::~BCMenu() = default;

BOOL BCMenu::AppendMenuW(UINT flags, UINT_PTR idOrSubmenu, LPCWSTR text, int image) {
  if (!m_hMenu && !CreatePopupMenu()) return FALSE;
  if (!CMenu::AppendMenu(flags, idOrSubmenu, text)) return FALSE;
  if (!(flags & (MF_POPUP | MF_SEPARATOR)) && image >= 0)
    m_images[static_cast<UINT>(idOrSubmenu)] = image;
  return TRUE;
}

BOOL BCMenu::AppendPopup(BCMenu& submenu, LPCWSTR text) {
  if (!submenu.m_hMenu) return FALSE;
  if (!m_hMenu && !CreatePopupMenu()) return FALSE;
  HMENU sub = submenu.m_hMenu;
  if (!CMenu::AppendMenu(MF_POPUP, static_cast<UINT_PTR>(sub), text)) return FALSE;
  m_images.insert(submenu.m_images.begin(), submenu.m_images.end());
  submenu.m_images.clear();
  submenu.Detach();
  return TRUE;
}

BOOL BCMenu::LoadMenuW(UINT id) {
  const CMenuTemplate* tmpl = CResourceMgr::GetInstance()->GetMenu(id);
  if (!tmpl) return FALSE;
  DestroyMenu();
  if (!CreatePopupMenu()) return FALSE;
  for (const auto& item : tmpl->items) {
    if (item.separator) AppendMenuW(MF_SEPARATOR, 0, nullptr);
    else AppendMenuW(item.flags, item.id, item.text.c_str(), item.image);
  }
  return TRUE;
}

BOOL BCMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* rc) {
  if (!m_hMenu) return FALSE;
  return CMenu::TrackPopupMenu(flags, x, y, owner, rc);
}

BOOL BCMenu::DestroyMenu() {
  m_images.clear();
  return m_hMenu ? CMenu::DestroyMenu() : TRUE;
}

int BCMenu::GetMenuItemImage(UINT id) const {
  auto it = m_images.find(id);
  return it == m_images.end() ? -1 : it->second;
}

void BCMenu::SetMenuImageList(CImageList* list) { g_menuImages = list; }
CImageList* BCMenu::GetMenuImageList() { return g_menuImages; }
