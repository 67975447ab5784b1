#include "platform/snapshot.h"

#include "platform/gdi.h"
#include "platform/modal_picture.h"
#include "platform/ui_internal.h"

Canvas SnapshotWindow(HWND hwnd) {
  if (!IsWindow(hwnd)) return Canvas();
  platform::ui::PaintPending(static_cast<std::size_t>(-1));
  return RenderWindow(hwnd);
}

bool WriteWindowSnapshot(HWND hwnd, const std::string& utf8Path) {
  const Canvas picture = SnapshotWindow(hwnd);
  return !picture.Empty() && picture.WritePng(utf8Path);
}

SnapshotModalDriver::SnapshotModalDriver(ModalDriver* inner, std::string prefix)
    : inner_(inner), prefix_(std::move(prefix)) {}

void SnapshotModalDriver::Write(const Canvas& picture) {
  const std::string path = prefix_ + "-menu-" + std::to_string(++count_) + ".png";
  if (picture.Empty() || !picture.WritePng(path)) {
    ok_ = false;
    return;
  }
  if (listener_) listener_(path);
}

UINT SnapshotModalDriver::OnPopupMenu(const PopupMenuView& menu) {
  const UINT chosen = inner_ ? inner_->OnPopupMenu(menu) : ModalDriver::OnPopupMenu(menu);
  // Only what a person could pick is shown as picked.
  const MenuItemView* item = chosen ? menu.Find(chosen) : nullptr;
  Write(RenderPopupMenuOverOwner(menu, item && item->enabled ? chosen : 0));
  return chosen;
}

int SnapshotModalDriver::OnMessageBox(const MessageBoxView& box) {
  Write(RenderMessageBox(box));
  return inner_ ? inner_->OnMessageBox(box) : ModalDriver::OnMessageBox(box);
}

void SnapshotModalDriver::OnDialog(const DialogView& dialog) {
  Write(SnapshotWindow(dialog.dialog));
  if (inner_) inner_->OnDialog(dialog);
  else ModalDriver::OnDialog(dialog);
}

std::optional<COLORREF> SnapshotModalDriver::OnChooseColor(const ChooseColorView& dialog) {
  return inner_ ? inner_->OnChooseColor(dialog) : ModalDriver::OnChooseColor(dialog);
}
