// treeui: BCMenu, the host's owner-drawn pop-up menu.
//
// Items are ordinary text items of the platform's menu (so the modal driver
// sees ids, texts, flags, check marks and submenus); BCMenu adds an image
// index per command item, drawn from the shared menu image list.
#pragma once

#include "platform/framework.h"

#include <map>
#include <string>

class BCMenu : public CMenu {
 public:
  BCMenu() = default;
  ~BCMenu() override;

  // A new pop-up menu when the object has none yet, so items can be
  // appended to a fresh BCMenu at once.
  BOOL AppendMenuW(UINT flags, UINT_PTR idOrSubmenu, LPCWSTR text, int image = -1);
  BOOL AppendMenuW(UINT flags, UINT_PTR idOrSubmenu, const std::u16string& text, int image = -1) {
    return AppendMenuW(flags, idOrSubmenu, text.c_str(), image);
  }
  // Appends `submenu` as a pop-up item; the menu takes it over (the submenu
  // object is detached and may be reused).
  BOOL AppendPopup(BCMenu& submenu, LPCWSTR text);
  // A menu template of the resource module (its <menu> elements); FALSE when
  // there is none of that id.
  BOOL LoadMenuW(UINT id);
  // With TPM_RETURNCMD the chosen command id (0 for none); otherwise TRUE
  // when a command was chosen and posted to the owner as WM_COMMAND.
  BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* rc = nullptr);
  BOOL DestroyMenu() override;

  int GetMenuItemImage(UINT id) const;  // -1 when none
  static void SetMenuImageList(CImageList* list);
  static CImageList* GetMenuImageList();

 private:
  std::map<UINT, int> m_images;
};
