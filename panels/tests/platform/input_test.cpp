#include "ui_test_support.h"

using namespace uitest;

namespace {

class InputTest : public UiTest {};

TEST_F(InputTest, ClickLandsOnChildUnderPointWithClientCoordinates) {
  HWND top = Top(RECT{100, 100, 300, 300});
  HWND a = Child(top, RECT{10, 10, 60, 60}, 1);
  HWND b = Child(top, RECT{50, 50, 150, 150}, 2);   // overlaps a; a is above (created first)
  Log().clear();
  EXPECT_EQ(ClickAt(top, POINT{55, 55}), a);
  EXPECT_EQ(ClickAt(top, POINT{70, 80}), b);
  bool found = false;
  for (auto& r : Log())
    if (r.hwnd == b && r.msg == WM_LBUTTONDOWN) {
      EXPECT_EQ(GET_X_LPARAM(r.lParam), 20);
      EXPECT_EQ(GET_Y_LPARAM(r.lParam), 30);
      found = true;
    }
  EXPECT_TRUE(found);
  EXPECT_EQ(ClickAt(top, POINT{5, 5}), top);
  EXPECT_EQ(ClickAt(top, POINT{250, 5}), 0u);   // outside the window
}

TEST_F(InputTest, RegionLimitsHitTesting) {
  HWND top = Top(RECT{0, 0, 200, 200});
  HWND round = Child(top, RECT{0, 0, 100, 100}, 1);
  SetWindowRgn(round, CreateEllipticRgn(0, 0, 100, 100), TRUE);
  EXPECT_EQ(ClickAt(top, POINT{50, 50}), round);
  EXPECT_EQ(ClickAt(top, POINT{2, 2}), top);   // the corner is outside the circle
}

}  // namespace
