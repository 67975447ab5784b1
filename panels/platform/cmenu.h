// CMenu: the class framework's menu object. It owns its menu and destroys it
// when destroyed, unless Detach()ed.
#pragma once

#include "platform/menu.h"

#include <string>

class CWnd;

class CMenu {
 public:
  CMenu() = default;
  virtual ~CMenu();
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  HMENU m_hMenu = 0;
  HMENU GetSafeHmenu() const { return m_hMenu; }
  operator HMENU() const { return m_hMenu; }
  BOOL Attach(HMENU menu);
  HMENU Detach();
  // A non-owning wrapper kept by the framework (valid while the menu lives).
  static CMenu* FromHandle(HMENU menu);

  BOOL CreateMenu();
  BOOL CreatePopupMenu();
  virtual BOOL DestroyMenu();
  BOOL AppendMenu(UINT flags, UINT_PTR idOrSubmenu = 0, LPCWSTR text = nullptr) {
    return ::AppendMenuW(m_hMenu, flags, idOrSubmenu, text);
  }
  BOOL AppendMenu(UINT flags, UINT_PTR idOrSubmenu, const std::u16string& text) {
    return ::AppendMenuW(m_hMenu, flags, idOrSubmenu, text.c_str());
  }
  BOOL InsertMenu(UINT position, UINT flags, UINT_PTR idOrSubmenu = 0, LPCWSTR text = nullptr) {
    return ::InsertMenuW(m_hMenu, position, flags, idOrSubmenu, text);
  }
  BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR idOrSubmenu = 0, LPCWSTR text = nullptr) {
    return ::ModifyMenuW(m_hMenu, position, flags, idOrSubmenu, text);
  }
  BOOL DeleteMenu(UINT position, UINT flags) { return ::DeleteMenu(m_hMenu, position, flags); }
  BOOL RemoveMenu(UINT position, UINT flags) { return ::RemoveMenu(m_hMenu, position, flags); }
  UINT CheckMenuItem(UINT item, UINT flags) { return ::CheckMenuItem(m_hMenu, item, flags); }
  UINT EnableMenuItem(UINT item, UINT flags) { return ::EnableMenuItem(m_hMenu, item, flags); }
  int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
  UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
  UINT GetMenuState(UINT item, UINT flags) const { return ::GetMenuState(m_hMenu, item, flags); }
  std::u16string GetMenuString(UINT item, UINT flags) const;
  CMenu* GetSubMenu(int position) const;
  // owner may be null (the command is then only returned with TPM_RETURNCMD).
  BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* rc = nullptr);

 private:
  bool owns_ = true;
  friend struct MenuTemporaries;
};
