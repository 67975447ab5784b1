#include "keyindex.h"

#include <cstring>
#include <new>

namespace kt {

namespace {

// Levels shorter than this are simply walked.
constexpr size_t kIndexFrom = 4;

const char* KeyText(const CItemList* node) {
  return static_cast<const CLstring*>(node->Head())->GetString();
}

// True when moving value away from where it is now changes level or one of
// its key nodes (then the level's index no longer holds).
bool TouchesLevel(const CItem* value, const CItemList* level) {
  if (!IsItem(value)) return false;
  const CItemList* root = value->Root();
  return root && (root == level || root->Root() == level);
}

}  // namespace

bool KeyTreeAccess::IndexValid(const CKeyTree& level) {
  return level.m_pIndex && level.m_pIndex->version == level.GetChangeCount();
}

void KeyTreeAccess::Revalidate(const CKeyTree& level) {
  level.m_pIndex->version = level.GetChangeCount();
}

void KeyTreeAccess::Drop(const CKeyTree& level) {
  delete level.m_pIndex;
  level.m_pIndex = nullptr;
}

// Without memory for the index the level is simply walked.
void KeyTreeAccess::Build(const CKeyTree& level) {
  if (!level.m_pIndex) level.m_pIndex = new (std::nothrow) KeyIndex;
  if (!level.m_pIndex) return;
  KeyIndex& index = *level.m_pIndex;
  index.nodes.clear();
  index.sorted = true;
  const char* previous = nullptr;
  try {
    for (CItem* c = level.Head(); c; c = c->Next()) {
      const CLstring* key = KeyOf(c);
      if (!key || (previous && std::strcmp(previous, key->GetString()) > 0)) {
        index.sorted = false;
        break;
      }
      previous = key->GetString();
      index.nodes.push_back(static_cast<CItemList*>(c));
    }
  } catch (const std::bad_alloc&) {
    Drop(level);
    return;
  }
  if (!index.sorted) std::vector<CItemList*>().swap(index.nodes);
  index.version = level.GetChangeCount();
}

Found KeyTreeAccess::Find(const CKeyTree& level, const char* seg, size_t n) {
  Found f;
  const KeyIndex* index = level.m_pIndex;
  bool valid = IndexValid(level);
  if (valid && index->sorted) {
    const std::vector<CItemList*>& nodes = index->nodes;
    size_t lo = 0, hi = nodes.size();
    while (lo < hi) {
      size_t mid = lo + (hi - lo) / 2;
      if (CompareKey(KeyText(nodes[mid]), seg, n) < 0) lo = mid + 1;
      else hi = mid;
    }
    f.ok = true;
    f.pos = lo;
    if (lo < nodes.size()) {
      f.stop = nodes[lo];
      if (CompareKey(KeyText(nodes[lo]), seg, n) == 0) f.match = nodes[lo];
    }
    return f;
  }

  size_t steps = 0;
  for (CItem* c = level.Head(); c; c = c->Next(), ++steps) {
    const CLstring* key = KeyOf(c);
    if (!key) return f;
    int cmp = CompareKey(key->GetString(), seg, n);
    if (cmp >= 0) {
      f.stop = c;
      if (cmp == 0) f.match = static_cast<CItemList*>(c);
      break;
    }
  }
  f.ok = true;
  f.pos = steps;
  if (!valid && steps >= kIndexFrom) Build(level);
  return f;
}

CItemList* KeyTreeAccess::InsertKey(CKeyTree& level, const char* seg, size_t n,
                                    const Found& where) {
  bool keep = IndexValid(level);
  auto* node = new (std::nothrow) CKeyTree;
  if (!node) return nullptr;
  if (!node->Append(new (std::nothrow) CLstring(seg, static_cast<int>(n)))) {
    delete node;
    return nullptr;
  }
  if (where.stop) CItem::Insert(node, LS_INSERT_BEFORE, where.stop);
  else level.Append(node);
  if (keep) {
    KeyIndex& index = *level.m_pIndex;
    try {
      if (index.sorted)
        index.nodes.insert(index.nodes.begin() + static_cast<std::ptrdiff_t>(where.pos), node);
      Revalidate(level);
    } catch (const std::bad_alloc&) {
      Drop(level);
    }
  }
  return node;
}

void KeyTreeAccess::DeleteNode(CKeyTree& level, CItemList* node) {
  bool keep = IndexValid(level);
  if (keep && level.m_pIndex->sorted) {
    std::vector<CItemList*>& nodes = level.m_pIndex->nodes;
    const char* key = KeyText(node);
    size_t lo = 0, hi = nodes.size();
    while (lo < hi) {
      size_t mid = lo + (hi - lo) / 2;
      if (std::strcmp(KeyText(nodes[mid]), key) < 0) lo = mid + 1;
      else hi = mid;
    }
    while (lo < nodes.size() && nodes[lo] != node) ++lo;
    if (lo < nodes.size()) nodes.erase(nodes.begin() + static_cast<std::ptrdiff_t>(lo));
    else keep = false;
  }
  delete node;
  if (keep) Revalidate(level);
}

bool KeyTreeAccess::SetValue(CItemList* node, CItem* value) {
  CItem* old = ValueOf(node);
  if (value == old) return true;
  if (value == node->Head()) return false;
  CItemList* level = node->Root();
  bool keep =
      IsTree(level) && IndexValid(*static_cast<CKeyTree*>(level)) && !TouchesLevel(value, level);
  if (value && !node->Append(value)) return false;
  delete old;
  if (keep) Revalidate(*static_cast<CKeyTree*>(level));
  return true;
}

CItemList* KeyTreeAccess::Locate(const CKeyTree& tree, const char* path, bool create) {
  if (!path || !*path) return nullptr;
  CKeyTree* level = const_cast<CKeyTree*>(&tree);
  const char* seg = path;
  for (;;) {
    const char* dot = std::strchr(seg, '.');
    size_t n = dot ? static_cast<size_t>(dot - seg) : std::strlen(seg);
    Found f = Find(*level, seg, n);
    if (!f.ok) return nullptr;
    CItemList* node = f.match;
    if (!node) {
      if (!create) return nullptr;
      node = InsertKey(*level, seg, n, f);
      if (!node) return nullptr;
    }
    // A single trailing dot names the key before it.
    if (!dot || dot[1] == '\0') return node;
    seg = dot + 1;
    CItem* value = ValueOf(node);
    if (!value) {
      if (!create) return nullptr;
      auto* sub = new (std::nothrow) CKeyTree;
      if (!sub) return nullptr;
      SetValue(node, sub);
      level = sub;
    } else if (IsTree(value)) {
      level = static_cast<CKeyTree*>(value);
    } else {
      return nullptr;  // a leaf is never replaced by a subtree on the way
    }
  }
}

}  // namespace kt
