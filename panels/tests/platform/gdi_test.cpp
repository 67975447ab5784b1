#include "ui_test_support.h"

using namespace uitest;

namespace {

class GdiTest : public UiTest {};

// A memory DC with a w x h bitmap, cleaned up at the end of the test.
struct MemoryCanvas {
  MemoryCanvas(int w, int h) {
    dc = CreateCompatibleDC(0);
    bitmap = CreateCompatibleBitmap(dc, w, h);
    old = SelectObject(dc, bitmap);
  }
  ~MemoryCanvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  COLORREF At(int x, int y) const { return GetBitmapCanvas(bitmap)->GetPixel(x, y); }
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ old;
};

TEST_F(GdiTest, FillFrameAndRectangleFollowTheHalfOpenRule) {
  MemoryCanvas m(20, 20);
  RECT all{0, 0, 20, 20};
  FillRect(m.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  RECT rc{2, 2, 6, 6};
  FillRect(m.dc, &rc, red);
  EXPECT_EQ(m.At(2, 2), RGB(255, 0, 0));
  EXPECT_EQ(m.At(5, 5), RGB(255, 0, 0));
  EXPECT_EQ(m.At(6, 6), RGB(255, 255, 255));
  RECT frame{10, 10, 15, 15};
  FrameRect(m.dc, &frame, red);
  EXPECT_EQ(m.At(10, 12), RGB(255, 0, 0));
  EXPECT_EQ(m.At(14, 12), RGB(255, 0, 0));
  EXPECT_EQ(m.At(12, 12), RGB(255, 255, 255));

  HPEN blue = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
  HGDIOBJ oldPen = SelectObject(m.dc, blue);
  HGDIOBJ oldBrush = SelectObject(m.dc, red);
  Rectangle(m.dc, 0, 10, 5, 15);
  EXPECT_EQ(m.At(0, 10), RGB(0, 0, 255));
  EXPECT_EQ(m.At(4, 14), RGB(0, 0, 255));
  EXPECT_EQ(m.At(2, 12), RGB(255, 0, 0));
  EXPECT_EQ(m.At(5, 12), RGB(255, 255, 255));
  EXPECT_EQ(SelectObject(m.dc, oldPen), blue);
  EXPECT_EQ(SelectObject(m.dc, oldBrush), red);
  DeleteObject(blue);
  DeleteObject(red);
  EXPECT_EQ(FillRect(m.dc, &rc, red), 0);                  // deleted brush
  EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));  // stock objects stay
  EXPECT_NE(GetObjectType(GetStockObject(WHITE_BRUSH)), 0u);
}

TEST_F(GdiTest, LinesLeaveOutTheirEndPoint) {
  MemoryCanvas m(10, 10);
  HPEN white = static_cast<HPEN>(GetStockObject(WHITE_PEN));
  SelectObject(m.dc, white);
  MoveToEx(m.dc, 1, 1, nullptr);
  LineTo(m.dc, 5, 1);
  EXPECT_EQ(m.At(1, 1), RGB(255, 255, 255));
  EXPECT_EQ(m.At(4, 1), RGB(255, 255, 255));
  EXPECT_EQ(m.At(5, 1), RGB(0, 0, 0));
  LineTo(m.dc, 5, 5);
  EXPECT_EQ(m.At(5, 1), RGB(255, 255, 255));
  EXPECT_EQ(m.At(5, 4), RGB(255, 255, 255));
  EXPECT_EQ(m.At(5, 5), RGB(0, 0, 0));
}

TEST_F(GdiTest, RoundRectKeepsItsCornersOut) {
  MemoryCanvas m(30, 30);
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  SelectObject(m.dc, green);
  SelectObject(m.dc, GetStockObject(NULL_PEN));
  RoundRect(m.dc, 0, 0, 30, 30, 12, 12);
  EXPECT_EQ(m.At(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(m.At(15, 0), RGB(0, 255, 0));
  EXPECT_EQ(m.At(15, 15), RGB(0, 255, 0));
  EXPECT_EQ(m.At(29, 29), RGB(0, 0, 0));
  SelectObject(m.dc, GetStockObject(WHITE_BRUSH));
  DeleteObject(green);
}

TEST_F(GdiTest, BlitsCopyStretchAndSkipTheTransparentColour) {
  MemoryCanvas src(4, 4);
  MemoryCanvas dst(8, 8);
  auto s = GetBitmapCanvas(src.bitmap);
  s->Fill(RECT{0, 0, 4, 4}, RGB(255, 0, 255));  // magenta = transparent
  s->Fill(RECT{1, 1, 3, 3}, RGB(10, 20, 30));
  GetBitmapCanvas(dst.bitmap)->Fill(RECT{0, 0, 8, 8}, RGB(255, 255, 255));

  BitBlt(dst.dc, 0, 0, 4, 4, src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.At(0, 0), RGB(255, 0, 255));
  EXPECT_EQ(dst.At(1, 1), RGB(10, 20, 30));
  EXPECT_EQ(dst.At(4, 4), RGB(255, 255, 255));

  GetBitmapCanvas(dst.bitmap)->Fill(RECT{0, 0, 8, 8}, RGB(255, 255, 255));
  TransparentBlt(dst.dc, 0, 0, 8, 8, src.dc, 0, 0, 4, 4, RGB(255, 0, 255));
  EXPECT_EQ(dst.At(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(dst.At(2, 2), RGB(10, 20, 30));
  EXPECT_EQ(dst.At(5, 5), RGB(10, 20, 30));
  EXPECT_EQ(dst.At(7, 7), RGB(255, 255, 255));

  StretchBlt(dst.dc, 0, 0, 8, 8, src.dc, 0, 0, 4, 4, SRCCOPY);
  EXPECT_EQ(dst.At(1, 1), RGB(255, 0, 255));
  EXPECT_EQ(dst.At(2, 2), RGB(10, 20, 30));
  EXPECT_EQ(dst.At(5, 5), RGB(10, 20, 30));
  EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 1, 1, 0xBAD, 0, 0, SRCCOPY));
}

TEST_F(GdiTest, WindowPaintingShowsInTheWindowsPicture) {
  struct Painter {
    static LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
      if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        HBRUSH b = CreateSolidBrush(RGB(0, 0, 139));
        RECT rc{0, 0, 10, 10};
        FillRect(dc, &rc, b);
        DeleteObject(b);
        EndPaint(h, &ps);
        return 0;
      }
      return DefWindowProcW(h, m, w, l);
    }
  };
  WNDCLASSW wc;
  wc.lpfnWndProc = Painter::Proc;
  wc.lpszClassName = u"PainterWindow";
  RegisterClassW(&wc);
  HWND top = Top(RECT{0, 0, 40, 40});
  HWND child = CreateWindowExW(0, u"PainterWindow", u"", WS_CHILD | WS_VISIBLE, 20, 20, 10, 10, top,
                               0, nullptr, nullptr);
  PumpMessages();
  Canvas picture = RenderWindow(top);
  EXPECT_EQ(picture.GetPixel(5, 5), GetSysColor(COLOR_WINDOW));  // the class background
  EXPECT_EQ(picture.GetPixel(25, 25), RGB(0, 0, 139));
  // Drawing through GetDC goes to the window's canvas at once.
  HDC dc = GetDC(child);
  SetPixel(dc, 0, 0, RGB(1, 2, 3));
  ReleaseDC(child, dc);
  EXPECT_EQ(RenderWindow(top).GetPixel(20, 20), RGB(1, 2, 3));
  // A window region clips what the composed picture shows.
  SetWindowRgn(child, CreateRectRgn(5, 5, 10, 10), FALSE);
  EXPECT_EQ(RenderWindow(top).GetPixel(20, 20), GetSysColor(COLOR_WINDOW));
}

TEST_F(GdiTest, ViewportOriginAndClipping) {
  MemoryCanvas m(10, 10);
  SetViewportOrgEx(m.dc, 3, 3, nullptr);
  SetPixel(m.dc, 0, 0, RGB(255, 0, 0));
  EXPECT_EQ(m.At(3, 3), RGB(255, 0, 0));
  IntersectClipRect(m.dc, 0, 0, 2, 2);
  RECT rc{0, 0, 10, 10};
  FillRect(m.dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(m.At(4, 4), RGB(255, 255, 255));
  EXPECT_EQ(m.At(5, 5), RGB(0, 0, 0));
}

TEST_F(GdiTest, RegionsCombineAndTestPoints) {
  HRGN a = CreateRectRgn(0, 0, 10, 10);
  HRGN b = CreateRectRgn(5, 5, 15, 15);
  HRGN c = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(c, a, b, RGN_DIFF), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(c, 2, 2));
  EXPECT_FALSE(PtInRegion(c, 7, 7));
  EXPECT_EQ(CombineRgn(c, a, b, RGN_AND), COMPLEXREGION);
  EXPECT_TRUE(PtInRegion(c, 7, 7));
  EXPECT_FALSE(PtInRegion(c, 12, 12));
  EXPECT_EQ(CombineRgn(c, a, b, RGN_XOR), COMPLEXREGION);
  EXPECT_FALSE(PtInRegion(c, 7, 7));
  EXPECT_TRUE(PtInRegion(c, 12, 12));
  EXPECT_FALSE(PtInRegion(a, 10, 5));  // right edge is outside
  OffsetRgn(a, 100, 0);
  RECT box;
  GetRgnBox(a, &box);
  EXPECT_EQ(box.left, 100);
  POINT tri[] = {{0, 0}, {20, 0}, {0, 20}};
  HRGN t = CreatePolygonRgn(tri, 3, ALTERNATE);
  EXPECT_TRUE(PtInRegion(t, 2, 2));
  EXPECT_FALSE(PtInRegion(t, 15, 15));
  HRGN r = CreateRoundRectRgn(0, 0, 20, 20, 10, 10);
  EXPECT_FALSE(PtInRegion(r, 0, 0));
  EXPECT_TRUE(PtInRegion(r, 10, 0));
  EXPECT_EQ(CombineRgn(c, a, 0xBAD, RGN_OR), ERROR);
  for (HRGN h : {a, b, c, t, r}) EXPECT_TRUE(DeleteObject(h));
  EXPECT_FALSE(PtInRegion(a, 100, 0));
}

}  // namespace
