// Item lists: membership, list operations, text forms, the list parser and
// the binary list record, with the refusals of damaged or hostile input.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "keytree/keytree.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::unique_ptr<CItemList> List(const char* text, int len = -1) {
  return std::unique_ptr<CItemList>(
      static_cast<CItemList*>(CItemList::CreateFromString(text, len)));
}

std::string Text(const CItem& item) { return item.ToString().str(); }

Bytes Record(const CItem& item) {
  Bytes out(item.GetBinarizeSize());
  unsigned char* cursor = out.data();
  int remaining = static_cast<int>(out.size());
  EXPECT_EQ(item.Binarize(cursor, remaining), 1);
  return out;
}

void PutU32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// Checks the link invariants of a list.
void ExpectWellLinked(const CItemList& list) {
  const CItem* prev = nullptr;
  for (const CItem* c = list.Head(); c; c = c->Next()) {
    EXPECT_EQ(c->Prev(), prev);
    EXPECT_EQ(c->Root(), &list);
    prev = c;
  }
  EXPECT_EQ(list.Tail(), prev);
}

std::string Nested(int depth, const char* open = "(", const char* inner = "1") {
  std::string s;
  for (int i = 0; i < depth; ++i) s += open;
  s += inner;
  for (int i = 0; i < depth; ++i) s += ")";
  return s;
}

}  // namespace

// ---- membership ----------------------------------------------------------------

TEST(Membership, AppendMovesAnItemBetweenLists) {
  CItemList a, b;
  CItem* x = a.Append(1);
  a.Append(2);
  EXPECT_EQ(b.Append(x), x);
  EXPECT_EQ(Text(a), "(2)");
  EXPECT_EQ(Text(b), "(1)");
  EXPECT_EQ(x->Root(), &b);
  b.Prepend(a.Head());
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_EQ(Text(b), "(2, 1)");
  ExpectWellLinked(a);
  ExpectWellLinked(b);
}

TEST(Membership, InsertModes) {
  CItemList list;
  CItem* one = list.Append(1);
  CItem* two = list.Append(2);
  CItem* head = CItem::Insert(new CLinteger(0), LS_INSERT_BEFORE, one);
  EXPECT_EQ(list.Head(), head);
  CItem* tail = CItem::Insert(new CLinteger(3), LS_INSERT_AFTER, two);
  EXPECT_EQ(list.Tail(), tail);
  CItem* mid = CItem::Insert(new CLinteger(9), LS_INSERT_AFTER, one);
  EXPECT_EQ(Text(list), "(0, 1, 9, 2, 3)");
  EXPECT_EQ(mid->GetIndex(), 2);

  std::unique_ptr<CItem> out(CItem::Insert(new CLstring("x"), LS_REPLACE, mid));
  EXPECT_EQ(out.get(), mid);
  EXPECT_EQ(out->Next(), nullptr);
  EXPECT_EQ(out->Prev(), nullptr);
  EXPECT_EQ(out->Root(), nullptr);
  EXPECT_EQ(Text(list), "(0, 1, \"x\", 2, 3)");

  CItem* y = new CLstring("y");
  EXPECT_EQ(CItem::Insert(y, LS_REPLACE_DELETE, list.Head()), y);  // old head deleted
  EXPECT_EQ(list.Head(), y);
  std::unique_ptr<CItem> three(CItem::Insert(new CLstring("z"), LS_REPLACE, list.Tail()));
  EXPECT_EQ(IntOf(three.get(), 0), 3);
  EXPECT_EQ(Text(list), "(\"y\", 1, \"x\", 2, \"z\")");
  ExpectWellLinked(list);
}

TEST(Membership, InsertRefusesWhatItCannotDo) {
  CItemList list;
  CItem* one = list.Append(1);
  CLinteger free;
  EXPECT_EQ(CItem::Insert(nullptr, LS_INSERT_BEFORE, one), nullptr);
  EXPECT_EQ(CItem::Insert(&free, LS_INSERT_BEFORE, nullptr), nullptr);
  EXPECT_EQ(CItem::Insert(LS_INVALID_ITEM, LS_INSERT_BEFORE, one), nullptr);
  EXPECT_EQ(CItem::Insert(&free, static_cast<LS_INSERT_MODE>(4), one), nullptr);
  EXPECT_EQ(CItem::Insert(one, LS_REPLACE_DELETE, one), nullptr);
  // A list cannot be placed inside itself.
  CItemList* inner = static_cast<CItemList*>(list.Append(new CItemList));
  CItem* deep = inner->Append(5);
  EXPECT_EQ(CItem::Insert(&list, LS_INSERT_BEFORE, deep), nullptr);
  EXPECT_EQ(inner->Append(&list), nullptr);
  EXPECT_EQ(list.Append(&list), nullptr);
  EXPECT_EQ(free.Root(), nullptr);
  EXPECT_EQ(Text(list), "(1, (5))");
}

TEST(Membership, ItemsOutsideListsChainAndUnchainSafely) {
  auto* a = new CLinteger(1);
  auto* b = new CLinteger(2);
  EXPECT_EQ(CItem::Insert(a, LS_INSERT_BEFORE, b), a);
  EXPECT_EQ(a->Next(), b);
  EXPECT_EQ(b->Prev(), a);
  EXPECT_EQ(a->GetIndex(), -1);
  delete b;  // unchains itself: a no longer points at it
  EXPECT_EQ(a->Next(), nullptr);
  delete a;
}

TEST(Membership, RemoveAndDeleteUnlink) {
  CItemList list;
  list.Append(1);
  CItem* two = list.Append(2);
  list.Append(3);
  two->Remove();
  EXPECT_EQ(two->GetIndex(), -1);
  EXPECT_EQ(Text(list), "(1, 3)");
  two->Remove();  // no effect
  delete two;
  delete list.Head();
  EXPECT_EQ(Text(list), "(3)");
  delete list.Tail();
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.Tail(), nullptr);
}

// ---- list operations -----------------------------------------------------------

TEST(ListOperations, CountsChildrenAndBounds) {
  CItemList list;
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetChild(0), nullptr);
  list.Append(1);
  list.Append(2.5);
  list.Append("s");
  list.Prepend(0);
  list.Prepend(-0.5);
  list.Prepend("p");
  EXPECT_EQ(Text(list), "(\"p\", -0.500000000000000, 0, 1, 2.500000000000000, \"s\")");
  EXPECT_EQ(list.GetCount(), 6);
  EXPECT_EQ(list.GetChild(-1), nullptr);
  EXPECT_EQ(list.GetChild(list.GetCount()), nullptr);
  EXPECT_EQ(list.GetChild(5), list.Tail());
  EXPECT_EQ(list.GetChild(0), list.Head());
  EXPECT_EQ(list.Tail()->GetIndex(), 5);
  EXPECT_EQ(list.Append(static_cast<CItem*>(nullptr)), nullptr);
  EXPECT_EQ(list.Prepend(LS_INVALID_ITEM), nullptr);
  list.Empty();
  EXPECT_TRUE(list.IsEmpty());
}

TEST(ListOperations, CopiesAreDeepAndAssignmentLeavesTheHoldingList) {
  auto source = List("(1, (2, \"a\"), 0x0000000101)");
  CItemList copy(*source);
  EXPECT_TRUE(copy == *source);
  EXPECT_NE(copy.GetChild(1), source->GetChild(1));

  CItemList holder;
  CItemList* target = static_cast<CItemList*>(holder.Append(new CItemList));
  target->Append(9);
  *target = *source;
  EXPECT_EQ(target->Root(), nullptr);
  EXPECT_TRUE(holder.IsEmpty());
  EXPECT_EQ(Text(*target), Text(*source));
  *target = *target;  // self-assignment changes nothing
  EXPECT_EQ(Text(*target), Text(*source));
  // Assigning from a list the target holds copies before it empties.
  *target = *static_cast<CItemList*>(target->GetChild(1));
  EXPECT_EQ(Text(*target), "(2, \"a\")");
  delete target;
}

// A list assigned from a list that holds it, at any depth, leaves first: the
// copy is of the source without the target's old self.
TEST(ListOperations, AssignmentFromAListThatHoldsTheTarget) {
  CItemList outer;
  outer.Append(1);
  CItemList* inner = static_cast<CItemList*>(outer.Append(new CItemList));
  inner->Append(9);
  outer.Append(2);
  *inner = outer;
  std::unique_ptr<CItemList> owned(inner);
  EXPECT_EQ(inner->Root(), nullptr);
  EXPECT_EQ(Text(outer), "(1, 2)");
  EXPECT_EQ(Text(*inner), "(1, 2)");

  auto deep = List("(1, (2, (3)))");
  CItemList* middle = static_cast<CItemList*>(deep->GetChild(1));
  std::unique_ptr<CItemList> deepest(static_cast<CItemList*>(middle->GetChild(1)));
  *deepest = *deep;
  EXPECT_EQ(Text(*deep), "(1, (2))");
  EXPECT_EQ(Text(*deepest), "(1, (2))");
}

TEST(ListOperations, DuplicateKeepsTheClassAndEqualityWalksInStep) {
  auto list = List("(1, (2), \"x\")");
  std::unique_ptr<CItem> dup(list->Duplicate());
  EXPECT_EQ(dup->GetRuntimeClass(), RUNTIME_CLASS(CItemList));
  EXPECT_EQ(dup->Root(), nullptr);
  EXPECT_TRUE(*dup == *list);
  EXPECT_FALSE(*List("(1, (2))") == *list);
  EXPECT_FALSE(*list == *List("(1, (2), \"x\", 4)"));
  EXPECT_FALSE(*list == CLinteger(1));
  EXPECT_TRUE(*List("()") == CItemList());
}

// ---- text forms ----------------------------------------------------------------

TEST(ListText, CompactForm) {
  CItemList list;
  list.Append(1);
  list.Append("ab");
  list.Append(new CItemList);
  EXPECT_EQ(Text(list), "(1, \"ab\", ())");
  EXPECT_EQ(Text(CItemList()), "()");
}

TEST(ListText, CompactFormOfLongListsGrowsItsBuffer) {
  CItemList list;
  std::string expected = "(";
  for (int i = 0; i < 3000; ++i) {
    list.Append(i);
    expected += (i ? ", " : "") + std::to_string(i);
  }
  expected += ")";
  EXPECT_EQ(Text(list), expected);
  auto back = List(expected.c_str());
  EXPECT_TRUE(*back == list);
}

TEST(ListText, IndentedForm) {
  auto list = List("(1, (2, 3), 4)");
  EXPECT_EQ(list->ToIndentString(0, 1).str(), "\n(1, \n  (2, 3), 4\n)");
  EXPECT_EQ(list->ToIndentString(0, 0).str(), "(1, \n  (2, 3), 4\n)");
  EXPECT_EQ(List("(1, 2)")->ToIndentString(1, 1).str(), "\n  (1, 2)");
  auto deeper = List("((()))");
  EXPECT_EQ(deeper->ToIndentString(0, 1).str(), "\n(\n  (\n    ()\n  )\n)");
  // The indented text parses back to the same list.
  EXPECT_TRUE(*List(list->ToIndentString(0, 1)) == *list);
}

// ---- the list parser -----------------------------------------------------------

TEST(ListParse, QuotedSeparatorsStayInOneElement) {
  auto list = List("(\"a,b\", \"c\\\"d)\", 1)");
  ASSERT_TRUE(list);
  ASSERT_EQ(list->GetCount(), 3);
  EXPECT_STREQ(StrOf(list->GetChild(0), nullptr), "a,b");
  EXPECT_STREQ(StrOf(list->GetChild(1), nullptr), "c\"d)");
  EXPECT_EQ(IntOf(list->GetChild(2), 0), 1);
  auto nested = List("((\"(\", \")\"), \"x\")");
  ASSERT_TRUE(nested);
  EXPECT_EQ(Text(*nested), "((\"(\", \")\"), \"x\")");
}

TEST(ListParse, ShapesThatParse) {
  EXPECT_EQ(Text(*List("( )")), "()");
  EXPECT_EQ(Text(*List("\n\t(  ) \r\n")), "()");
  auto nested = List("((1), 2)");
  ASSERT_TRUE(nested);
  EXPECT_EQ(nested->GetCount(), 2);
  EXPECT_TRUE(nested->Head()->IsKindOf(RUNTIME_CLASS(CItemList)));
  EXPECT_EQ(Text(*List("(1,,2)")), "(1, 0/0/0/0/0/0/0/0/0/0/0, 2)");
  EXPECT_EQ(Text(*List("((a, b))")), "((0/0/0/0/0/0/0/0/0/0/0, 0/0/0/0/0/0/0/0/0/0/0))");
  EXPECT_EQ(Text(*List("(1, )")), "(1)");
  EXPECT_EQ(Text(*List("(1,2.5,\"s\")")), "(1, 2.500000000000000, \"s\")");
}

TEST(ListParse, ShapesThatFailAndLeaveNothingBehind) {
  for (const char* bad :
       {"(1, 2", "1, 2)", "(", ")", "", "((1), (2)", "(1, (2)", "((\\)", "(\"(\")x"})
    EXPECT_FALSE(List(bad)) << bad;
  EXPECT_FALSE(CItemList::CreateFromString(nullptr, -1));
  // An element in parentheses that never closes fails the whole list, even
  // after earlier elements were built (the sanitizer build sees any leak).
  EXPECT_FALSE(List("(1, (2, 3), (4)"));
  EXPECT_FALSE(List("((1) \\"));
}

// A list parses the same nested in another as on its own, however quotes,
// escapes and parentheses interleave around its elements.
TEST(ListParse, NestedListsParseAsOnTheirOwn) {
  const char* cases[] = {
      "((1)\"x, (2)\", 3)",
      "((1)\"x, (2)\" (4), 3)",
      "(((1)\"(\", (2)), \")\", (5))",
      "((a\\(b), ((c)), \"\\\"(\", (d))",
      "((1, (2, (3, \"(\\\"\")), 4), (5))",
      "(((\"a)\", (b)) x), (z))",
      "((1) (2), (3))",
      "( (1)\\(, (2))",
      "(1, (\"a\" (b\\\" (c)), (d)))",
  };
  for (const char* text : cases) {
    std::unique_ptr<CItem> alone(CItem::CreateFromString(text, -1));
    std::string wrapped = std::string("(0, ") + text + ", " + text + ")";
    auto outer = List(wrapped.c_str());
    ASSERT_TRUE(alone && outer) << text;
    ASSERT_EQ(outer->GetCount(), 3) << text;
    EXPECT_EQ(Text(*outer->GetChild(1)), Text(*alone)) << text;
    EXPECT_EQ(Text(*outer->GetChild(2)), Text(*alone)) << text;
  }
  EXPECT_EQ(Text(*List("((1)\"x, (2)\", 3)")),
            "((1), 0/0/0/0/0/0/0/0/0/0/0, (2), 0/0/0/0/0/0/0/0/0/0/0, 3)");
}

TEST(ListParse, NulEndsTheTextEarly) {
  const char text[] = "(1, 2\0, 3)";
  auto list = List(text, sizeof text - 1);
  ASSERT_TRUE(list);
  EXPECT_EQ(Text(*list), "(1, 2)");
}

TEST(ListParse, FromStringReplacesChildrenOnlyOnSuccess) {
  CItemList list;
  list.Append(7);
  EXPECT_EQ(list.FromString("(1, 2", -1), 0);
  EXPECT_EQ(Text(list), "(7)");
  EXPECT_EQ(list.FromString("(1, (2))", -1), 1);
  EXPECT_EQ(Text(list), "(1, (2))");
  ExpectWellLinked(list);
  EXPECT_EQ(list.FromString(nullptr, -1), 0);
}

TEST(ListParse, NestingDepthIsBounded) {
  auto deepest = List(Nested(LS_MAX_NESTING).c_str());
  ASSERT_TRUE(deepest);
  EXPECT_FALSE(List(Nested(LS_MAX_NESTING + 1).c_str()));
  EXPECT_FALSE(std::unique_ptr<CItem>(CItem::CreateFromString(Nested(5000).c_str(), -1)));
  if (CRuntimeClass::FromName("CKeyTree")) {
    EXPECT_FALSE(std::unique_ptr<CItem>(CItem::CreateFromString(Nested(5000, "(.").c_str(), -1)));
  }
  CItemList list;
  list.Append(1);
  EXPECT_EQ(list.FromString(Nested(LS_MAX_NESTING + 1).c_str(), -1), 0);
  EXPECT_EQ(Text(list), "(1)");
}

// ---- binary list record --------------------------------------------------------

TEST(ListBinary, EmptyListIsNineBytes) {
  CItemList empty;
  Bytes rec = Record(empty);
  EXPECT_EQ(rec, (Bytes{4, 9, 0, 0, 0, 0, 0, 0, 0}));
  std::unique_ptr<CItem> back(CItem::CreateFromBuf(rec.data()));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->GetRuntimeClass(), RUNTIME_CLASS(CItemList));
  EXPECT_TRUE(static_cast<CItemList*>(back.get())->IsEmpty());
}

TEST(ListBinary, RoundTripOfNestedLists) {
  auto list = List("(1, (2.5, \"s\", ()), 0x00000002abcd, 1/2/3/4/5/6/7/8/9/10/11)");
  Bytes rec = Record(*list);
  EXPECT_EQ(rec.size(), list->GetBinarizeSize());
  EXPECT_EQ(rec[0], 4);
  EXPECT_EQ(rec[5], 4);  // four children
  std::unique_ptr<CItem> back(CItem::CreateFromBuf(rec.data(), rec.size()));
  ASSERT_TRUE(back);
  EXPECT_TRUE(*back == *list);
  CItemList target;
  target.Append(99);
  EXPECT_EQ(target.Unbinarize(rec.data()), 1);
  EXPECT_TRUE(target == *list);
  ExpectWellLinked(target);
}

TEST(ListBinary, BinarizeFailsWholeWhenAChildDoesNotFit) {
  auto list = List("(1, 2)");
  Bytes out(list->GetBinarizeSize() - 1);
  unsigned char* cursor = out.data();
  int remaining = static_cast<int>(out.size());
  EXPECT_EQ(list->Binarize(cursor, remaining), 0);
  EXPECT_EQ(cursor, out.data());
  EXPECT_EQ(remaining, static_cast<int>(out.size()));
  remaining = 8;
  EXPECT_EQ(CItemList().Binarize(cursor, remaining), 0);
}

TEST(ListBinary, RefusedRecordsLeaveTheListAsItWas) {
  CItemList list;
  list.Append(1);
  Bytes tag3{3, 9, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(list.Unbinarize(tag3.data()), 0);
  EXPECT_FALSE(CItem::CreateFromBuf(Bytes{4, 8, 0, 0, 0, 0, 0, 0}.data()));
  Bytes shortList{4, 8, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(list.Unbinarize(shortList.data()), 0);
  EXPECT_EQ(list.Unbinarize(nullptr), 0);
  // A record whose second child cannot be built.
  Bytes rec = Record(*List("(5, 6)"));
  rec[9 + 9] = 7;  // the second child's tag
  EXPECT_EQ(list.Unbinarize(rec.data()), 0);
  EXPECT_EQ(Text(list), "(1)");
  ExpectWellLinked(list);
}

TEST(ListBinary, LengthsThatRunPastTheParentOrTheBytesAreRefused) {
  const Bytes good = Record(*List("(1, \"ab\")"));  // 9 + 9 + 8 = 26 bytes
  ASSERT_EQ(good.size(), 26u);
  ASSERT_TRUE(std::unique_ptr<CItem>(CItem::CreateFromBuf(good.data(), good.size())));

  // The list states more bytes than it was given.
  Bytes longer = good;
  PutU32(longer, 1, 27);
  EXPECT_FALSE(CItem::CreateFromBuf(longer.data(), longer.size()));
  CItemList list;
  EXPECT_EQ(list.Unbinarize(longer.data(), longer.size()), 0);

  // Fewer bytes available than the list states.
  EXPECT_FALSE(CItem::CreateFromBuf(good.data(), good.size() - 1));

  // A child that runs past its parent's stated length, even with bytes behind it.
  Bytes child = good;
  child.push_back(0);
  PutU32(child, 18 + 1, 9);  // the string child says 9 where 8 remain in the list
  EXPECT_FALSE(CItem::CreateFromBuf(child.data(), child.size()));
  EXPECT_FALSE(CItem::CreateFromBuf(child.data()));

  // A count of children that are not there.
  Bytes count = good;
  PutU32(count, 5, 3);
  EXPECT_FALSE(CItem::CreateFromBuf(count.data(), count.size()));
  PutU32(count, 5, 0xFFFFFFFF);
  EXPECT_FALSE(CItem::CreateFromBuf(count.data()));

  // A child whose length is below a record header cannot stall the reader.
  Bytes zero = good;
  PutU32(zero, 9 + 1, 0);
  EXPECT_FALSE(CItem::CreateFromBuf(zero.data(), zero.size()));

  // Spare bytes after the children inside the stated length are tolerated.
  Bytes spare = good;
  spare.push_back(0xEE);
  PutU32(spare, 1, 27);
  EXPECT_TRUE(std::unique_ptr<CItem>(CItem::CreateFromBuf(spare.data(), spare.size())));
}

TEST(ListBinary, NestingDepthIsBounded) {
  auto nest = [](int depth) {
    // depth lists, each holding the next; the innermost is empty.
    Bytes rec(static_cast<size_t>(depth) * 9);
    for (int i = 0; i < depth; ++i) {
      size_t at = static_cast<size_t>(i) * 9;
      rec[at] = 4;
      PutU32(rec, at + 1, static_cast<uint32_t>((depth - i) * 9));
      PutU32(rec, at + 5, i + 1 < depth ? 1 : 0);
    }
    return rec;
  };
  Bytes ok = nest(LS_MAX_NESTING);
  std::unique_ptr<CItem> deepest(CItem::CreateFromBuf(ok.data(), ok.size()));
  ASSERT_TRUE(deepest);
  Bytes back = Record(*deepest);
  EXPECT_EQ(back, ok);
  Bytes tooDeep = nest(LS_MAX_NESTING + 1);
  EXPECT_FALSE(CItem::CreateFromBuf(tooDeep.data(), tooDeep.size()));
  Bytes huge = nest(200000);
  EXPECT_FALSE(CItem::CreateFromBuf(huge.data(), huge.size()));
}
