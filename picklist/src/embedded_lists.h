#pragma once
// The list definition files, embedded at build time (see lists/embed.cmake).

#include <cstddef>

#include "picklist/export.h"

namespace picklist {

struct EmbeddedList {
  const char* file;
  const char* text;
};

extern const EmbeddedList kEmbeddedLists[];
extern const std::size_t kEmbeddedListCount;

// Puts the thirteen lists into the runtime's object library (once).
void load_lists();

}  // namespace picklist
