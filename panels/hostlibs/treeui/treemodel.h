// The items of a tree control: a linked tree of nodes with handles.
//
// Every node is reachable from its handle through one hash map, and knows its
// parent, first and last child and both siblings, so that inserting after a
// given item, deleting an item and every look-up by handle cost constant time
// (deleting a branch costs its size). The rows that are visible (every
// ancestor expanded) are numbered lazily: the numbering is rebuilt on the
// first row question after a change.
#pragma once

#include "platform/windef.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace treeui {

struct PostfixButton {
  int image = -1;
  DWORD data = 0;
  bool visible = true;
};

// Where the parts of an item's row lie (client co-ordinates).
struct RowLayout {
  RECT row{};
  RECT check{};
  RECT icon{};
  RECT text{};
  std::vector<RECT> postfix;  // per button; empty rectangles for hidden ones
};

enum class NodeKind { Plain, Group, Friend };

struct Node {
  std::uintptr_t handle = 0;
  Node* parent = nullptr;
  Node* first = nullptr;
  Node* last = nullptr;
  Node* prev = nullptr;
  Node* next = nullptr;
  std::size_t childCount = 0;

  std::u16string text;
  int image = 0;
  int selImage = 0;
  DWORD_PTR data = 0;
  bool expanded = false;
  bool bold = false;
  bool canDrag = false;
  bool canDrop = false;
  bool bigImage = false;
  int check = 0;  // 0 unchecked, 1 checked
  WORD flag = 0;  // the inserter's 16-bit flag (group items)
  NodeKind kind = NodeKind::Plain;
  std::vector<PostfixButton> postfix;

  int row = -1;  // visible row, when rowGen is the model's numbering
  unsigned rowGen = 0;
};

class Model {
 public:
  Model();
  ~Model();
  Model(const Model&) = delete;
  Model& operator=(const Model&) = delete;

  Node* Root() { return &m_root; }
  const Node* Root() const { return &m_root; }
  // The node of a handle, or null for an unknown (or deleted) handle.
  Node* Find(std::uintptr_t handle) const;
  std::size_t Count() const { return m_nodes.size(); }

  // Inserts a new node under `parent`: after `after` when it is one of
  // parent's children, first when `first` is set, else last.
  Node* Insert(Node* parent, Node* after, bool first);
  // Inserts in the order that `less` gives among parent's children (after
  // the last child that is not greater).
  Node* InsertSorted(Node* parent, const std::function<bool(const Node&, const Node&)>& less,
                     const std::u16string& text);
  // Removes a node and its branch; `onRemove` sees each node before it goes,
  // children before their parent.
  void Erase(Node* node, const std::function<void(Node*)>& onRemove = {});
  void Clear(const std::function<void(Node*)>& onRemove = {});
  // Moves a node (with its branch) under a new parent after `after` (null: first).
  void Move(Node* node, Node* parent, Node* after);
  // Reorders parent's children by `less` (stable); with `recurse` every level below too.
  void SortChildren(Node* parent, const std::function<bool(const Node&, const Node&)>& less,
                    bool recurse);

  // Visible rows: a node is visible when every ancestor is expanded.
  void Invalidate() { m_rowsValid = false; }
  bool RowsValid() const { return m_rowsValid; }
  int RowCount();
  int RowOf(Node* node);     // -1 when not visible
  Node* NodeAtRow(int row);  // null outside 0..RowCount()-1
  bool IsVisible(const Node* node) const;
  int Depth(const Node* node) const;  // 0 for root-level items

 private:
  void Unlink(Node* node);
  void Link(Node* node, Node* parent, Node* after, bool first);
  void Renumber();

  Node m_root;
  std::unordered_map<std::uintptr_t, std::unique_ptr<Node>> m_nodes;
  std::uintptr_t m_nextHandle = 1;
  std::vector<Node*> m_rows;
  bool m_rowsValid = false;
  unsigned m_gen = 0;
};

}  // namespace treeui
