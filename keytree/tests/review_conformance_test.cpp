// Behaviours of items and lists that are easy to get subtly wrong: the order
// of the steps of a list assignment, and others found in review.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "keytree/keytree.h"

namespace {

std::string Text(const CItem& item) { return item.ToString().str(); }

}  // namespace

// ---- list assignment -----------------------------------------------------------

// The target leaves its holding list before the source is copied, so a list
// assigned from a list that holds it does not copy its own old self.
TEST(ReviewListAssignment, TargetHeldBySourceLeavesBeforeTheCopy) {
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
}

TEST(ReviewListAssignment, TargetDeeperInsideTheSourceLeavesToo) {
  std::unique_ptr<CItemList> outer(static_cast<CItemList*>(CItemList::CreateFromString("(1, (2, (3)))", -1)));
  ASSERT_TRUE(outer);
  CItemList* middle = static_cast<CItemList*>(outer->GetChild(1));
  CItemList* inner = static_cast<CItemList*>(middle->GetChild(1));
  *inner = *outer;
  std::unique_ptr<CItemList> owned(inner);
  EXPECT_EQ(Text(*outer), "(1, (2))");
  EXPECT_EQ(Text(*inner), "(1, (2))");
}
