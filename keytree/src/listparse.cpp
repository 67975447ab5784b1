// The list text parser: "(" (or "(." for key trees), elements separated by
// ", ", ")". Elements are parsed by the generic item parse, so lists nest.
#include <algorithm>
#include <cstring>
#include <vector>

#include "keytree/itemlist.h"
#include "record.h"
#include "textscan.h"

namespace kt {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Splits the inside of a list into element texts. Splitting completes before
// any element is parsed, so a list that fails here has cost no nested work
// (the generic parse may try the same text as a key tree and as a list).
// The ")" found for the "(" at open by an earlier scan, or null.
const char* KnownMatch(const ParseContext& ctx, const char* open) {
  auto it = std::lower_bound(
      ctx.parens.begin(), ctx.parens.end(), open,
      [](const std::pair<const char*, const char*>& e, const char* o) { return e.first < o; });
  return it != ctx.parens.end() && it->first == open ? it->second : nullptr;
}

// An element that begins with "(": scanned from its start, the parenthesis
// that matches it is the same wherever the scan began, as the scan's state
// (outside quotes, no pending backslash) is the same there. So the first
// scan, of the outermost list, records every pair it meets, and the lists
// inside look them up.
bool SplitElements(const char* p, const char* end, std::vector<Span>& spans, ParseContext& ctx) {
  const bool record = !ctx.parensFound;
  ctx.parensFound = true;
  std::vector<size_t> open;  // recorded pairs still waiting for their ")"
  size_t n = static_cast<size_t>(end - p);
  size_t i = 0;
  while (i < n) {
    while (i < n && IsSpace(p[i])) ++i;
    if (i == n) break;
    size_t start = i;
    bool quoted = false;
    if (p[i] == '(') {
      if (const char* known = record ? nullptr : KnownMatch(ctx, p + i)) {
        if (known >= end) return false;  // the text ends early here (a NUL)
        i = static_cast<size_t>(known - p) + 1;
        spans.push_back({p + start, i - start});
        ++i;  // the separator
        continue;
      }
      // Up to the matching parenthesis, counted outside quoted stretches.
      int depth = 0;
      for (; i < n; ++i) {
        char c = p[i];
        if (c == '\\') {
          if (++i == n) return false;  // ends right after a backslash
        } else if (c == '"') {
          quoted = !quoted;
        } else if (!quoted && c == '(') {
          ++depth;
          if (record) {
            open.push_back(ctx.parens.size());
            ctx.parens.emplace_back(p + i, nullptr);
          }
        } else if (!quoted && c == ')') {
          if (record) {
            ctx.parens[open.back()].second = p + i;
            open.pop_back();
          }
          if (--depth == 0) {
            ++i;
            break;
          }
        }
      }
      if (depth != 0) return false;
    } else {
      // Up to the first comma or ")" outside a quoted stretch.
      for (; i < n; ++i) {
        char c = p[i];
        if (c == '\\') {
          if (i + 1 < n) ++i;
        } else if (c == '"') {
          quoted = !quoted;
        } else if (!quoted && (c == ',' || c == ')')) {
          break;
        }
      }
    }
    spans.push_back({p + start, i - start});
    ++i;  // the separator
  }
  return true;
}

}  // namespace

CItemList* ListAccess::ParseList(const char* text, size_t len, const CRuntimeClass* cls,
                                 ParseContext& ctx) {
  if (ctx.tooDeep) return nullptr;
  const bool tree = CItemList::IsKeyTreeClass(cls);
  const size_t opening = tree ? 2 : 1;
  const char* p = text;
  const char* end = text + len;
  Trim(p, end);
  if (static_cast<size_t>(end - p) < opening + 1) return nullptr;
  if (p[0] != '(' || (tree && p[1] != '.') || end[-1] != ')') return nullptr;
  const char* inside = p + opening;
  const char* insideEnd = end - 1;
  Trim(inside, insideEnd);
  // A NUL ends the text early: what comes before it is the list.
  if (const void* nul = std::memchr(inside, 0, static_cast<size_t>(insideEnd - inside)))
    insideEnd = static_cast<const char*>(nul);

  if (ctx.depth >= LS_MAX_NESTING) {
    ctx.tooDeep = true;
    return nullptr;
  }
  // This list's elements go on top of the context's stack, which nested
  // lists reuse, so that no list allocates its own.
  const size_t first = ctx.spans.size();
  struct Unwind {
    ParseContext& ctx;
    size_t first;
    ~Unwind() { ctx.spans.resize(first); }
  } unwind{ctx, first};
  if (!SplitElements(inside, insideEnd, ctx.spans, ctx)) return nullptr;
  const size_t last = ctx.spans.size();

  CItemList* list = static_cast<CItemList*>(cls->CreateObject());
  if (!list) return nullptr;
  ++ctx.depth;
  for (size_t i = first; i < last; ++i) {
    Span s = ctx.spans[i];  // nested lists may move the stack
    CItem* item = ParseItem(s.text, s.len, ctx);
    if (!item) {
      --ctx.depth;
      delete list;
      return nullptr;
    }
    list->Append(item);
  }
  --ctx.depth;
  return list;
}

}  // namespace kt
