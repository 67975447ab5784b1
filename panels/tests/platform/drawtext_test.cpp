#include "ui_test_support.h"

using namespace uitest;

namespace {

class DrawTextTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    dc = CreateCompatibleDC(0);
    bitmap = CreateCompatibleBitmap(dc, 100, 40);
    SelectObject(dc, bitmap);
  }
  void TearDown() override {
    DeleteDC(dc);
    DeleteObject(bitmap);
    UiTest::TearDown();
  }
  Canvas& Pixels() { return *GetBitmapCanvas(bitmap); }
  HDC dc = 0;
  HBITMAP bitmap = 0;
};

TEST_F(DrawTextTest, ExtentsFollowTheFontModel) {
  SIZE s;
  ASSERT_TRUE(GetTextExtentPoint32W(dc, u"ab", 2, &s));
  EXPECT_EQ(s.cx, 14);
  EXPECT_EQ(s.cy, 16);
  GetTextExtentPoint32W(dc, u"聊天好友", 4, &s);
  EXPECT_EQ(s.cx, 48);
  GetTextExtentPoint32W(dc, u"a聊\U0001F600", 4, &s);   // a surrogate pair is one character
  EXPECT_EQ(s.cx, 7 + 12 + 12);
  EXPECT_FALSE(GetTextExtentPoint32W(0xBAD, u"a", 1, &s));
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  EXPECT_EQ(tm.tmHeight, 16);
  EXPECT_EQ(tm.tmAveCharWidth, 7);
}

TEST_F(DrawTextTest, CalcRectAndAlignment) {
  RECT rc{0, 0, 0, 0};
  EXPECT_EQ(DrawTextW(dc, u"我的好友(3/10)", -1, &rc, DT_CALCRECT | DT_SINGLELINE), 16);
  EXPECT_EQ(rc.right, 4 * 12 + 6 * 7);
  EXPECT_EQ(rc.bottom, 16);
  rc = RECT{0, 0, 200, 0};
  EXPECT_EQ(DrawTextW(dc, u"one\ntwo\r\nthree", -1, &rc, DT_CALCRECT), 48);
  EXPECT_EQ(rc.right, 35);
  rc = RECT{0, 0, 21, 0};
  EXPECT_EQ(DrawTextW(dc, u"aa bb cc", -1, &rc, DT_CALCRECT | DT_WORDBREAK), 48);
  rc = RECT{0, 0, 100, 0};
  DrawTextW(dc, u"&&a&b", -1, &rc, DT_CALCRECT);
  EXPECT_EQ(rc.right, 21);   // "&ab"
  rc = RECT{0, 0, 100, 0};
  DrawTextW(dc, u"&&a&b", -1, &rc, DT_CALCRECT | DT_NOPREFIX);
  EXPECT_EQ(rc.right, 35);
}

TEST_F(DrawTextTest, GlyphBoxesLandWhereTheFormatSays) {
  Pixels().Fill(RECT{0, 0, 100, 40}, RGB(255, 255, 255));
  SetTextColor(dc, RGB(255, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  RECT rc{0, 0, 100, 40};
  DrawTextW(dc, u"W", 1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  // One 7-pixel cell centred: x 46..52, line top at (40-16)/2 = 12.
  EXPECT_EQ(Pixels().GetPixel(47, 15), RGB(255, 0, 0));
  EXPECT_EQ(Pixels().GetPixel(51, 24), RGB(255, 0, 0));
  EXPECT_EQ(Pixels().GetPixel(46, 15), RGB(255, 255, 255));   // cell edge stays empty
  EXPECT_EQ(Pixels().GetPixel(47, 14), RGB(255, 255, 255));
  EXPECT_EQ(Pixels().CountColour(RECT{0, 0, 100, 40}, RGB(255, 0, 0)), 5 * 10);

  Pixels().Fill(RECT{0, 0, 100, 40}, RGB(255, 255, 255));
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, RGB(0, 255, 0));
  TextOutW(dc, 10, 0, u"a b", 3);
  EXPECT_EQ(Pixels().GetPixel(10, 0), RGB(0, 255, 0));
  EXPECT_EQ(Pixels().GetPixel(18, 5), RGB(0, 255, 0));   // the space: background only
  EXPECT_EQ(Pixels().GetPixel(25, 5), RGB(255, 0, 0));
  EXPECT_EQ(Pixels().GetPixel(31, 5), RGB(255, 255, 255));

  // Text is clipped to the rectangle unless DT_NOCLIP.
  Pixels().Fill(RECT{0, 0, 100, 40}, RGB(255, 255, 255));
  SetBkMode(dc, TRANSPARENT);
  rc = RECT{0, 0, 10, 16};
  DrawTextW(dc, u"MM", 2, &rc, DT_LEFT | DT_SINGLELINE);
  EXPECT_EQ(Pixels().GetPixel(12, 5), RGB(255, 255, 255));
  DrawTextW(dc, u"MM", 2, &rc, DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
  EXPECT_EQ(Pixels().GetPixel(12, 5), RGB(255, 0, 0));
}

TEST_F(DrawTextTest, EndEllipsisCutsToFit) {
  EXPECT_EQ(EllipsizeText(u"short", 100), u"short");
  EXPECT_EQ(EllipsizeText(u"abcdefghij", 49), u"abcd...");
  EXPECT_EQ(EllipsizeText(u"聊天好友列表", 50), u"聊天...");
  EXPECT_EQ(EllipsizeText(u"abcdef", 14), u"..");
  RECT rc{0, 0, 49, 16};
  RECT calc = rc;
  DrawTextW(dc, u"abcdefghij", -1, &calc, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_EQ(calc.right, 49);
}

}  // namespace
