// Node storage and visible-row numbering of the tree control.
#include "treemodel.h"

#include <algorithm>

namespace treeui {

Model::Model() { m_root.expanded = true; }
Model::~Model() = default;

Node* Model::Find(std::uintptr_t handle) const {
  auto it = m_nodes.find(handle);
  return it == m_nodes.end() ? nullptr : it->second.get();
}

void Model::Link(Node* node, Node* parent, Node* after, bool first) {
  node->parent = parent;
  if (after && after->parent != parent) after = nullptr;
  if (!after && !first) after = parent->last;
  if (after) {
    node->prev = after;
    node->next = after->next;
    if (after->next) after->next->prev = node;
    else parent->last = node;
    after->next = node;
  } else {
    node->prev = nullptr;
    node->next = parent->first;
    if (parent->first) parent->first->prev = node;
    else parent->last = node;
    parent->first = node;
  }
  ++parent->childCount;
  m_rowsValid = false;
}

void Model::Unlink(Node* node) {
  Node* parent = node->parent;
  if (!parent) return;
  if (node->prev) node->prev->next = node->next;
  else parent->first = node->next;
  if (node->next) node->next->prev = node->prev;
  else parent->last = node->prev;
  node->prev = node->next = nullptr;
  node->parent = nullptr;
  --parent->childCount;
  m_rowsValid = false;
}

Node* Model::Insert(Node* parent, Node* after, bool first) {
  auto owned = std::make_unique<Node>();
  Node* node = owned.get();
  node->handle = m_nextHandle++;
  m_nodes.emplace(node->handle, std::move(owned));
  Link(node, parent, after, first);
  return node;
}

Node* Model::InsertSorted(Node* parent, const std::function<bool(const Node&, const Node&)>& less,
                          const std::u16string& text) {
  Node probe;
  probe.text = text;
  Node* after = nullptr;
  for (Node* c = parent->first; c && !less(probe, *c); c = c->next) after = c;
  Node* node = Insert(parent, after, after == nullptr);
  node->text = text;
  return node;
}

void Model::Erase(Node* node, const std::function<void(Node*)>& onRemove) {
  if (!node || node == &m_root) return;
  while (node->first) Erase(node->first, onRemove);
  if (onRemove) onRemove(node);
  Unlink(node);
  m_nodes.erase(node->handle);
}

void Model::Clear(const std::function<void(Node*)>& onRemove) {
  while (m_root.first) Erase(m_root.first, onRemove);
  m_rowsValid = false;
}

void Model::Move(Node* node, Node* parent, Node* after) {
  if (!node || node == &m_root || !parent) return;
  for (Node* p = parent; p; p = p->parent)
    if (p == node) return;  // never under its own branch
  Unlink(node);
  Link(node, parent, after, after == nullptr);
}

void Model::SortChildren(Node* parent, const std::function<bool(const Node&, const Node&)>& less,
                         bool recurse) {
  if (!parent) return;
  std::vector<Node*> kids;
  kids.reserve(parent->childCount);
  for (Node* c = parent->first; c; c = c->next) kids.push_back(c);
  std::stable_sort(kids.begin(), kids.end(), [&](Node* a, Node* b) { return less(*a, *b); });
  Node* prev = nullptr;
  for (Node* c : kids) {
    c->prev = prev;
    c->next = nullptr;
    if (prev) prev->next = c;
    else parent->first = c;
    prev = c;
  }
  parent->last = prev;
  m_rowsValid = false;
  if (recurse)
    for (Node* c : kids) SortChildren(c, less, true);
}

void Model::Renumber() {
  // Old rows may name deleted nodes: they are never touched, a new
  // generation makes every old number stale instead.
  m_rows.clear();
  ++m_gen;
  // Depth-first walk without recursion: next visible is first child when
  // expanded, else the next sibling of the nearest ancestor that has one.
  Node* n = m_root.first;
  while (n) {
    n->row = static_cast<int>(m_rows.size());
    n->rowGen = m_gen;
    m_rows.push_back(n);
    if (n->expanded && n->first) {
      n = n->first;
      continue;
    }
    while (n && !n->next) {
      n = n->parent;
      if (n == &m_root) n = nullptr;
    }
    if (n) n = n->next;
  }
  m_rowsValid = true;
}

int Model::RowCount() {
  if (!m_rowsValid) Renumber();
  return static_cast<int>(m_rows.size());
}

int Model::RowOf(Node* node) {
  if (!node || node == &m_root) return -1;
  if (!m_rowsValid) Renumber();
  return node->rowGen == m_gen ? node->row : -1;
}

Node* Model::NodeAtRow(int row) {
  if (!m_rowsValid) Renumber();
  if (row < 0 || row >= static_cast<int>(m_rows.size())) return nullptr;
  return m_rows[static_cast<std::size_t>(row)];
}

bool Model::IsVisible(const Node* node) const {
  if (!node || node == &m_root) return false;
  for (const Node* p = node->parent; p && p != &m_root; p = p->parent)
    if (!p->expanded) return false;
  return true;
}

int Model::Depth(const Node* node) const {
  int d = -1;
  for (const Node* p = node; p && p != &m_root; p = p->parent) ++d;
  return d;
}

}  // namespace treeui
