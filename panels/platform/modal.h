// Modal user interface (pop-up menus, message boxes, dialogs, the colour
// dialog) answered by a driver that the host or a test installs.
//
// The original platform ran a nested message loop until the user chose; here
// the installed ModalDriver is asked instead, with a full description of what
// would be on screen. Without a driver each kind has a documented default:
// menus are dismissed, a message box answers its default button (as Enter
// would), a dialog is cancelled (WM_COMMAND IDCANCEL, as Escape would), the
// colour dialog is cancelled.
#pragma once

#include "platform/menu.h"

#include <optional>
#include <string>
#include <vector>

// Message box styles and answers (IDOK... in message.h).
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_DEFBUTTON1 = 0x00000000;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;
constexpr UINT MB_DEFBUTTON3 = 0x00000200;
constexpr UINT MB_APPLMODAL = 0x00000000;
constexpr UINT MB_SYSTEMMODAL = 0x00001000;
constexpr UINT MB_TOPMOST = 0x00040000;
constexpr UINT MB_TYPEMASK = 0x0000000F;

// One menu item as the user would see it.
struct MenuItemView {
  UINT id = 0;          // command id (0 for separators and submenus)
  std::u16string text;  // empty for separators and owner-drawn items
  UINT flags = 0;       // the item's MF_ flags as stored
  bool separator = false;
  bool enabled = true;  // neither MF_GRAYED nor MF_DISABLED
  bool checked = false;
  bool ownerDraw = false;
  UINT_PTR data = 0;  // owner-drawn item data
  HMENU submenuHandle = 0;
  std::vector<MenuItemView> submenu;  // filled for MF_POPUP items
};

struct PopupMenuView {
  HMENU menu = 0;
  HWND owner = 0;
  POINT pt;        // screen point the menu opens at
  UINT flags = 0;  // TPM_ flags
  std::vector<MenuItemView> items;
  // Depth-first search by command id; null when absent.
  const MenuItemView* Find(UINT id) const;
  // Depth-first search by text; null when absent.
  const MenuItemView* FindText(const std::u16string& text) const;
};

struct MessageBoxView {
  HWND owner = 0;
  std::u16string text;
  std::u16string caption;
  UINT type = 0;             // MB_ flags
  int defaultButton = IDOK;  // the answer Enter would give
};

struct DialogView {
  HWND dialog = 0;  // live dialog; its controls can be driven
  HWND owner = 0;
  UINT templateId = 0;  // 0 for indirect templates
  std::u16string caption;
};

struct ChooseColorView {
  HWND owner = 0;
  COLORREF initial = 0;
  DWORD flags = 0;
};

class ModalDriver {
 public:
  virtual ~ModalDriver() = default;
  // The chosen command id, or 0 for none.
  virtual UINT OnPopupMenu(const PopupMenuView& menu);
  virtual int OnMessageBox(const MessageBoxView& box);
  // Acts on the dialog (messages, ClickAt, TypeText on its controls) and may
  // end it (EndDialog, or clicking a button that does). A dialog still open
  // when this returns is cancelled as without a driver.
  virtual void OnDialog(const DialogView& dialog);
  // The colour chosen, or nothing for Cancel.
  virtual std::optional<COLORREF> OnChooseColor(const ChooseColorView& dialog);
};

// Installs the driver (not owned; null removes it). Returns the previous one.
ModalDriver* SetModalDriver(ModalDriver* driver);
ModalDriver* GetModalDriver();

// Returns the driver's answer when it is one of the box's buttons, else the
// default button.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// Colour dialog.
constexpr DWORD CC_RGBINIT = 0x00000001;
constexpr DWORD CC_FULLOPEN = 0x00000002;
constexpr DWORD CC_PREVENTFULLOPEN = 0x00000004;
constexpr DWORD CC_ANYCOLOR = 0x00000100;
struct CHOOSECOLORW {
  DWORD lStructSize = sizeof(CHOOSECOLORW);
  HWND hwndOwner = 0;
  HWND hInstance = 0;
  COLORREF rgbResult = 0;
  COLORREF* lpCustColors = nullptr;
  DWORD Flags = 0;
  LPARAM lCustData = 0;
  void* lpfnHook = nullptr;
  LPCWSTR lpTemplateName = nullptr;
};
// TRUE and rgbResult set when the driver chose a colour; FALSE for Cancel.
BOOL ChooseColorW(CHOOSECOLORW* cc);
