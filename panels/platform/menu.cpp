#include "platform/menu.h"

#include "platform/modal.h"
#include "platform/ui_internal.h"

#include <algorithm>

namespace platform::ui {
namespace {

struct MenuItem {
  UINT flags = 0;
  UINT id = 0;
  HMENU sub = 0;
  std::u16string text;
  UINT_PTR data = 0;
};

struct Menu {
  bool popup = false;
  std::vector<MenuItem> items;
};

constexpr int kMaxDepth = 16;  // a menu placed inside itself must not recurse forever
constexpr UINT kStateFlags = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT;

std::unordered_map<HMENU, Menu>& Menus() {
  static std::unordered_map<HMENU, Menu> menus;
  return menus;
}

Menu* Find(HMENU h) {
  auto it = Menus().find(h);
  return it == Menus().end() ? nullptr : &it->second;
}

struct ItemRef {
  Menu* menu = nullptr;
  std::size_t index = 0;
  MenuItem* item() const { return &menu->items[index]; }
};

bool FindItem(HMENU h, UINT position, UINT flags, ItemRef& out, int depth = 0) {
  Menu* m = Find(h);
  if (!m || depth > kMaxDepth) return false;
  if (flags & MF_BYPOSITION) {
    if (position >= m->items.size()) return false;
    out = ItemRef{m, position};
    return true;
  }
  for (std::size_t i = 0; i < m->items.size(); ++i) {
    const MenuItem& it = m->items[i];
    if (!(it.flags & (MF_POPUP | MF_SEPARATOR)) && it.id == position) {
      out = ItemRef{m, i};
      return true;
    }
  }
  for (std::size_t i = 0; i < m->items.size(); ++i)
    if (m->items[i].flags & MF_POPUP)
      if (FindItem(m->items[i].sub, position, flags, out, depth + 1)) return true;
  return false;
}

bool MakeItem(UINT flags, UINT_PTR idOrSubmenu, LPCWSTR text, MenuItem& item) {
  item = MenuItem{};
  item.flags = flags & ~MF_BYPOSITION;
  if (flags & MF_POPUP) {
    item.sub = static_cast<HMENU>(idOrSubmenu);
    if (!Find(item.sub)) return false;
  } else if (!(flags & MF_SEPARATOR)) {
    item.id = static_cast<UINT>(idOrSubmenu);
  }
  if (flags & MF_OWNERDRAW) item.data = reinterpret_cast<UINT_PTR>(text);
  else if (text && !(flags & (MF_SEPARATOR | MF_BITMAP))) item.text = text;
  return true;
}

void DestroyTree(HMENU h, int depth) {
  Menu* m = Find(h);
  if (!m || depth > kMaxDepth) return;
  std::vector<HMENU> subs;
  for (auto& it : m->items)
    if (it.flags & MF_POPUP) subs.push_back(it.sub);
  Menus().erase(h);
  for (HMENU s : subs) DestroyTree(s, depth + 1);
}

std::vector<MenuItemView> ViewOf(HMENU h, int depth) {
  std::vector<MenuItemView> out;
  Menu* m = Find(h);
  if (!m || depth > kMaxDepth) return out;
  for (const MenuItem& it : m->items) {
    MenuItemView v;
    v.id = it.id;
    v.text = it.text;
    v.flags = it.flags;
    v.separator = (it.flags & MF_SEPARATOR) != 0;
    v.enabled = !(it.flags & (MF_GRAYED | MF_DISABLED));
    v.checked = (it.flags & MF_CHECKED) != 0;
    v.ownerDraw = (it.flags & MF_OWNERDRAW) != 0;
    v.data = it.data;
    if (it.flags & MF_POPUP) {
      v.submenuHandle = it.sub;
      v.submenu = ViewOf(it.sub, depth + 1);
    }
    out.push_back(std::move(v));
  }
  return out;
}

// Whether id is a command the user could pick: an enabled item reached
// through enabled submenus.
bool Choosable(const std::vector<MenuItemView>& items, UINT id) {
  for (const auto& v : items) {
    if (!v.enabled || v.separator) continue;
    if (v.submenuHandle) {
      if (Choosable(v.submenu, id)) return true;
    } else if (v.id == id) {
      return true;
    }
  }
  return false;
}

}  // namespace

void ResetMenus() { Menus().clear(); }

}  // namespace platform::ui

using namespace platform::ui;

HMENU CreateMenu() {
  HMENU h = NewHandle();
  Menus().emplace(h, Menu{});
  return h;
}

HMENU CreatePopupMenu() {
  HMENU h = CreateMenu();
  Find(h)->popup = true;
  return h;
}

BOOL DestroyMenu(HMENU menu) {
  if (!Find(menu)) return FALSE;
  DestroyTree(menu, 0);
  return TRUE;
}

BOOL IsMenu(HMENU menu) { return Find(menu) ? TRUE : FALSE; }

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idOrSubmenu, LPCWSTR text) {
  Menu* m = Find(menu);
  MenuItem item;
  if (!m || !MakeItem(flags, idOrSubmenu, text, item)) return FALSE;
  if (item.sub == menu) return FALSE;
  m->items.push_back(std::move(item));
  return TRUE;
}

BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idOrSubmenu, LPCWSTR text) {
  MenuItem item;
  if (!Find(menu) || !MakeItem(flags, idOrSubmenu, text, item) || item.sub == menu) return FALSE;
  ItemRef ref;
  if (FindItem(menu, position, flags & MF_BYPOSITION, ref)) {
    ref.menu->items.insert(ref.menu->items.begin() + static_cast<std::ptrdiff_t>(ref.index),
                           std::move(item));
    return TRUE;
  }
  if (flags & MF_BYPOSITION) {  // past the end: append
    Find(menu)->items.push_back(std::move(item));
    return TRUE;
  }
  return FALSE;
}

BOOL ModifyMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idOrSubmenu, LPCWSTR text) {
  ItemRef ref;
  MenuItem item;
  if (!FindItem(menu, position, flags & MF_BYPOSITION, ref) ||
      !MakeItem(flags, idOrSubmenu, text, item))
    return FALSE;
  *ref.item() = std::move(item);
  return TRUE;
}

static BOOL Remove(HMENU menu, UINT position, UINT flags, bool destroy) {
  ItemRef ref;
  if (!FindItem(menu, position, flags & MF_BYPOSITION, ref)) return FALSE;
  HMENU sub = (ref.item()->flags & MF_POPUP) ? ref.item()->sub : 0;
  ref.menu->items.erase(ref.menu->items.begin() + static_cast<std::ptrdiff_t>(ref.index));
  if (destroy && sub) DestroyMenu(sub);
  return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
  return Remove(menu, position, flags, true);
}
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
  return Remove(menu, position, flags, false);
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) {
  ItemRef ref;
  if (!FindItem(menu, item, flags & MF_BYPOSITION, ref)) return static_cast<DWORD>(-1);
  MenuItem* it = ref.item();
  DWORD prev = it->flags & MF_CHECKED;
  it->flags = (it->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
  return prev;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  ItemRef ref;
  if (!FindItem(menu, item, flags & MF_BYPOSITION, ref)) return -1;
  MenuItem* it = ref.item();
  UINT prev = it->flags & (MF_GRAYED | MF_DISABLED);
  it->flags = (it->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  return static_cast<BOOL>(prev);
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
  Menu* m = Find(menu);
  if (!m) return FALSE;
  bool found = false;
  for (std::size_t i = 0; i < m->items.size(); ++i) {
    MenuItem& it = m->items[i];
    UINT key = (flags & MF_BYPOSITION) ? static_cast<UINT>(i) : it.id;
    if (key < first || key > last || (it.flags & (MF_SEPARATOR | MF_POPUP))) continue;
    if (key == check) {
      it.flags |= MF_CHECKED;
      found = true;
    } else {
      it.flags &= ~MF_CHECKED;
    }
  }
  return found ? TRUE : FALSE;
}

int GetMenuItemCount(HMENU menu) {
  Menu* m = Find(menu);
  return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
  Menu* m = Find(menu);
  if (!m || position < 0 || position >= static_cast<int>(m->items.size()))
    return static_cast<UINT>(-1);
  const MenuItem& it = m->items[static_cast<std::size_t>(position)];
  if (it.flags & MF_POPUP) return static_cast<UINT>(-1);
  return it.id;
}

HMENU GetSubMenu(HMENU menu, int position) {
  Menu* m = Find(menu);
  if (!m || position < 0 || position >= static_cast<int>(m->items.size())) return 0;
  const MenuItem& it = m->items[static_cast<std::size_t>(position)];
  return (it.flags & MF_POPUP) ? it.sub : 0;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  ItemRef ref;
  if (!FindItem(menu, item, flags & MF_BYPOSITION, ref)) return static_cast<UINT>(-1);
  return ref.item()->flags & (kStateFlags | MF_POPUP | MF_SEPARATOR | MF_OWNERDRAW);
}

int GetMenuStringW(HMENU menu, UINT item, LPWSTR buffer, int maxCount, UINT flags) {
  ItemRef ref;
  if (!FindItem(menu, item, flags & MF_BYPOSITION, ref)) return 0;
  const std::u16string& text = ref.item()->text;
  if (!buffer || maxCount <= 0) return static_cast<int>(text.size());
  int n = std::min<int>(static_cast<int>(text.size()), maxCount - 1);
  std::copy_n(text.begin(), n, buffer);
  buffer[n] = 0;
  return n;
}

BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition) {
  Menu* m = Find(menu);
  if (!m) return FALSE;
  for (auto& it : m->items) it.flags &= ~MF_DEFAULT;
  if (item == static_cast<UINT>(-1)) return TRUE;
  ItemRef ref;
  if (!FindItem(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, ref)) return FALSE;
  ref.item()->flags |= MF_DEFAULT;
  return TRUE;
}

UINT_PTR GetMenuItemData(HMENU menu, UINT item, UINT flags) {
  ItemRef ref;
  return FindItem(menu, item, flags & MF_BYPOSITION, ref) ? ref.item()->data : 0;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  if (!Find(menu)) return FALSE;
  if (owner && IsWindow(owner)) SendMessageW(owner, WM_INITMENUPOPUP, menu, 0);
  if (!Find(menu)) return FALSE;  // destroyed by the owner
  PopupMenuView view;
  view.menu = menu;
  view.owner = owner;
  view.pt = POINT{x, y};
  view.flags = flags;
  view.items = ViewOf(menu, 0);
  UINT chosen = 0;
  if (ModalDriver* driver = GetModalDriver()) chosen = driver->OnPopupMenu(view);
  if (chosen && !Choosable(view.items, chosen)) chosen = 0;
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
  if (chosen && owner && IsWindow(owner))
    PostMessageW(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
  return chosen ? TRUE : FALSE;
}

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const void*) {
  return TrackPopupMenu(menu, flags, x, y, 0, owner, nullptr);
}
