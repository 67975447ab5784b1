// What a person sees: text inside its rectangle and as wide as measured,
// CJK and bold wider than their plain ASCII counterparts, the selected tree
// row in the selection colour, tinted images in the base colour's hue and
// an edit's prompt in the colour its parent asks for.
#include "ui_test_support.h"

#include "host/skinctl.h"
#include "host/treeui.h"
#include "platform/bitmap.h"
#include "platform/drawtext.h"

#include <cmath>

using namespace uitest;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(20, 20, 120);

// Columns and rows holding any pixel other than `background`.
RECT InkBox(const Canvas& c, COLORREF background, RECT area) {
  RECT box{area.right, area.bottom, area.left, area.top};
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (c.GetPixel(x, y) != background) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  return box;
}

// Pixels within `tolerance` of `colour` in every channel (antialiased
// strokes reach the full colour only where they cover a whole pixel).
int CountNear(const Canvas& c, RECT area, COLORREF colour, int tolerance) {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      COLORREF p = c.GetPixel(x, y);
      if (p != CLR_INVALID && std::abs(GetRValue(p) - GetRValue(colour)) <= tolerance &&
          std::abs(GetGValue(p) - GetGValue(colour)) <= tolerance &&
          std::abs(GetBValue(p) - GetBValue(colour)) <= tolerance)
        ++n;
    }
  return n;
}

class PictureTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    dc = CreateCompatibleDC(0);
    bitmap = CreateCompatibleBitmap(dc, 240, 60);
    SelectObject(dc, bitmap);
    Clear();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kInk);
  }
  void TearDown() override {
    DeleteDC(dc);
    DeleteObject(bitmap);
    UiTest::TearDown();
  }
  void Clear() { Pixels().Fill(RECT{0, 0, 240, 60}, kWhite); }
  Canvas& Pixels() { return *GetBitmapCanvas(bitmap); }
  RECT All() { return RECT{0, 0, 240, 60}; }
  // Draws at (0, 0) in the font and returns the ink's box.
  RECT DrawnExtent(HFONT font, std::u16string_view text) {
    Clear();
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    TextOutW(dc, 0, 0, text.data(), static_cast<int>(text.size()));
    SelectObject(dc, old);
    return InkBox(Pixels(), kWhite, All());
  }
  static HFONT Font(int height, LONG weight = FW_NORMAL, BYTE underline = 0) {
    LOGFONTW lf;
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfUnderline = underline;
    return CreateFontIndirectW(&lf);
  }

  HDC dc = 0;
  HBITMAP bitmap = 0;
};

TEST_F(PictureTest, TextInkStaysInsideItsRectangle) {
  std::u16string text = u"好友 Friends";
  RECT rc{20, 10, 200, 50};
  DrawTextW(dc, text.c_str(), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  int width = MeasureText(0, text), line = FontLineHeight(0);
  int left = 20 + (180 - width) / 2, top = 10 + (40 - line) / 2;
  RECT ink = InkBox(Pixels(), kWhite, All());
  EXPECT_GE(ink.left, left);
  EXPECT_LE(ink.right, left + width);
  EXPECT_GE(ink.top, top);
  EXPECT_LE(ink.bottom, top + line);
  // The first and last characters are there: ink reaches into both ends.
  EXPECT_LT(ink.left, left + MeasureText(0, u"好"));
  EXPECT_GT(ink.right, left + width - MeasureText(0, u"s"));
  EXPECT_GT(CountNear(Pixels(), ink, kInk, 40), 20);  // dark strokes, not just a haze
}

TEST_F(PictureTest, ChineseIsWiderThanAsciiAndDrawnAsMeasured) {
  for (HFONT font : {HFONT(0), Font(-16), Font(20)}) {
    std::u16string chinese = u"好友列表", ascii = u"abcd";
    int wide = MeasureText(font, chinese), narrow = MeasureText(font, ascii);
    EXPECT_GT(wide, narrow);
    for (const std::u16string& text : {chinese, ascii}) {
      int width = MeasureText(font, text);
      RECT ink = DrawnExtent(font, text);
      EXPECT_GE(ink.left, 0);
      EXPECT_LE(ink.right, width + 1) << "ink past the measured width";
      EXPECT_GT(ink.right, width - MeasureText(font, text.substr(3)));
    }
    if (font) DeleteObject(font);
  }
  // The height chooses the size: twice the height, twice the ideograph.
  HFONT small = Font(-12), large = Font(-24);
  EXPECT_NEAR(MeasureText(large, u"好"), 2 * MeasureText(small, u"好"), 1);
  EXPECT_GT(FontLineHeight(large), FontLineHeight(small));
  DeleteObject(small);
  DeleteObject(large);
}

TEST_F(PictureTest, BoldIsWiderThanNormal) {
  HFONT normal = Font(-14), bold = Font(-14, FW_BOLD);
  for (std::u16string text : {u"abcdef", u"好友列表"}) {
    EXPECT_GT(MeasureText(bold, text), MeasureText(normal, text));
    RECT thin = DrawnExtent(normal, text), thick = DrawnExtent(bold, text);
    EXPECT_GT(thick.right - thick.left, thin.right - thin.left);
    EXPECT_GT(CountNear(Pixels(), All(), kInk, 60), 0);
  }
  // Underline: one full row of ink under the text.
  HFONT underlined = Font(-14, FW_NORMAL, 1);
  int width = MeasureText(underlined, u"ab");
  DrawnExtent(underlined, u"ab");
  int full = 0;
  for (int y = 0; y < 40; ++y)
    if (Pixels().CountColour(RECT{0, y, width, y + 1}, kInk) == width) ++full;
  EXPECT_GE(full, 1);
  for (HFONT f : {normal, bold, underlined}) DeleteObject(f);
}

TEST_F(PictureTest, TheSelectedTreeRowHasTheSelectionColour) {
  CWnd host;
  ASSERT_TRUE(
      host.CreateEx(0, nullptr, u"host", WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 100}, nullptr, 0));
  CYRFriendTree tree;  // Init gives it its default image list and rows
  ASSERT_TRUE(tree.Create(WS_VISIBLE | WS_CHILD, RECT{0, 0, 200, 100}, &host, 100));
  tree.Init();
  HTREEITEM a = tree.InsertItem(u"张三");
  HTREEITEM b = tree.InsertItem(u"李四 (离开)");
  tree.SelectItem(b);
  tree.UpdateWindow();
  Canvas picture = RenderWindow(host.m_hWnd);
  RECT rowA{}, rowB{}, textB{};
  ASSERT_TRUE(tree.GetItemRect(a, &rowA, FALSE));
  ASSERT_TRUE(tree.GetItemRect(b, &rowB, FALSE));
  ASSERT_TRUE(tree.GetItemRect(b, &textB, TRUE));
  const COLORREF selection = RGB(205, 225, 245);
  EXPECT_EQ(picture.GetPixel(rowB.right - 3, rowB.top + 1), selection);
  EXPECT_NE(picture.GetPixel(rowA.right - 3, rowA.top + 1), selection);
  // The selected item's text is drawn inside its text rectangle, over the selection.
  RECT ink = InkBox(picture, selection, RECT{textB.left, rowB.top, rowB.right, rowB.bottom});
  EXPECT_GE(ink.left, textB.left);
  EXPECT_LE(ink.right, textB.right + 1);
  EXPECT_GT(ink.right, textB.right - MeasureText(0, u")") - 1);
  tree.DestroyWindow();
  host.DestroyWindow();
}

TEST_F(PictureTest, ATintedImageTakesTheBaseColoursHue) {
  Canvas c(3, 1);
  c.SetPixel(0, 0, RGB(128, 128, 128));
  c.SetPixel(1, 0, RGB(200, 180, 160));
  c.SetRgba(2, 0, 0x00FFFFFFu);  // transparent
  HBITMAP image = CreateBitmapFromCanvas(c);
  const COLORREF base = RGB(40, 160, 60);
  ASSERT_TRUE(CColorConverter::ConvertBitmap(image, base));
  double baseHue, baseSat, baseLight;
  CColorConverter::RGBtoHSL(base, baseHue, baseSat, baseLight);
  // Drawn over white: the opaque pixels carry the base hue and keep their lightness.
  Clear();
  HDC mem = CreateCompatibleDC(dc);
  SelectObject(mem, image);
  BLENDFUNCTION blend;
  blend.AlphaFormat = AC_SRC_ALPHA;
  AlphaBlend(dc, 0, 0, 3, 1, mem, 0, 0, 3, 1, blend);
  for (int x = 0; x < 2; ++x) {
    double h, s, l, h0, s0, l0;
    CColorConverter::RGBtoHSL(Pixels().GetPixel(x, 0), h, s, l);
    CColorConverter::RGBtoHSL(c.GetPixel(x, 0), h0, s0, l0);
    EXPECT_NEAR(h, baseHue, 3.0) << x;
    EXPECT_NEAR(l, l0, 0.02) << x;
  }
  EXPECT_EQ(Pixels().GetPixel(2, 0), kWhite);
  DeleteDC(mem);
  DeleteObject(image);
}

LRESULT PromptParent(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CTLCOLOREDIT) {
    SetTextColor(static_cast<HDC>(wParam), RGB(150, 150, 150));
    return static_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST_F(PictureTest, AnEditsPromptIsDrawnInItsParentsColour) {
  WNDCLASSW wc;
  wc.lpfnWndProc = PromptParent;
  wc.lpszClassName = u"PromptParent";
  ASSERT_NE(RegisterClassW(&wc), 0);
  HWND parent = CreateWindowExW(0, u"PromptParent", u"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 40, 0, 0,
                                nullptr, nullptr);
  HWND plain = Top(RECT{0, 50, 200, 90});
  auto edit = [](HWND owner) {
    HWND e = CreateWindowExW(0, u"Edit", u"输入联系人", WS_CHILD | WS_VISIBLE, 0, 0, 150, 24, owner,
                             static_cast<HMENU>(7), nullptr, nullptr);
    UpdateWindow(e);
    return e;
  };
  HWND prompt = edit(parent), normal = edit(plain);
  Canvas greyPicture = RenderWindow(prompt), blackPicture = RenderWindow(normal);
  RECT all{0, 0, 150, 24};
  // Grey strokes and nothing darker than grey; the plain edit's strokes are black.
  EXPECT_GT(CountNear(greyPicture, all, RGB(150, 150, 150), 25), 10);
  EXPECT_EQ(CountNear(greyPicture, all, RGB(0, 0, 0), 120), 0);
  EXPECT_GT(CountNear(blackPicture, all, RGB(0, 0, 0), 60), 10);
  // The font given with WM_SETFONT is the one drawn.
  RECT thin = InkBox(greyPicture, kWhite, all);
  HFONT bold = Font(-16, FW_BOLD);
  SendMessageW(prompt, WM_SETFONT, bold, TRUE);
  UpdateWindow(prompt);
  RECT thick = InkBox(RenderWindow(prompt), kWhite, all);
  EXPECT_GT(thick.right - thick.left, thin.right - thin.left);
  DestroyWindow(parent);
  DeleteObject(bold);
}

}  // namespace
