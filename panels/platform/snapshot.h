// Pictures of windows and of modal user interface, written as PNG files.
//
// A snapshot first paints every window that is waiting to be painted, so the
// picture shows what the screen would show after the message loop caught up.
#pragma once

#include "platform/canvas.h"
#include "platform/modal.h"

#include <functional>
#include <string>

// The window with its visible children composed at their positions, after
// pending painting; an empty canvas for a window that does not exist.
Canvas SnapshotWindow(HWND hwnd);
// Writes SnapshotWindow as PNG (atomically); false when the window does not
// exist or the file cannot be written.
bool WriteWindowSnapshot(HWND hwnd, const std::string& utf8Path);

// A driver that writes a picture of each menu, message box and dialog it is
// asked about, then lets `inner` (or, when null, the default behaviour)
// answer. Pictures are named `prefix` + "-menu-N.png", N counting from 1
// over all kinds. A menu shows the answer highlighted, laid over its owner's
// window; a dialog is pictured as it opened, before it is acted on.
class SnapshotModalDriver : public ModalDriver {
 public:
  SnapshotModalDriver(ModalDriver* inner, std::string prefix);

  UINT OnPopupMenu(const PopupMenuView& menu) override;
  int OnMessageBox(const MessageBoxView& box) override;
  void OnDialog(const DialogView& dialog) override;
  std::optional<COLORREF> OnChooseColor(const ChooseColorView& dialog) override;

  // Told the path of each picture written (a host logs what led to it).
  void SetListener(std::function<void(const std::string& path)> listener) {
    listener_ = std::move(listener);
  }
  ModalDriver* Inner() const { return inner_; }
  int Count() const { return count_; }
  // False once a picture could not be written.
  bool Ok() const { return ok_; }

 private:
  void Write(const Canvas& picture);

  ModalDriver* inner_;
  std::string prefix_;
  int count_ = 0;
  bool ok_ = true;
  std::function<void(const std::string&)> listener_;
};
