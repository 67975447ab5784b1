#pragma once
// The global message object: carries the object parameter from the code that
// opens a window to the window's open event.

#include <any>

#include "picklist/export.h"

namespace picklist::runtime {

struct Message {
  // Whatever the opener passed; the window takes it as the type it expects.
  std::any objectparm;
};

extern Message message;

}  // namespace picklist::runtime
