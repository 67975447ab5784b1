#include <mutex>

#include "runtime/dataobject.h"
#include "runtime/object.h"
#include "src/embedded_lists.h"

namespace picklist {

void load_lists() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (std::size_t i = 0; i < kEmbeddedListCount; ++i) {
      std::string error;
      auto def = runtime::parse_dataobject(kEmbeddedLists[i].text, &error);
      if (def) runtime::ObjectLibrary::add(std::move(*def));
      else runtime::diagnostic(std::string(kEmbeddedLists[i].file) + ": " + error);
    }
  });
}

}  // namespace picklist
