// Little-endian fields of the binary item record, and the internal readers
// and parsers that carry the nesting depth.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "keytree/item.h"
#include "keytree/itemlist.h"

namespace kt {

inline void PutU32(unsigned char* p, uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

inline uint32_t GetU32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Checks the header of a record of which available bytes may be read: the
// tag must be expected (or any when expected < 0), the total at least
// minimum and no larger than what is available. Gives the total.
inline bool CheckHeader(const unsigned char* record, size_t available, int expected,
                        uint32_t minimum, uint32_t& total) {
  if (!record || available < LS_RECORD_HEADER) return false;
  if (expected >= 0 && record[0] != expected) return false;
  total = GetU32(record + 1);
  return total >= minimum && total <= available;
}

// Writes the header of a record of the given size, if it fits in remaining.
inline bool BeginRecord(unsigned char*& cursor, int& remaining, unsigned char tag, uint32_t total) {
  if (remaining < 0 || static_cast<uint32_t>(remaining) < total) return false;
  cursor[0] = tag;
  PutU32(cursor + 1, total);
  return true;
}

// Steps over a record just written.
inline int EndRecord(unsigned char*& cursor, int& remaining, uint32_t total) {
  cursor += total;
  remaining -= static_cast<int>(total);
  return 1;
}

// How many lists deep item nests (0 for a scalar, 1 for a list of scalars),
// counted no further than limit + 1: the readers refuse anything deeper than
// LS_MAX_NESTING, so the writers ask this before writing.
inline int ListNesting(const CItem* item, int limit) {
  if (!IsItem(item) || !item->IsKindOf(RUNTIME_CLASS(CItemList))) return 0;
  if (limit <= 0) return 1;
  int deepest = 0;
  for (const CItem* c = static_cast<const CItemList*>(item)->Head(); c && deepest < limit;
       c = c->Next()) {
    int d = ListNesting(c, limit - 1);
    if (d > deepest) deepest = d;
  }
  return deepest + 1;
}

// True when item can be written in every form and read back.
inline bool FitsNesting(const CItem* item) {
  return ListNesting(item, LS_MAX_NESTING) <= LS_MAX_NESTING;
}

// Binary reading and text parsing nested to a bounded depth.
struct Span {
  const char* text;
  size_t len;
};

struct ParseContext {
  int depth = 0;
  bool tooDeep = false;     // once set, the whole parse fails
  std::vector<Span> spans;  // element texts of the lists being parsed, as a stack
  // Each "(" of the outermost list's elements with its matching ")", in text
  // order, found in the one scan of that list, so that nested lists step
  // over their elements without scanning them again.
  std::vector<std::pair<const char*, const char*>> parens;
  bool parensFound = false;
};

// Privileged access of the parsers to list internals.
struct ListAccess {
  static CItem* ReadRecord(const unsigned char* record, size_t available, int depth);
  static int ReadList(CItemList& list, const unsigned char* record, size_t available, int depth);
  static CItem* ParseItem(const char* text, size_t len, ParseContext& ctx);
  static CItemList* ParseList(const char* text, size_t len, const CRuntimeClass* cls,
                              ParseContext& ctx);
  static void MoveChildren(CItemList& from, CItemList& to);
};

}  // namespace kt
