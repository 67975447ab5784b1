#include "ui_test_support.h"

#include "platform/framework.h"

using namespace uitest;

namespace {

class FrameworkMoreTest : public UiTest {};

// Chains to the base handler: the window's own procedure still runs.
class ChainedEdit : public CEdit {
 public:
  int chars = 0;
  void OnChar(UINT ch, UINT repeat, UINT flags) override {
    ++chars;
    if (ch != u'x') CEdit::OnChar(ch, repeat, flags);  // swallow x
  }
};

TEST_F(FrameworkMoreTest, ChainingToTheBaseHandlerReachesTheControl) {
  HWND top = Top(RECT{0, 0, 200, 100});
  ChainedEdit edit;
  ASSERT_TRUE(
      edit.Create(WS_VISIBLE | WS_BORDER, CRect(0, 0, 100, 20), CWnd::FromHandle(top), 1500));
  edit.SetFocus();
  TypeText(u"axb");
  EXPECT_EQ(edit.chars, 3);
  EXPECT_EQ(edit.GetWindowText(), u"ab");
  edit.SetSel(0, -1);
  int a = -1, b = -1;
  edit.GetSel(a, b);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 2);
}

class DoubleClicks : public CWnd {
 public:
  int doubles = 0;
  CPoint last;
  void OnLButtonDblClk(UINT, CPoint pt) override {
    ++doubles;
    last = pt;
  }
};

TEST_F(FrameworkMoreTest, TheFrameworkClassTakesDoubleClicks) {
  HWND top = Top(RECT{0, 0, 200, 100});
  DoubleClicks w;
  ASSERT_TRUE(w.CreateEx(0, nullptr, u"", WS_CHILD | WS_VISIBLE, CRect(50, 20, 150, 80),
                         CWnd::FromHandle(top), 7));
  DoubleClickAt(top, POINT{60, 30});
  EXPECT_EQ(w.doubles, 1);
  EXPECT_EQ(w.last, CPoint(10, 10));
  // A registered class of one's own, through AfxRegisterWndClass, is shared.
  EXPECT_EQ(AfxRegisterWndClass(CS_DBLCLKS), AfxRegisterWndClass(CS_DBLCLKS));
  w.SetWindowPos(&CWnd::wndBottom, 0, 0, 10, 10, SWP_NOMOVE);
  CRect rc;
  w.GetClientRect(&rc);
  EXPECT_EQ(rc.Width(), 10);
  w.GetWindowRect(&rc);
  w.GetParent()->ScreenToClient(&rc);
  EXPECT_EQ(rc.TopLeft(), CPoint(50, 20));
}

class Painter : public CWnd {
 public:
  BOOL OnEraseBkgnd(CDC* dc) override {
    CRect rc;
    GetClientRect(&rc);
    CBrush brush(RGB(230, 230, 250));
    dc->FillRect(&rc, &brush);
    return TRUE;
  }
  void OnPaint() override {
    CPaintDC dc(this);
    CPen pen(PS_SOLID, 1, RGB(165, 42, 0));
    CPen* old = dc.SelectObject(&pen);
    dc.MoveTo(0, 5);
    dc.LineTo(20, 5);
    dc.SelectObject(old);
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap bm;
    bm.CreateCompatibleBitmap(&dc, 4, 4);
    CBitmap* oldBm = mem.SelectObject(&bm);
    mem.FillSolidRect(0, 0, 4, 4, RGB(0, 147, 0));
    dc.BitBlt(30, 0, 4, 4, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(oldBm);
  }
};

TEST_F(FrameworkMoreTest, PaintThroughTheDeviceContextClasses) {
  HWND top = Top(RECT{0, 0, 100, 100});
  Painter p;
  ASSERT_TRUE(p.Create(nullptr, u"", WS_VISIBLE, CRect(0, 0, 50, 20), CWnd::FromHandle(top), 1));
  PumpMessages();
  Canvas picture = RenderWindow(p.m_hWnd);
  EXPECT_EQ(picture.GetPixel(10, 10), RGB(230, 230, 250));
  EXPECT_EQ(picture.GetPixel(10, 5), RGB(165, 42, 0));
  EXPECT_EQ(picture.GetPixel(20, 5), RGB(230, 230, 250));
  EXPECT_EQ(picture.GetPixel(31, 1), RGB(0, 147, 0));
  // Nothing is left invalid: pumping paints nothing more.
  EXPECT_EQ(PumpMessages(), 0u);
  p.Invalidate();
  EXPECT_EQ(PumpMessages(), 1u);
}

TEST_F(FrameworkMoreTest, TemporaryWrappersFollowTheirWindows) {
  HWND top = Top(RECT{0, 0, 100, 100});
  CWnd* wrapper = CWnd::FromHandle(top);
  ASSERT_NE(wrapper, nullptr);
  EXPECT_EQ(wrapper, CWnd::FromHandle(top));
  EXPECT_EQ(CWnd::FromHandlePermanent(top), nullptr);
  EXPECT_EQ(CWnd::FromHandle(0), nullptr);
  EXPECT_EQ(wrapper->GetWindowText(), u"top");
  CWnd attached;
  EXPECT_TRUE(attached.Attach(top));
  EXPECT_EQ(CWnd::FromHandle(top), &attached);
  EXPECT_EQ(attached.Detach(), top);
  EXPECT_TRUE(IsWindow(top));  // detaching leaves the window alone
}

}  // namespace
