// Binary records over arbitrary bytes: the length-aware reader must refuse
// what does not fit, and what it accepts must pack back to a record that
// reads back equal.
#include <cstdlib>
#include <memory>
#include <vector>

#include "keytree/keytree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<CItem> item(CItem::CreateFromBuf(data, size));
  CItemList list;
  list.Unbinarize(data, size);
  if (!item) return 0;
  item->ToString();
  std::vector<unsigned char> record(item->GetBinarizeSize());
  unsigned char* cursor = record.data();
  int remaining = static_cast<int>(record.size());
  if (!item->Binarize(cursor, remaining) || remaining != 0) std::abort();
  std::unique_ptr<CItem> back(CItem::CreateFromBuf(record.data()));
  if (!back || !back->IsEqual(*item)) std::abort();
  return 0;
}
