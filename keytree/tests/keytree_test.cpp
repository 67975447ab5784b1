// Key trees: key order, the key operations with their failure results,
// pruning, merge and subset, text and binary forms, and the iterator.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "keytree/keytree.h"

namespace {

// The keys of one level, in list order.
std::vector<std::string> Keys(const CKeyTree& level) {
  std::vector<std::string> keys;
  for (CKeyTreeIterator it(const_cast<CKeyTree*>(&level)); it.isValid(); it++)
    keys.push_back(it.key().GetString());
  return keys;
}

std::unique_ptr<CKeyTree> Parse(const char* text) {
  CItem* item = CKeyTree::CreateFromString(text, -1);
  EXPECT_NE(item, nullptr) << text;
  return std::unique_ptr<CKeyTree>(static_cast<CKeyTree*>(item));
}

TEST(KeyTreeKeys, KeysStaySortedBytewise) {
  CKeyTree t;
  t.AddKey("b", 2);
  t.AddKey("a", 1);
  EXPECT_EQ(Keys(t), (std::vector<std::string>{"a", "b"}));
  t.AddKey("ab", 3);
  EXPECT_EQ(Keys(t), (std::vector<std::string>{"a", "ab", "b"}));
  t.AddKey("B", 4);
  t.AddKey("\xe4\xb8\xad", 5);  // bytes above 0x7F sort after ASCII
  EXPECT_EQ(Keys(t), (std::vector<std::string>{"B", "a", "ab", "b", "\xe4\xb8\xad"}));
  EXPECT_EQ(IntOf(t.GetAt("ab"), 0), 3);
  EXPECT_EQ(
      t.ToString(),
      CString("(.(.\"B\", 4), (.\"a\", 1), (.\"ab\", 3), (.\"b\", 2), (.\"\xe4\xb8\xad\", 5))"));
}

TEST(KeyTreeKeys, AddKeyTwiceKeepsTheFirstValue) {
  CKeyTree t;
  CItem* first = t.AddKey("x", 1);
  ASSERT_TRUE(IsItem(first));
  EXPECT_EQ(t.AddKey("x", 2), LS_INVALID_ITEM);
  EXPECT_EQ(IntOf(t.GetAt("x"), 0), 1);

  // The item form leaves a refused value with the caller.
  auto* mine = new CLinteger(9);
  EXPECT_EQ(t.AddKey("x", mine), LS_INVALID_ITEM);
  EXPECT_EQ(mine->Root(), nullptr);
  delete mine;
}

TEST(KeyTreeKeys, SetAtOnlyChangesExistingKeys) {
  CKeyTree t;
  EXPECT_EQ(t.SetAt("y", 5), LS_INVALID_ITEM);
  EXPECT_TRUE(t.IsEmpty());
  EXPECT_EQ(t.AddKey("y", nullptr), nullptr);
  CItem* set = t.SetAt("y", 5);
  ASSERT_TRUE(IsItem(set));
  EXPECT_EQ(IntOf(t.GetAt("y"), 0), 5);
  EXPECT_TRUE(IsItem(t.SetAt("y", "five")));
  EXPECT_STREQ(StrOf(t.GetAt("y"), ""), "five");
  // SetAt to no value leaves the key without one.
  EXPECT_EQ(t.SetAt("y", nullptr), nullptr);
  EXPECT_EQ(t.GetAt("y"), nullptr);
  // Setting a key to the value it holds changes nothing.
  CItem* v = t.SetAt("y", 7.5);
  EXPECT_EQ(t.SetAt("y", v), v);
  EXPECT_EQ(RealOf(t.GetAt("y"), 0), 7.5);
}

TEST(KeyTreeKeys, PathsThroughALeafFail) {
  CKeyTree t;
  t.AddKey("p", 7);
  EXPECT_EQ(t.AddKey("p.q", 1), LS_INVALID_ITEM);
  EXPECT_EQ(t.GetAt("p.q"), LS_INVALID_ITEM);
  EXPECT_EQ(t.GetKeyNode("p.q"), reinterpret_cast<CItemList*>(LS_INVALID_ITEM));
  EXPECT_EQ(t.DeleteKey("p.q"), 0);
  EXPECT_EQ(IntOf(t.GetAt("p"), 0), 7);
  EXPECT_EQ(t.ToString(), CString("(.(.\"p\", 7))"));
}

TEST(KeyTreeKeys, NullValueIsNotAMissingKey) {
  CKeyTree t;
  EXPECT_EQ(t.AddKey("a", nullptr), nullptr);
  EXPECT_EQ(t.GetAt("a"), nullptr);
  EXPECT_EQ(t.GetAt("b"), LS_INVALID_ITEM);
  EXPECT_EQ(t.GetAt(""), LS_INVALID_ITEM);
  EXPECT_EQ(t.GetAt(nullptr), LS_INVALID_ITEM);
  // A key without value is a leaf on the way.
  EXPECT_TRUE(IsItem(t.AddKey("a.b", 1)));  // a key without value takes a subtree
  EXPECT_EQ(IntOf(t.GetAt("a.b"), 0), 1);
}

TEST(KeyTreeKeys, PathSegmentsAndDots) {
  CKeyTree t;
  t.AddKey("a.", 1);  // a single trailing dot names "a"
  EXPECT_EQ(IntOf(t.GetAt("a"), 0), 1);
  t.AddKey("x..y", 2);  // an empty segment names the key ""
  EXPECT_EQ(IntOf(t.GetAt("x..y"), 0), 2);
  CItem* inner = t.GetAt("x");
  ASSERT_TRUE(IsItem(inner));
  EXPECT_EQ(Keys(*static_cast<CKeyTree*>(inner)), (std::vector<std::string>{""}));
  t.AddKey(".lead", 3);
  EXPECT_EQ(IntOf(t.GetAt(".lead"), 0), 3);
  EXPECT_EQ(Keys(t).front(), "");
}

TEST(KeyTreeKeys, TypedOverloadsCreateTheirClasses) {
  CKeyTree t;
  GUID g{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  t.AddKey("i", 1);
  t.AddKey("r", 1.5);
  t.AddKey("s", "text");
  t.AddKey("g", g);
  EXPECT_TRUE(t.GetAt("i")->IsKindOf(RUNTIME_CLASS(CLinteger)));
  EXPECT_TRUE(t.GetAt("r")->IsKindOf(RUNTIME_CLASS(CLreal)));
  EXPECT_STREQ(StrOf(t.GetAt("s"), ""), "text");
  EXPECT_EQ(GuidOf(t.GetAt("g"), GUID{}), g);
  EXPECT_EQ(t.SetAt("missing", g), LS_INVALID_ITEM);
}

TEST(KeyTreeDelete, PrunesAncestorsLeftEmpty) {
  CKeyTree t;
  t.AddKey("a.b.c", 1);
  EXPECT_EQ(t.DeleteKey("a.b.c"), 1);
  EXPECT_TRUE(t.IsEmpty());
  EXPECT_EQ(t.DeleteKey("a.b.c"), 0);

  t.AddKey("a.b.c", 1);
  t.AddKey("a.d", 2);
  EXPECT_EQ(t.DeleteKey("a.b.c"), 1);
  EXPECT_EQ(t.ToString(), CString("(.(.\"a\", (.(.\"d\", 2))))"));

  // Deleting a key takes its subtree along.
  t.AddKey("a.e.f", 3);
  EXPECT_EQ(t.DeleteKey("a"), 1);
  EXPECT_TRUE(t.IsEmpty());
}

TEST(KeyTreeNodes, KeyNodeAndChildNodes) {
  CKeyTree t;
  auto* invalid = reinterpret_cast<CItemList*>(LS_INVALID_ITEM);
  EXPECT_EQ(t.GetFirstChildNode(nullptr), invalid);
  EXPECT_EQ(t.GetLastChildNode(""), invalid);
  t.AddKey("s.b", 2);
  t.AddKey("s.a", 1);
  t.AddKey("leaf", 3);
  t.AddKey("bare", nullptr);
  t.AddKey("empty", new CKeyTree);

  CItemList* node = t.GetKeyNode("s.a");
  ASSERT_NE(node, invalid);
  EXPECT_STREQ(StrOf(node->Head(), ""), "a");
  EXPECT_EQ(t.GetFirstChildNode("s"), t.GetKeyNode("s.a"));
  EXPECT_EQ(t.GetLastChildNode("s"), t.GetKeyNode("s.b"));
  EXPECT_EQ(t.GetFirstChildNode("leaf"), nullptr);
  EXPECT_EQ(t.GetFirstChildNode("bare"), nullptr);
  EXPECT_EQ(t.GetFirstChildNode("empty"), nullptr);
  EXPECT_EQ(t.GetFirstChildNode("nothing"), invalid);
  EXPECT_EQ(t.GetFirstChildNode(nullptr), t.GetKeyNode("bare"));
  EXPECT_EQ(t.GetLastChildNode(nullptr), t.GetKeyNode("s"));
}

TEST(KeyTreeMerge, LeavesReplaceAndSubtreesUnderLeavesDrop) {
  CKeyTree src, dst;
  src.AddKey("a", 1);
  src.AddKey("b.c", 2);
  dst.AddKey("a", "x");
  dst.AddKey("b", 9);
  dst.Merge(&src);
  EXPECT_EQ(IntOf(dst.GetAt("a"), 0), 1);
  EXPECT_EQ(IntOf(dst.GetAt("b"), 0), 9);
  EXPECT_EQ(dst.GetAt("b.c"), LS_INVALID_ITEM);
  // The source is copied, not moved.
  EXPECT_EQ(IntOf(src.GetAt("b.c"), 0), 2);
}

TEST(KeyTreeMerge, EmptyKeysAndSubtrees) {
  CKeyTree src, dst;
  src.AddKey("k", nullptr);         // an empty key replaces a value
  src.AddKey("sub", new CKeyTree);  // an empty subtree creates nothing
  src.AddKey("deep.x", 5);
  dst.AddKey("k", 1);
  dst.AddKey("deep.y", 6);
  dst.Merge(&src);
  EXPECT_EQ(dst.GetAt("k"), nullptr);
  EXPECT_EQ(dst.GetAt("sub"), LS_INVALID_ITEM);
  EXPECT_EQ(IntOf(dst.GetAt("deep.x"), 0), 5);
  EXPECT_EQ(IntOf(dst.GetAt("deep.y"), 0), 6);
  dst.Merge(nullptr);
  EXPECT_EQ(IntOf(dst.GetAt("deep.x"), 0), 5);
}

TEST(KeyTreeMerge, FromItselfOrItsOwnSubtree) {
  CKeyTree t;
  t.AddKey("a.a", 1);
  t.AddKey("b", 2);
  CKeyTree before(t);
  t.Merge(&t);
  EXPECT_TRUE(t.IsEqual(before));
  // The subtree under "a" holds a leaf "a" that replaces the subtree itself.
  t.Merge(static_cast<CKeyTree*>(t.GetAt("a")));
  EXPECT_EQ(IntOf(t.GetAt("a"), 0), 1);
}

// The target inside the source: keys added to the target land inside the
// source while it is read, and must not be visited again.
TEST(KeyTreeMerge, IntoOneOfTheSourcesOwnSubtrees) {
  CKeyTree t;
  t.AddKey("z.a", 1);
  t.AddKey("b", 2);
  auto* sub = static_cast<CKeyTree*>(t.GetAt("z"));
  sub->Merge(&t);
  EXPECT_EQ(IntOf(t.GetAt("z.a"), 0), 1);
  EXPECT_EQ(IntOf(t.GetAt("z.z.a"), 0), 1);
  EXPECT_EQ(IntOf(t.GetAt("z.b"), 0), 2);
  EXPECT_EQ(IntOf(t.GetAt("b"), 0), 2);
  EXPECT_EQ(t.GetAt("z.z.z"), LS_INVALID_ITEM);
}

TEST(KeyTreeSubset, KeysAndValues) {
  CKeyTree small, big, empty;
  small.AddKey("a", 1);
  small.AddKey("s.x", "v");
  small.AddKey("n", nullptr);
  big.AddKey("a", 1);
  big.AddKey("s.x", "v");
  big.AddKey("s.y", 2);
  big.AddKey("n", nullptr);
  big.AddKey("z", 3);
  EXPECT_EQ(empty.IsSubsetOf(&small), 1);
  EXPECT_EQ(small.IsSubsetOf(&big), 1);
  EXPECT_EQ(big.IsSubsetOf(&small), 0);
  EXPECT_EQ(small.IsSubsetOf(nullptr), 0);
  big.SetAt("n", 0);
  EXPECT_EQ(small.IsSubsetOf(&big), 0);  // no value against a value
  big.SetAt("n", nullptr);
  big.SetAt("a", 1.0);
  EXPECT_EQ(small.IsSubsetOf(&big), 0);  // an integer is no real
}

TEST(KeyTreeCopy, CopyAssignAndCompare) {
  CKeyTree t;
  t.AddKey("a.b", 1);
  t.AddKey("c", "x");
  CKeyTree copy(t);
  EXPECT_TRUE(copy.IsEqual(t));
  copy.SetAt("a.b", 2);
  EXPECT_FALSE(copy.IsEqual(t));

  // Assignment from an item: only a real key tree other than the target.
  CKeyTree target;
  target = static_cast<CItem*>(&t);
  EXPECT_TRUE(target.IsEqual(t));
  CItemList list;
  target = static_cast<CItem*>(&list);
  target = static_cast<CItem*>(LS_INVALID_ITEM);
  target = static_cast<CItem*>(nullptr);
  EXPECT_TRUE(target.IsEqual(t));

  // A tree held by a list leaves it when assigned to.
  CItemList holder;
  auto* held = new CKeyTree;
  holder.Append(held);
  *held = t;
  EXPECT_TRUE(holder.IsEmpty());
  EXPECT_TRUE(held->IsEqual(t));
  delete held;

  // A plain list with the same children is not equal to a tree.
  CItemList same;
  EXPECT_FALSE(CKeyTree().IsEqual(same));
  EXPECT_TRUE(same.IsEqual(CKeyTree()));  // the list comparison accepts a tree
  CItem* dup = t.Duplicate();
  EXPECT_EQ(dup->GetRuntimeClass(), RUNTIME_CLASS(CKeyTree));
  EXPECT_TRUE(dup->IsEqual(t));
  delete dup;
}

TEST(KeyTreeText, EmptyFormsAndRoundTrip) {
  CKeyTree empty;
  EXPECT_EQ(empty.ToString(), CString("(.)"));
  std::unique_ptr<CItem> tree(CItem::CreateFromString("(.)", -1));
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(tree->GetRuntimeClass(), RUNTIME_CLASS(CKeyTree));
  std::unique_ptr<CItem> list(CItem::CreateFromString("()", -1));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetRuntimeClass(), RUNTIME_CLASS(CItemList));
  EXPECT_EQ(CKeyTree::CreateFromString("()", -1), nullptr);
  EXPECT_EQ(CKeyTree::CreateFromString("(.", -1), nullptr);
  EXPECT_EQ(CKeyTree::CreateFromString(nullptr, -1), nullptr);

  CKeyTree t;
  t.AddKey("a", 1);
  t.AddKey("b.c", "x");
  EXPECT_EQ(t.ToString(), CString("(.(.\"a\", 1), (.\"b\", (.(.\"c\", \"x\"))))"));
  std::unique_ptr<CKeyTree> back = Parse(t.ToString());
  EXPECT_TRUE(back->IsEqual(t));
  EXPECT_STREQ(StrOf(back->GetAt("b.c"), ""), "x");
  // The indented form parses back as well (its leading line break trimmed).
  std::unique_ptr<CKeyTree> indented = Parse(t.ToIndentString(0, 1));
  EXPECT_TRUE(indented->IsEqual(t));

  CKeyTree target;
  target.AddKey("old", 1);
  EXPECT_EQ(target.FromString("(1, 2)", -1), 0);  // a plain list is no tree
  EXPECT_EQ(IntOf(target.GetAt("old"), 0), 1);
  EXPECT_EQ(target.FromString(t.ToString(), -1), 1);
  EXPECT_TRUE(target.IsEqual(t));
}

TEST(KeyTreeBinary, RecordsCarryTagFive) {
  CKeyTree t;
  t.AddKey("a", 1);
  unsigned size = t.GetBinarizeSize();
  // tree header, node header, key "a", integer
  EXPECT_EQ(size, 9u + 9u + 7u + 9u);
  std::vector<unsigned char> buf(size);
  unsigned char* cursor = buf.data();
  int remaining = static_cast<int>(size);
  ASSERT_EQ(t.Binarize(cursor, remaining), 1);
  EXPECT_EQ(remaining, 0);
  EXPECT_EQ(buf[0], 5);
  EXPECT_EQ(buf[9], 5);
  std::unique_ptr<CItem> back(CItem::CreateFromBuf(buf.data(), buf.size()));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->GetRuntimeClass(), RUNTIME_CLASS(CKeyTree));
  EXPECT_TRUE(back->IsEqual(t));
  // Too little room: nothing written.
  cursor = buf.data();
  remaining = 8;
  EXPECT_EQ(t.Binarize(cursor, remaining), 0);
}

// Levels wider than a few keys are searched through an index; these pin that
// the index answers exactly as the walk over the list would.
class KeyTreeWideLevel : public ::testing::Test {
 protected:
  static std::string Key(int i) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "k%02d", i);
    return buf;
  }
  void SetUp() override {
    for (int i = 0; i < 40; i += 2) t.AddKey(Key(i).c_str(), i);
  }
  CKeyTree t;
};

TEST_F(KeyTreeWideLevel, FindsEveryKeyAndInsertsInOrder) {
  for (int i = 0; i < 40; ++i) EXPECT_EQ(IntOf(t.GetAt(Key(i).c_str()), -1), i % 2 ? -1 : i) << i;
  for (int i = 1; i < 40; i += 2) t.AddKey(Key(i).c_str(), i);
  std::vector<std::string> keys = Keys(t);
  ASSERT_EQ(keys.size(), 40u);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(keys[i], Key(i));
  for (int i = 0; i < 40; i += 3) EXPECT_EQ(t.DeleteKey(Key(i).c_str()), 1);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(IntOf(t.GetAt(Key(i).c_str()), -1), i % 3 ? i : -1) << i;
}

TEST_F(KeyTreeWideLevel, ChangesMadeBehindItsBackAreSeen) {
  EXPECT_EQ(IntOf(t.GetAt("k10"), -1), 10);
  // A node deleted directly, a key string replaced, a node linked in place.
  delete t.GetKeyNode("k10");
  EXPECT_EQ(t.GetAt("k10"), LS_INVALID_ITEM);
  CItemList* node = t.GetKeyNode("k20");
  delete CItem::Insert(new CLstring("k21"), LS_REPLACE, node->Head());
  EXPECT_EQ(t.GetAt("k20"), LS_INVALID_ITEM);
  EXPECT_EQ(IntOf(t.GetAt("k21"), -1), 20);
  auto* extra = new CKeyTree;
  extra->Append("k31");
  extra->Append(31);
  CItem::Insert(extra, LS_INSERT_AFTER, t.GetKeyNode("k30"));
  EXPECT_EQ(IntOf(t.GetAt("k31"), -1), 31);
  EXPECT_EQ(IntOf(t.GetAt("k38"), -1), 38);
}

// A key renamed in place, by whatever the string offers for changing it,
// is seen by the next look-up exactly as the walk sees it.
TEST_F(KeyTreeWideLevel, KeysRenamedInPlaceAreSeen) {
  auto key = [&](const char* path) { return static_cast<CLstring*>(t.GetKeyNode(path)->Head()); };
  EXPECT_EQ(IntOf(t.GetAt("k10"), -1), 10);
  *key("k10") = "k11";  // still in order
  EXPECT_EQ(t.GetAt("k10"), LS_INVALID_ITEM);
  EXPECT_EQ(IntOf(t.GetAt("k11"), -1), 10);
  // Out of order: the walk stops at "zz" for every key after it.
  CString& asString = *key("k00");
  asString = "zz";
  EXPECT_EQ(t.GetAt("k02"), LS_INVALID_ITEM);
  EXPECT_EQ(t.GetAt("k38"), LS_INVALID_ITEM);
  asString += "";
  asString.Empty();
  asString += "k00";
  EXPECT_EQ(IntOf(t.GetAt("k38"), -1), 38);
  EXPECT_EQ(IntOf(t.GetAt("k00"), -1), 0);
  char* raw = key("k30")->GetBuffer(4);
  raw[1] = 'z';
  key("kz0")->ReleaseBuffer();
  EXPECT_EQ(IntOf(t.GetAt("k28"), -1), 28);
  EXPECT_EQ(t.GetAt("k32"), LS_INVALID_ITEM);
  EXPECT_EQ(IntOf(t.GetAt("kz0"), -1), 30);
  // Through the item's own replacements of its value.
  EXPECT_EQ(key("kz0")->FromString("\"k30\"", -1), 1);
  EXPECT_EQ(IntOf(t.GetAt("k32"), -1), 32);
  CLstring k35("k35");
  *key("k36") = k35;
  EXPECT_EQ(IntOf(t.GetAt("k35"), -1), 36);
  EXPECT_EQ(t.GetAt("k36"), LS_INVALID_ITEM);
}

TEST_F(KeyTreeWideLevel, OutOfOrderLevelsMissWhatTheWalkMisses) {
  // k04 moved behind k38: the walk stops at k06 when looking for k04.
  CItemList* moved = t.GetKeyNode("k04");
  t.Append(moved);
  EXPECT_EQ(t.GetAt("k04"), LS_INVALID_ITEM);
  EXPECT_EQ(IntOf(t.GetAt("k02"), -1), 2);
  EXPECT_EQ(IntOf(t.GetAt("k38"), -1), 38);
  // Creating it again puts a second k04 where the walk stopped.
  EXPECT_TRUE(IsItem(t.AddKey("k04", 99)));
  EXPECT_EQ(IntOf(t.GetAt("k04"), -1), 99);
  std::vector<std::string> keys = Keys(t);
  EXPECT_EQ(keys[2], "k04");
  EXPECT_EQ(keys.back(), "k04");

  // Parsed out of order: stays as written, searched as written.
  std::unique_ptr<CKeyTree> parsed = Parse(t.ToString());
  EXPECT_EQ(Keys(*parsed), keys);
  EXPECT_EQ(IntOf(parsed->GetAt("k04"), -1), 99);
  EXPECT_EQ(IntOf(parsed->GetAt("k36"), -1), 36);
}

TEST_F(KeyTreeWideLevel, MalformedNodeStopsTheWalk) {
  // A child that is no key node: keys before it are found, keys after fail.
  CItem::Insert(new CLinteger(5), LS_INSERT_AFTER, t.GetKeyNode("k20"));
  EXPECT_EQ(IntOf(t.GetAt("k18"), -1), 18);
  EXPECT_EQ(IntOf(t.GetAt("k20"), -1), 20);
  EXPECT_EQ(t.GetAt("k22"), LS_INVALID_ITEM);
  EXPECT_EQ(t.AddKey("k30", 1), LS_INVALID_ITEM);
  EXPECT_EQ(t.DeleteKey("k36"), 0);
}

TEST(KeyTreeIterator, WalksLevels) {
  CKeyTree empty;
  CKeyTreeIterator none(&empty);
  EXPECT_FALSE(none.isValid());
  EXPECT_TRUE(none.EoKT());
  EXPECT_EQ(none.key(), CString(""));
  EXPECT_EQ(*none, nullptr);
  CKeyTreeIterator onNothing(nullptr);
  EXPECT_FALSE(onNothing.isValid());

  CKeyTree t;
  t.AddKey("a", 1);
  t.AddKey("b.c", 2);
  t.AddKey("b.d", nullptr);
  CKeyTreeIterator it(&t);
  ASSERT_TRUE(it.isValid());
  EXPECT_EQ(it.key(), CString("a"));
  EXPECT_TRUE(it.isLeaf());
  EXPECT_EQ(IntOf(it.value(), 0), 1);
  CKeyTreeIterator pastLeaf = it.nextLevel();
  EXPECT_FALSE(pastLeaf.isValid());
  EXPECT_FALSE(pastLeaf.EoKT());
  EXPECT_EQ(pastLeaf.getLevel(), 1);

  it++;
  EXPECT_EQ(it.key(), CString("b"));
  EXPECT_FALSE(it.isLeaf());
  CKeyTreeIterator sub = it.nextLevel();
  EXPECT_EQ(sub.getLevel(), 1);
  EXPECT_EQ(sub.key(), CString("c"));
  sub++;
  EXPECT_EQ(sub.key(), CString("d"));
  EXPECT_TRUE(sub.isLeaf());  // a key without value counts as a leaf
  EXPECT_EQ(sub.value(), nullptr);
  sub++;
  EXPECT_FALSE(sub.isValid());
  EXPECT_FALSE(sub.EoKT());

  CKeyTreeIterator copy = it;
  it++;
  EXPECT_FALSE(it.isValid());
  EXPECT_TRUE(it.EoKT());
  EXPECT_EQ(copy.key(), CString("b"));
  it++;  // past the end stays there
  EXPECT_FALSE(it.isValid());
}

TEST(KeyTreeItem, AsKeyTreeOnlyForKeyTrees) {
  CKeyTree t;
  CItemList l;
  CKeyTree fallback;
  EXPECT_EQ(t.AsKeyTree(nullptr), &t);
  EXPECT_EQ(l.AsKeyTree(&fallback), &fallback);
  EXPECT_EQ(t.AsItemList(nullptr), &t);
  EXPECT_EQ(RUNTIME_CLASS(CKeyTree)->m_wSchema, 1u);
  EXPECT_STREQ(RUNTIME_CLASS(CKeyTree)->m_lpszClassName, "CKeyTree");
  EXPECT_EQ(CRuntimeClass::FromName("CKeyTree"), RUNTIME_CLASS(CKeyTree));
}

}  // namespace
