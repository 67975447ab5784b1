// Running out of memory gives the ordinary failure results, never a thrown
// exception and never a success that lost data. This program replaces the
// allocation functions so that allocations of one chosen size fail.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "keytree/keytree.h"

// The replacements below pair malloc with free themselves.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

std::atomic<size_t> g_failSize{0};  // 0: nothing fails

void* Allocate(size_t n) {
  if (n != 0 && n == g_failSize.load(std::memory_order_relaxed)) return nullptr;
  return std::malloc(n ? n : 1);
}

// Allocations of size bytes fail while one of these lives.
class FailSize {
 public:
  explicit FailSize(size_t size) { g_failSize = size; }
  ~FailSize() { g_failSize = 0; }
};

}  // namespace

void* operator new(size_t n) {
  if (void* p = Allocate(n)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t n) {
  if (void* p = Allocate(n)) return p;
  throw std::bad_alloc();
}
void* operator new(size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void* operator new[](size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

constexpr size_t kBlock = 1000;

std::vector<unsigned char> UserRecord(size_t bytes) {
  CLuser big(nullptr, static_cast<int>(bytes));
  std::vector<unsigned char> rec(big.GetBinarizeSize());
  unsigned char* cursor = rec.data();
  int remaining = static_cast<int>(rec.size());
  EXPECT_EQ(big.Binarize(cursor, remaining), 1);
  return rec;
}

TEST(OutOfMemory, UserBlockKeepsItsValueAndReportsFailure) {
  CLuser u("abc", 3);
  std::vector<unsigned char> rec = UserRecord(kBlock);
  CString text = CLuser(nullptr, static_cast<int>(kBlock)).ToString();
  CLuser other(nullptr, static_cast<int>(kBlock));
  FailSize fail(kBlock);
  EXPECT_EQ(u.Unbinarize(rec.data(), rec.size()), 0);
  EXPECT_EQ(u.FromString(text, -1), 0);
  EXPECT_EQ(u.GetLen(), 3u);
  EXPECT_EQ(u.ToString(), "0x00000003616263");
  u = other;
  EXPECT_EQ(u.GetLen(), 3u);
  EXPECT_EQ(CLuser::CreateFromString(text, -1), nullptr);
  EXPECT_EQ(other.Duplicate(), nullptr);
  EXPECT_EQ(CItem::CreateFromBuf(rec.data(), rec.size()), nullptr);
}

TEST(OutOfMemory, ListsHoldingABlockFailWhole) {
  CItemList list;
  list.Append(new CLuser(nullptr, static_cast<int>(kBlock)));
  std::vector<unsigned char> rec(list.GetBinarizeSize());
  unsigned char* cursor = rec.data();
  int remaining = static_cast<int>(rec.size());
  ASSERT_EQ(list.Binarize(cursor, remaining), 1);
  CItemList target;
  target.Append(1);
  FailSize fail(kBlock);
  EXPECT_EQ(target.Unbinarize(rec.data(), rec.size()), 0);
  EXPECT_EQ(target.ToString(), "(1)");
  EXPECT_EQ(list.Duplicate(), nullptr);
}

TEST(OutOfMemory, KeyOperationsFailWithoutTakingOrChanging) {
  CKeyTree t;
  t.AddKey("a", 1);
  CKeyTree before(t);
  {
    FailSize fail(sizeof(CLinteger));
    EXPECT_EQ(t.AddKey("b", 2), LS_INVALID_ITEM);
    EXPECT_EQ(t.SetAt("a", 3), LS_INVALID_ITEM);
  }
  {
    FailSize fail(sizeof(CLreal));
    EXPECT_EQ(t.AddKey("b", 2.5), LS_INVALID_ITEM);
  }
  {
    FailSize fail(sizeof(CLguid));
    EXPECT_EQ(t.SetAt("a", GUID{}), LS_INVALID_ITEM);
  }
  EXPECT_TRUE(t.IsEqual(before));
  // A key node that cannot be made: the value stays the caller's.
  auto value = std::make_unique<CLinteger>(5);
  {
    FailSize fail(sizeof(CKeyTree));
    EXPECT_EQ(t.AddKey("c", value.get()), LS_INVALID_ITEM);
  }
  EXPECT_EQ(value->Root(), nullptr);
  EXPECT_TRUE(t.IsEqual(before));
  CItem* taken = value.release();
  EXPECT_EQ(t.AddKey("c", taken), taken);
}

TEST(OutOfMemory, WideLevelsStillFindEveryKey) {
  CKeyTree t;
  for (int i = 0; i < 64; ++i) t.AddKey(("k" + std::to_string(100 + i)).c_str(), i);
  // The index of a level of 64 keys holds 64 pointers.
  CKeyTree copy(t);
  {
    FailSize fail(64 * sizeof(void*));
    for (int i = 0; i < 64; ++i)
      EXPECT_EQ(IntOf(copy.GetAt(("k" + std::to_string(100 + i)).c_str()), -1), i);
    EXPECT_NE(copy.AddKey("k099", 9), LS_INVALID_ITEM);
  }
  EXPECT_EQ(IntOf(copy.GetAt("k099"), -1), 9);
  EXPECT_EQ(IntOf(copy.GetAt("k163"), -1), 63);
}

}  // namespace
