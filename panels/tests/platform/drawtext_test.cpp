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

int Width(std::u16string_view text) { return MeasureText(0, text); }

TEST_F(DrawTextTest, ExtentsComeFromTheSelectedFont) {
  SIZE s;
  int line = FontLineHeight(0);
  ASSERT_TRUE(GetTextExtentPoint32W(dc, u"ab", 2, &s));
  EXPECT_EQ(s.cx, Width(u"a") + Width(u"b"));  // advances add up: no kerning
  EXPECT_EQ(s.cy, line);
  GetTextExtentPoint32W(dc, u"聊天好友", 4, &s);
  EXPECT_EQ(s.cx, 4 * Width(u"聊"));  // ideographs share one advance
  GetTextExtentPoint32W(dc, u"a聊\U0001F600", 4, &s);
  EXPECT_EQ(s.cx, Width(u"a") + Width(u"聊") + Width(u"\U0001F600"));
  EXPECT_FALSE(GetTextExtentPoint32W(0xBAD, u"a", 1, &s));
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  EXPECT_EQ(tm.tmHeight, line);
  EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
  EXPECT_EQ(tm.tmAveCharWidth, Width(u"x"));
  EXPECT_EQ(tm.tmMaxCharWidth, Width(u"中"));
  EXPECT_EQ(tm.tmWeight, FW_NORMAL);
}

TEST_F(DrawTextTest, CalcRectAndAlignment) {
  int line = FontLineHeight(0);
  RECT rc{0, 0, 0, 0};
  EXPECT_EQ(DrawTextW(dc, u"我的好友(3/10)", -1, &rc, DT_CALCRECT | DT_SINGLELINE), line);
  EXPECT_EQ(rc.right, Width(u"我的好友(3/10)"));
  EXPECT_EQ(rc.bottom, line);
  rc = RECT{0, 0, 200, 0};
  EXPECT_EQ(DrawTextW(dc, u"one\ntwo\r\nthree", -1, &rc, DT_CALCRECT), 3 * line);
  EXPECT_EQ(rc.right, Width(u"three"));
  rc = RECT{0, 0, Width(u"aa bb") - 1, 0};
  EXPECT_EQ(DrawTextW(dc, u"aa bb cc", -1, &rc, DT_CALCRECT | DT_WORDBREAK), 3 * line);
  rc = RECT{0, 0, Width(u"aa bb"), 0};
  EXPECT_EQ(DrawTextW(dc, u"aa bb cc", -1, &rc, DT_CALCRECT | DT_WORDBREAK), 2 * line);
  rc = RECT{0, 0, 100, 0};
  DrawTextW(dc, u"&&a&b", -1, &rc, DT_CALCRECT);
  EXPECT_EQ(rc.right, Width(u"&ab"));
  rc = RECT{0, 0, 100, 0};
  DrawTextW(dc, u"&&a&b", -1, &rc, DT_CALCRECT | DT_NOPREFIX);
  EXPECT_EQ(rc.right, Width(u"&&a&b"));
}

// Columns and rows holding any pixel other than white.
RECT InkBox(const Canvas& c) {
  RECT box{c.Width(), c.Height(), 0, 0};
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x)
      if (c.GetPixel(x, y) != RGB(255, 255, 255)) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  return box;
}

TEST_F(DrawTextTest, GlyphsLandWhereTheFormatSays) {
  int line = FontLineHeight(0);
  Pixels().Fill(RECT{0, 0, 100, 40}, RGB(255, 255, 255));
  SetTextColor(dc, RGB(255, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  RECT rc{0, 0, 100, 40};
  DrawTextW(dc, u"W", 1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  int left = (100 - Width(u"W")) / 2, top = (40 - line) / 2;
  RECT ink = InkBox(Pixels());
  EXPECT_GE(ink.left, left);
  EXPECT_LE(ink.right, left + Width(u"W"));
  EXPECT_GE(ink.top, top);
  EXPECT_LE(ink.bottom, top + line);
  int reddish = 0;  // antialiased strokes: red blended over white
  for (int y = ink.top; y < ink.bottom; ++y)
    for (int x = ink.left; x < ink.right; ++x)
      if (GetGValue(Pixels().GetPixel(x, y)) < 160 && GetRValue(Pixels().GetPixel(x, y)) == 255)
        ++reddish;
  EXPECT_GT(reddish, 5);

  // OPAQUE fills the text's box with the background first.
  Pixels().Fill(RECT{0, 0, 100, 40}, RGB(255, 255, 255));
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, RGB(0, 255, 0));
  TextOutW(dc, 10, 0, u"a b", 3);
  int w = Width(u"a b");
  EXPECT_EQ(Pixels().GetPixel(10, 0), RGB(0, 255, 0));
  EXPECT_EQ(Pixels().GetPixel(10 + w - 1, line - 1), RGB(0, 255, 0));
  EXPECT_EQ(Pixels().GetPixel(10 + w, 0), RGB(255, 255, 255));
  EXPECT_EQ(Pixels().GetPixel(10, line), RGB(255, 255, 255));
  int space = 10 + Width(u"a") + Width(u" ") / 2;
  for (int y = 0; y < line; ++y) EXPECT_EQ(Pixels().GetPixel(space, y), RGB(0, 255, 0));

  // Text is clipped to the rectangle unless DT_NOCLIP.
  Pixels().Fill(RECT{0, 0, 100, 40}, RGB(255, 255, 255));
  SetBkMode(dc, TRANSPARENT);
  rc = RECT{0, 0, Width(u"M"), line};
  DrawTextW(dc, u"MM", 2, &rc, DT_LEFT | DT_SINGLELINE);
  EXPECT_LE(InkBox(Pixels()).right, Width(u"M"));
  DrawTextW(dc, u"MM", 2, &rc, DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(InkBox(Pixels()).right, Width(u"M") + 1);
}

TEST_F(DrawTextTest, EndEllipsisCutsToFit) {
  EXPECT_EQ(EllipsizeText(u"short", 100), u"short");
  int dots = Width(u"...");
  EXPECT_EQ(EllipsizeText(u"abcdefghij", Width(u"abcd") + dots), u"abcd...");
  EXPECT_EQ(EllipsizeText(u"abcdefghij", Width(u"abcd") + dots + Width(u"e") - 1), u"abcd...");
  EXPECT_EQ(EllipsizeText(u"聊天好友列表", Width(u"聊天") + dots + 1), u"聊天...");
  EXPECT_EQ(EllipsizeText(u"abcdef", 2 * Width(u".")), u"..");  // not even "..." fits
  int width = Width(u"abcd") + dots;
  RECT calc{0, 0, width, 16};
  DrawTextW(dc, u"abcdefghij", -1, &calc, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_EQ(calc.right, width);
}

TEST_F(DrawTextTest, HitTestsMatchTheDrawnPositions) {
  std::u16string text = u"ab好\U0001F600c";
  EXPECT_EQ(TextPositionFromX(dc, text, -5), 0u);
  EXPECT_EQ(TextPositionFromX(dc, text, Width(u"a") / 2 + 1), 1u);
  int wide = Width(u"ab");
  EXPECT_EQ(TextPositionFromX(dc, text, wide + Width(u"好") / 2 - 1), 2u);
  EXPECT_EQ(TextPositionFromX(dc, text, wide + Width(u"好") / 2 + 1), 3u);
  // Never between the halves of a surrogate pair.
  int pair = Width(u"ab好");
  EXPECT_EQ(TextPositionFromX(dc, text, pair + Width(u"\U0001F600") / 2 + 1), 5u);
  EXPECT_EQ(TextPositionFromX(dc, text, 1000), text.size());
}

}  // namespace
