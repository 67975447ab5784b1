#pragma once
// What a PickWindow handle holds: the window and, when the caller shared it,
// the structure the window reads.

#include <memory>

#include "picklist/picklist.h"
#include "src/list_window.h"

namespace picklist {

class PickWindow::Impl {
 public:
  static std::unique_ptr<PickWindow> make() {
    return std::unique_ptr<PickWindow>(new PickWindow());
  }

  ListWindow& window() { return *window_; }

  std::shared_ptr<ListWindow> window_;
  std::shared_ptr<trans_parm> parm_owner_;
  int open_result_ = 0;
};

}  // namespace picklist
