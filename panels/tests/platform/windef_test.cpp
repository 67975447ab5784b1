#include "platform/windef.h"

#include <gtest/gtest.h>

TEST(WinDef, ColoursAndPackedWords) {
  constexpr COLORREF c = RGB(0, 0, 139);
  EXPECT_EQ(c, 0x8b0000u);
  EXPECT_EQ(GetBValue(c), 139);
  EXPECT_EQ(GetRValue(c), 0);
  // Negative co-ordinates survive the trip through lParam.
  LPARAM lp = MAKELPARAM(static_cast<WORD>(-5), 300);
  EXPECT_EQ(GET_X_LPARAM(lp), -5);
  EXPECT_EQ(GET_Y_LPARAM(lp), 300);
}
