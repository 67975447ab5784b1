#include "platform/modal.h"

#include "platform/input.h"
#include "platform/ui_internal.h"

#include <algorithm>

namespace platform::ui {
namespace {

ModalDriver*& Driver() {
  static ModalDriver* driver = nullptr;
  return driver;
}

const MenuItemView* FindIn(const std::vector<MenuItemView>& items, UINT id,
                           const std::u16string* text) {
  for (const auto& v : items) {
    if (!v.separator && !v.submenuHandle && (text ? v.text == *text : v.id == id)) return &v;
    if (text && v.submenuHandle && v.text == *text) return &v;
    if (const MenuItemView* found = FindIn(v.submenu, id, text)) return found;
  }
  return nullptr;
}

std::vector<int> ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
  }
}

}  // namespace

ModalScope::ModalScope(HWND owner) {
  if (!IsWindow(owner)) return;
  root_ = GetAncestor(owner, GA_ROOT);
  focus_ = GetFocus();
  if (IsWindowEnabled(root_)) {
    EnableWindow(root_, FALSE);
    disabled_ = true;
  }
}

ModalScope::~ModalScope() {
  if (disabled_ && IsWindow(root_)) EnableWindow(root_, TRUE);
  if (focus_ && IsWindow(focus_) && GetFocus() != focus_) SetFocus(focus_);
}

void ResetModal() { Driver() = nullptr; }

}  // namespace platform::ui

using namespace platform::ui;

const MenuItemView* PopupMenuView::Find(UINT id) const { return FindIn(items, id, nullptr); }
const MenuItemView* PopupMenuView::FindText(const std::u16string& text) const {
  return FindIn(items, 0, &text);
}

UINT ModalDriver::OnPopupMenu(const PopupMenuView&) { return 0; }
int ModalDriver::OnMessageBox(const MessageBoxView& box) { return box.defaultButton; }
void ModalDriver::OnDialog(const DialogView&) {}
std::optional<COLORREF> ModalDriver::OnChooseColor(const ChooseColorView&) { return std::nullopt; }

ModalDriver* SetModalDriver(ModalDriver* driver) {
  ModalDriver* old = Driver();
  Driver() = driver;
  return old;
}

ModalDriver* GetModalDriver() { return Driver(); }

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  std::vector<int> buttons = ButtonsOf(type);
  std::size_t def = std::min<std::size_t>((type >> 8) & 0xF, buttons.size() - 1);
  MessageBoxView view;
  view.owner = owner;
  view.text = text ? text : u"";
  view.caption = caption ? caption : u"错误";
  view.type = type;
  view.defaultButton = buttons[def];
  ModalDriver* driver = Driver();
  if (!driver) return view.defaultButton;
  ModalScope scope(owner);
  int answer = driver->OnMessageBox(view);
  return std::find(buttons.begin(), buttons.end(), answer) != buttons.end() ? answer
                                                                            : view.defaultButton;
}

BOOL ChooseColorW(CHOOSECOLORW* cc) {
  if (!cc) return FALSE;
  ChooseColorView view;
  view.owner = cc->hwndOwner;
  view.initial = (cc->Flags & CC_RGBINIT) ? cc->rgbResult & 0xFFFFFFu : 0;
  view.flags = cc->Flags;
  ModalDriver* driver = Driver();
  if (!driver) return FALSE;
  ModalScope scope(cc->hwndOwner);
  std::optional<COLORREF> chosen = driver->OnChooseColor(view);
  if (!chosen) return FALSE;
  cc->rgbResult = *chosen & 0xFFFFFFu;
  return TRUE;
}
