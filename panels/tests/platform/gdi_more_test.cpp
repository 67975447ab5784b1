#include "ui_test_support.h"

using namespace uitest;

namespace {

class GdiMoreTest : public UiTest {};

struct Surface {
  Surface(int w, int h, COLORREF fill) {
    dc = CreateCompatibleDC(0);
    bitmap = CreateCompatibleBitmap(dc, w, h);
    SelectObject(dc, bitmap);
    GetBitmapCanvas(bitmap)->Fill(RECT{0, 0, w, h}, fill);
  }
  ~Surface() {
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  Canvas& Pixels() { return *GetBitmapCanvas(bitmap); }
  HDC dc;
  HBITMAP bitmap;
};

TEST_F(GdiMoreTest, AlphaBlendWeighsSourceAndDestination) {
  Surface src(2, 1, RGB(200, 0, 0));
  Surface dst(2, 1, RGB(0, 0, 100));
  src.Pixels().SetRgba(1, 0, 0x000000C8u);  // red with alpha 0
  BLENDFUNCTION half{AC_SRC_OVER, 0, 128, 0};
  AlphaBlend(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 1, 1, half);
  EXPECT_EQ(dst.Pixels().GetPixel(0, 0), RGB(100, 0, 50));
  BLENDFUNCTION perPixel{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(dst.dc, 1, 0, 1, 1, src.dc, 1, 0, 1, 1, perPixel);
  EXPECT_EQ(dst.Pixels().GetPixel(1, 0), RGB(0, 0, 100));  // transparent source leaves it
}

TEST_F(GdiMoreTest, SaveAndRestoreTheDCState) {
  Surface s(4, 4, RGB(0, 0, 0));
  SetTextColor(s.dc, RGB(1, 1, 1));
  int level = SaveDC(s.dc);
  EXPECT_EQ(level, 1);
  SetTextColor(s.dc, RGB(2, 2, 2));
  SetViewportOrgEx(s.dc, 5, 5, nullptr);
  EXPECT_TRUE(RestoreDC(s.dc, -1));
  EXPECT_EQ(GetTextColor(s.dc), RGB(1, 1, 1));
  POINT org;
  GetViewportOrgEx(s.dc, &org);
  EXPECT_EQ(org.x, 0);
  EXPECT_FALSE(RestoreDC(s.dc, 1));  // nothing saved any more
}

TEST_F(GdiMoreTest, ImageListBlendsThirtyTwoBitImages) {
  HIMAGELIST list = ImageList_Create(1, 1, ILC_COLOR32, 1, 1);
  Canvas c(1, 1, 0x80FF0000u);  // blue at half alpha
  HBITMAP bm = CreateBitmapFromCanvas(c);
  ASSERT_EQ(ImageList_Add(list, bm, 0), 0);
  Surface s(1, 1, RGB(255, 255, 255));
  ImageList_Draw(list, 0, s.dc, 0, 0, ILD_NORMAL);
  COLORREF got = s.Pixels().GetPixel(0, 0);
  EXPECT_EQ(GetBValue(got), 255);
  EXPECT_NEAR(GetRValue(got), 127, 1);
  ImageList_Destroy(list);
  DeleteObject(bm);
}

TEST_F(GdiMoreTest, WordBreakAndEllipsisKeepCharactersWhole) {
  Surface s(10, 10, 0);
  int line = FontLineHeight(0), wide = MeasureText(0, u"我");
  RECT rc{0, 0, 2 * wide + wide / 2, 0};
  // Wide characters break anywhere: the line holds two of them.
  EXPECT_EQ(DrawTextW(s.dc, u"我的好友们", -1, &rc, DT_CALCRECT | DT_WORDBREAK), 3 * line);
  EXPECT_EQ(rc.right, 2 * wide);
  // A word longer than the line runs on instead of being cut.
  rc = RECT{0, 0, MeasureText(0, u"abcd"), 0};
  EXPECT_EQ(DrawTextW(s.dc, u"abcdefgh ij", -1, &rc, DT_CALCRECT | DT_WORDBREAK), 2 * line);
  EXPECT_EQ(rc.right, MeasureText(0, u"abcdefgh"));
  // The ellipsis never splits a surrogate pair.
  std::u16string text = u"ab\U0001F600cd";
  std::u16string cut = EllipsizeText(text, MeasureText(0, u"ab...") + 1);
  EXPECT_EQ(cut, u"ab...");
  EXPECT_EQ(DrawTextW(s.dc, u"", -1, &rc, DT_CALCRECT), 0);
  EXPECT_EQ(DrawTextW(0xBAD, u"x", -1, &rc, 0), 0);
}

TEST_F(GdiMoreTest, GetObjectDescribesEachKind) {
  HPEN pen = CreatePen(PS_DOT, 3, RGB(1, 2, 3));
  LOGPEN lp;
  EXPECT_EQ(GetObjectW(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnWidth.x, 3);
  EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
  EXPECT_EQ(GetObjectW(pen, 2, &lp), 0);  // buffer too small
  EXPECT_EQ(GetObjectW(pen, 0, nullptr), static_cast<int>(sizeof lp));
  LOGFONTW lf;
  lf.lfHeight = -12;
  lf.lfWeight = FW_BOLD;
  HFONT font = CreateFontIndirectW(&lf);
  LOGFONTW back;
  GetObjectW(font, sizeof back, &back);
  EXPECT_EQ(back.lfWeight, FW_BOLD);
  EXPECT_EQ(GetObjectType(font), OBJ_FONT);
  HDC dc = CreateCompatibleDC(0);
  EXPECT_EQ(GetObjectType(dc), OBJ_MEMDC);
  EXPECT_NE(SelectObject(dc, font), 0u);
  // The weight counts in the measure.
  SIZE size;
  GetTextExtentPoint32W(dc, u"abc", 3, &size);
  EXPECT_EQ(size.cx, MeasureText(font, u"abc"));
  EXPECT_GT(size.cx, MeasureText(0, u"abc"));
  DeleteDC(dc);
  for (HGDIOBJ o : {pen, font}) EXPECT_TRUE(DeleteObject(o));
  EXPECT_FALSE(DeleteObject(pen));
}

}  // namespace
