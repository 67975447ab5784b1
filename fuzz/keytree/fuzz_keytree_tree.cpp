// The key tree text parse over arbitrary bytes, then look-ups checked against
// the plain walk over each level: whatever the index does underneath, a
// look-up finds and misses exactly what the walk does, after edits through
// the key operations and after keys renamed in place.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "keytree/keytree.h"

namespace {

const CLstring* KeyOf(const CItem* node) {
  if (!node->IsKindOf(RUNTIME_CLASS(CItemList))) return nullptr;
  const CItem* head = static_cast<const CItemList*>(node)->Head();
  if (!head || !head->IsKindOf(RUNTIME_CLASS(CLstring))) return nullptr;
  return static_cast<const CLstring*>(head);
}

// The look-up as defined: walk each level from its first key node.
CItem* WalkGetAt(const CKeyTree* tree, const char* path) {
  if (!path || !*path) return LS_INVALID_ITEM;
  const CItemList* level = tree;
  const char* seg = path;
  for (;;) {
    const char* dot = std::strchr(seg, '.');
    size_t n = dot ? static_cast<size_t>(dot - seg) : std::strlen(seg);
    const CItemList* match = nullptr;
    for (const CItem* c = level->Head(); c; c = c->Next()) {
      const CLstring* key = KeyOf(c);
      if (!key) return LS_INVALID_ITEM;
      int cmp = std::strncmp(key->GetString(), seg, n);
      if (cmp == 0) cmp = std::strlen(key->GetString()) > n ? 1 : 0;
      if (cmp >= 0) {
        if (cmp == 0) match = static_cast<const CItemList*>(c);
        break;
      }
    }
    if (!match) return LS_INVALID_ITEM;
    CItem* value = match->Tail() != match->Head() ? match->Tail() : nullptr;
    if (!dot || dot[1] == '\0') return value;
    if (!value || !value->IsKindOf(RUNTIME_CLASS(CKeyTree))) return LS_INVALID_ITEM;
    level = static_cast<const CKeyTree*>(value);
    seg = dot + 1;
  }
}

void CollectPaths(CKeyTreeIterator it, const std::string& prefix, std::vector<std::string>& paths) {
  for (; it.isValid() && paths.size() < 2000; it++) {
    std::string path =
        prefix.empty() ? std::string(it.key().GetString()) : prefix + "." + it.key().GetString();
    paths.push_back(path);
    paths.push_back(path + "0");
    paths.push_back(path.substr(0, path.size() / 2));
    if (!it.isLeaf()) CollectPaths(it.nextLevel(), path, paths);
  }
}

void CheckLookUps(const CKeyTree& tree, const std::vector<std::string>& paths) {
  for (const std::string& p : paths)
    if (tree.GetAt(p.c_str()) != WalkGetAt(&tree, p.c_str())) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 16) return 0;
  std::unique_ptr<CItem> parsed(
      CKeyTree::CreateFromString(reinterpret_cast<const char*>(data), static_cast<int>(size)));
  if (!parsed) return 0;
  if (parsed->GetRuntimeClass() != RUNTIME_CLASS(CKeyTree)) std::abort();
  auto* tree = static_cast<CKeyTree*>(parsed.get());

  std::vector<std::string> paths;
  CollectPaths(CKeyTreeIterator(tree), std::string(), paths);
  // Twice: the first look-ups may build indexes that the second ones use.
  CheckLookUps(*tree, paths);
  CheckLookUps(*tree, paths);

  // Edits through the key operations keep the index and the walk agreeing.
  CKeyTree copy(*tree);
  for (size_t i = 0; i < paths.size(); i += 3) {
    copy.AddKey((paths[i] + "x").c_str(), static_cast<int>(i));
    if (i % 2) copy.DeleteKey(paths[i].c_str());
  }
  CheckLookUps(copy, paths);

  // Keys renamed in place through their string items, in and out of order,
  // are seen by the next look-up as the walk sees them.
  CKeyTree renamed(*tree);
  CheckLookUps(renamed, paths);
  for (size_t i = 0; i < paths.size(); i += 5) {
    CItemList* node = renamed.GetKeyNode(paths[i].c_str());
    if (node == reinterpret_cast<CItemList*>(LS_INVALID_ITEM)) continue;
    auto* key = static_cast<CLstring*>(node->Head());
    const std::string& other = paths[(i * 7 + 3) % paths.size()];
    switch (i % 3) {
      case 0: *key = other.substr(other.rfind('.') + 1).c_str(); break;
      case 1: *key += "0"; break;
      default: static_cast<CString&>(*key).Empty(); break;
    }
    CheckLookUps(renamed, paths);
  }

  CKeyTree merged;
  merged.Merge(tree);
  tree->IsSubsetOf(&merged);
  merged.IsSubsetOf(tree);
  // The printed text parses again (not always to an equal tree: a control
  // character printed as "\x.." before a hex digit reads back differently).
  CString text = tree->ToString();
  std::unique_ptr<CItem> again(CKeyTree::CreateFromString(text, text.GetLength()));
  if (!again) std::abort();
  return 0;
}
