#pragma once
// The list definition files, embedded at build time (see lists/embed.cmake).

#include <cstddef>

#include "picklist/export.h"

namespace picklist {

struct EmbeddedList {
  const char* file;
  const char* text;
};

PICKLIST_EXPORT extern const EmbeddedList kEmbeddedLists[];
PICKLIST_EXPORT extern const std::size_t kEmbeddedListCount;

// Puts the thirteen lists into the runtime's object library (once).
PICKLIST_EXPORT void load_lists();

}  // namespace picklist
