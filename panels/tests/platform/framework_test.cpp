#include "ui_test_support.h"

#include "platform/drawtext.h"

#include "platform/framework.h"

#include <vector>

using namespace uitest;

namespace {

class FrameworkTest : public UiTest {};

// A panel-like window that handles messages through the virtual handlers.
class ClickPanel : public CWnd {
 public:
  std::vector<std::string> events;
  bool* deleted = nullptr;
  int OnCreate(LPCREATESTRUCTW cs) override {
    events.push_back("create");
    return CWnd::OnCreate(cs);
  }
  void PreSubclassWindow() override { events.push_back("presubclass"); }
  void OnLButtonDown(UINT, CPoint pt) override {
    events.push_back("down " + std::to_string(pt.x) + "," + std::to_string(pt.y));
    SetFocus();
  }
  void OnTimer(UINT_PTR id) override {
    events.push_back("timer " + std::to_string(id));
    KillTimer(id);
  }
  BOOL OnCommand(WPARAM wParam, LPARAM) override {
    events.push_back("command " + std::to_string(LOWORD(wParam)));
    return TRUE;
  }
  void OnPaint() override {
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, RGB(0, 128, 0));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(255, 255, 255));
    dc.DrawText(u"好友", &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  void PostNcDestroy() override { events.push_back("postncdestroy"); }
};

class SelfDeleting : public CWnd {
 public:
  explicit SelfDeleting(bool* flag) : flag_(flag) {}
  ~SelfDeleting() override { *flag_ = true; }
  void PostNcDestroy() override { delete this; }

 private:
  bool* flag_;
};

TEST_F(FrameworkTest, DerivedHandlersReceiveDecodedMessages) {
  HWND top = Top(RECT{0, 0, 200, 100});
  ClickPanel panel;
  ASSERT_TRUE(panel.Create(nullptr, u"panel", WS_VISIBLE, CRect(10, 10, 110, 60),
                           CWnd::FromHandle(top), 50));
  EXPECT_EQ(CWnd::FromHandle(panel.m_hWnd), &panel);
  EXPECT_EQ(panel.GetDlgCtrlID(), 50);
  ASSERT_GE(panel.events.size(), 2u);
  EXPECT_EQ(panel.events[0], "presubclass");
  EXPECT_EQ(panel.events[1], "create");
  ClickAt(top, POINT{15, 17});
  EXPECT_EQ(panel.events.back(), "down 5,7");
  EXPECT_EQ(CWnd::GetFocus(), &panel);
  panel.SetTimer(101, 20);
  AdvanceClock(100);
  EXPECT_EQ(std::count(panel.events.begin(), panel.events.end(), "timer 101"), 1);
  panel.PostMessage(WM_COMMAND, 4836);
  PumpMessages();
  EXPECT_EQ(panel.events.back(), "command 4836");
  Canvas picture = RenderWindow(top);
  EXPECT_EQ(picture.GetPixel(12, 12), RGB(0, 128, 0));
  // The caption is drawn centred: ink only inside its measured box.
  int width = MeasureText(0, u"好友"), line = FontLineHeight(0);
  RECT box{10 + (100 - width) / 2, 10 + (50 - line) / 2, 0, 0};
  box.right = box.left + width;
  box.bottom = box.top + line;
  int inside = 0, outside = 0;
  for (int y = 10; y < 60; ++y)
    for (int x = 10; x < 110; ++x)
      if (picture.GetPixel(x, y) != RGB(0, 128, 0))
        ++(PtInRect(&box, POINT{x, y}) ? inside : outside);
  EXPECT_GT(inside, 10);
  EXPECT_EQ(outside, 0);
  EXPECT_TRUE(panel.DestroyWindow());
  EXPECT_EQ(panel.events.back(), "postncdestroy");
  EXPECT_EQ(panel.m_hWnd, 0u);
}

TEST_F(FrameworkTest, SelfDeletingWindowsGoInPostNcDestroy) {
  HWND top = Top(RECT{0, 0, 100, 100});
  bool deleted = false;
  auto* w = new SelfDeleting(&deleted);
  ASSERT_TRUE(w->Create(nullptr, u"", WS_VISIBLE, CRect(0, 0, 10, 10), CWnd::FromHandle(top), 1));
  DestroyWindow(top);
  EXPECT_TRUE(deleted);
}

TEST_F(FrameworkTest, DestroyingTheObjectDestroysItsWindow) {
  HWND top = Top(RECT{0, 0, 100, 100});
  HWND child;
  {
    ClickPanel panel;
    panel.Create(nullptr, u"", WS_VISIBLE, CRect(0, 0, 10, 10), CWnd::FromHandle(top), 1);
    child = panel.m_hWnd;
    EXPECT_TRUE(IsWindow(child));
  }
  EXPECT_FALSE(IsWindow(child));
}

TEST_F(FrameworkTest, SubclassingAnExistingControlChainsToItsProcedure) {
  HWND top = Top(RECT{0, 0, 200, 100});
  HWND button = CreateWindowExW(0, u"Button", u"确定", WS_CHILD | WS_VISIBLE, 0, 0, 80, 25, top,
                                static_cast<HMENU>(IDOK), nullptr, nullptr);
  ClickPanel wrapper;
  ASSERT_TRUE(wrapper.SubclassWindow(button));
  EXPECT_FALSE(ClickPanel().SubclassWindow(button));  // one object per window
  Log().clear();
  ClickAt(top, POINT{10, 10});
  // The override saw the press; the button's own procedure did not (no chaining),
  // so no click was reported.
  EXPECT_EQ(wrapper.events.back(), "down 10,10");
  EXPECT_EQ(Count(top, WM_COMMAND), 0);
  // BM_CLICK is not overridden: it reaches the button, which reports the click.
  wrapper.SendMessage(BM_CLICK);
  EXPECT_EQ(Count(top, WM_COMMAND), 1);
  EXPECT_EQ(wrapper.GetWindowText(), u"确定");
  EXPECT_EQ(wrapper.UnsubclassWindow(), button);
  EXPECT_EQ(CWnd::FromHandlePermanent(button), nullptr);
}

TEST_F(FrameworkTest, DialogObjectRunsThroughTheDriver) {
  struct Driver : ModalDriver {
    void OnDialog(const DialogView& view) override {
      SetWindowTextW(GetDlgItem(view.dialog, 1001), u"改名");
      SendMessageW(GetDlgItem(view.dialog, IDOK), BM_CLICK, 0, 0);
    }
  } driver;
  SetModalDriver(&driver);
  class RenameDialog : public CDialog {
   public:
    using CDialog::CDialog;
    std::u16string text;
    bool inited = false;
    BOOL OnInitDialog() override {
      inited = true;
      GetDlgItem(1001)->SendMessage(EM_LIMITTEXT, 63);
      return CDialog::OnInitDialog();
    }
    void OnOK() override {
      text = GetDlgItem(1001)->GetWindowText();
      CDialog::OnOK();
    }
  };
  DialogTemplate t;
  t.caption = u"重命名";
  t.rect = RECT{0, 0, 200, 100};
  t.items.push_back(
      {u"Edit", u"", 1001, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, RECT{5, 5, 195, 25}});
  t.items.push_back({u"Button", u"确定", IDOK, WS_CHILD | WS_VISIBLE, 0, RECT{5, 50, 95, 75}});
  RenameDialog dlg(t);
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(dlg.inited);
  EXPECT_EQ(dlg.text, u"改名");
  EXPECT_EQ(dlg.m_hWnd, 0u);
}

TEST_F(FrameworkTest, MenuImageListAndGdiObjectsOwnTheirHandles) {
  HMENU h;
  {
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, 4820, u"发送消息");
    menu.AppendMenu(MF_SEPARATOR);
    h = menu.m_hMenu;
    EXPECT_EQ(menu.GetMenuItemCount(), 2);
    EXPECT_EQ(menu.GetMenuString(4820, MF_BYCOMMAND), u"发送消息");
  }
  EXPECT_FALSE(IsMenu(h));
  HIMAGELIST list;
  {
    CImageList images;
    images.Create(16, 16, ILC_COLOR32, 0, 4);
    list = images.m_hImageList;
    CBitmap bm;
    CClientDC screen(nullptr);
    bm.CreateCompatibleBitmap(&screen, 32, 16);
    EXPECT_EQ(images.Add(&bm, RGB(255, 0, 255)), 0);
    EXPECT_EQ(images.GetImageCount(), 2);
  }
  EXPECT_EQ(ImageList_GetImageCount(list), 0);
  HGDIOBJ brush;
  {
    CBrush b(RGB(1, 2, 3));
    brush = b.m_hObject;
    EXPECT_EQ(GetObjectType(brush), OBJ_BRUSH);
  }
  EXPECT_EQ(GetObjectType(brush), 0u);
}

TEST_F(FrameworkTest, GeometryClasses) {
  CRect rc(10, 20, 110, 70);
  EXPECT_EQ(rc.Width(), 100);
  EXPECT_EQ(rc.Height(), 50);
  EXPECT_EQ(rc.CenterPoint(), CPoint(60, 45));
  EXPECT_TRUE(rc.PtInRect(CPoint(10, 20)));
  EXPECT_FALSE(rc.PtInRect(CPoint(110, 20)));
  rc.DeflateRect(5, 5);
  EXPECT_EQ(rc, CRect(15, 25, 105, 65));
  CRect other(100, 60, 200, 200), both;
  EXPECT_TRUE(both.IntersectRect(&rc, &other));
  EXPECT_EQ(both, CRect(100, 60, 105, 65));
  EXPECT_EQ(CPoint(MAKELPARAM(static_cast<WORD>(-3), 4)), CPoint(-3, 4));
}

TEST_F(FrameworkTest, ApplicationObject) {
  EXPECT_EQ(AfxGetApp(), nullptr);
  {
    CWinApp app(u"List");
    app.m_hInstance = reinterpret_cast<HINSTANCE>(0x1000);
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(AfxGetResourceHandle(), app.m_hInstance);
    AfxSetResourceHandle(reinterpret_cast<HINSTANCE>(0x2000));
    EXPECT_EQ(AfxGetResourceHandle(), reinterpret_cast<HINSTANCE>(0x2000));
    AfxSetResourceHandle(nullptr);
    EXPECT_TRUE(app.InitInstance());
  }
  EXPECT_EQ(AfxGetApp(), nullptr);
}

}  // namespace
