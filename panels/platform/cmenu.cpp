#include "platform/cmenu.h"

#include "platform/cwnd.h"

#include <memory>
#include <unordered_map>

struct MenuTemporaries {
  static CMenu* Get(HMENU menu) {
    static std::unordered_map<HMENU, std::unique_ptr<CMenu>> map;
    auto it = map.find(menu);
    if (it != map.end()) return it->second.get();
    auto m = std::make_unique<CMenu>();
    m->m_hMenu = menu;
    m->owns_ = false;
    CMenu* raw = m.get();
    map.emplace(menu, std::move(m));
    return raw;
  }
};

CMenu::~CMenu() {
  if (owns_ && m_hMenu) ::DestroyMenu(m_hMenu);
}

BOOL CMenu::Attach(HMENU menu) {
  if (m_hMenu || !IsMenu(menu)) return FALSE;
  m_hMenu = menu;
  owns_ = true;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU h = m_hMenu;
  m_hMenu = 0;
  return h;
}

CMenu* CMenu::FromHandle(HMENU menu) { return menu ? MenuTemporaries::Get(menu) : nullptr; }

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }
BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }

BOOL CMenu::DestroyMenu() {
  if (!m_hMenu) return FALSE;
  BOOL r = ::DestroyMenu(m_hMenu);
  m_hMenu = 0;
  return r;
}

std::u16string CMenu::GetMenuString(UINT item, UINT flags) const {
  int n = ::GetMenuStringW(m_hMenu, item, nullptr, 0, flags);
  std::u16string text(static_cast<std::size_t>(n) + 1, u'\0');
  n = ::GetMenuStringW(m_hMenu, item, text.data(), n + 1, flags);
  text.resize(static_cast<std::size_t>(n));
  return text;
}

CMenu* CMenu::GetSubMenu(int position) const { return FromHandle(::GetSubMenu(m_hMenu, position)); }

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* rc) {
  return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner ? owner->m_hWnd : 0, rc);
}
