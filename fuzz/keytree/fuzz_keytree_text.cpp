// The generic text parse over arbitrary bytes. Whatever parses must print,
// pack into a record and come back from it equal.
#include <cstdlib>
#include <memory>
#include <vector>

#include "keytree/keytree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 16) return 0;
  std::unique_ptr<CItem> item(
      CItem::CreateFromString(reinterpret_cast<const char*>(data), static_cast<int>(size)));
  if (!item) return 0;
  CString text = item->ToString();
  if (auto* list = item->AsItemList(nullptr)) list->ToIndentString(0, 1);
  std::unique_ptr<CItem> again(CItem::CreateFromString(text, text.GetLength()));
  if (!again) std::abort();  // printed text always parses (if only to a GUID)

  std::vector<unsigned char> record(item->GetBinarizeSize());
  unsigned char* cursor = record.data();
  int remaining = static_cast<int>(record.size());
  if (!item->Binarize(cursor, remaining) || remaining != 0) std::abort();
  std::unique_ptr<CItem> back(CItem::CreateFromBuf(record.data(), record.size()));
  if (!back || !back->IsEqual(*item)) std::abort();
  return 0;
}
