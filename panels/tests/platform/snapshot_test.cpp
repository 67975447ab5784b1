// Snapshots of windows and pictures of menus and message boxes.
#include "platform/snapshot.h"
#include "platform/bitmap.h"
#include "platform/file.h"
#include "platform/gdi.h"
#include "platform/imagelist.h"
#include "platform/modal_picture.h"
#include "temp_dir.h"
#include "ui_test_support.h"

#include <cstdlib>

using namespace uitest;

namespace {

class SnapshotTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    WNDCLASSW wc;
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = u"SnapshotPainter";
    RegisterClassW(&wc);
    // Pictures of failed tests can be looked at.
    if (const char* dir = std::getenv("SNAPSHOT_TEST_DIR")) keep_ = dir;
  }
  // Fills its client area with the colour kept in its user data.
  static LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_PAINT) {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      HBRUSH b = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(h, GWLP_USERDATA)));
      RECT rc;
      GetClientRect(h, &rc);
      FillRect(dc, &rc, b);
      DeleteObject(b);
      EndPaint(h, &ps);
      return 0;
    }
    return DefWindowProcW(h, m, w, l);
  }
  HWND Painted(HWND parent, RECT rc, COLORREF colour, DWORD style = WS_CHILD | WS_VISIBLE) {
    HWND h = CreateWindowExW(0, u"SnapshotPainter", u"", style, rc.left, rc.top, rc.right - rc.left,
                             rc.bottom - rc.top, parent, 0, nullptr, nullptr);
    SetWindowLongPtrW(h, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
    InvalidateRect(h, nullptr, TRUE);
    return h;
  }
  void Keep(const Canvas& picture, const std::string& name) {
    if (!keep_.empty()) picture.WritePng(keep_ + "/" + name + ".png");
  }
  // Pixels of exactly this colour in the picture.
  static int Pixels(const Canvas& c, COLORREF colour) {
    return c.CountColour(RECT{0, 0, c.Width(), c.Height()}, colour);
  }
  std::string keep_;
};

PopupMenuView SampleMenu() {
  PopupMenuView menu;
  MenuItemView online;
  online.id = 32010;
  online.text = u"在线";
  online.checked = true;
  MenuItemView busy;
  busy.id = 32147;
  busy.text = u"忙碌";
  MenuItemView sep;
  sep.separator = true;
  MenuItemView greyed;
  greyed.id = 4042;
  greyed.text = u"个人资料";
  greyed.enabled = false;
  MenuItemView reply;
  reply.text = u"自动回复";
  reply.flags = MF_POPUP;
  MenuItemView first;
  first.id = 7801;
  first.text = u"我正在开会，稍后回复";
  MenuItemView second;
  second.id = 7802;
  second.text = u"外出午餐";
  reply.submenu = {first, second};
  menu.items = {online, busy, sep, greyed, reply};
  return menu;
}

constexpr COLORREF kHilite = RGB(226, 236, 252);
constexpr COLORREF kAccent = RGB(47, 111, 235);

TEST_F(SnapshotTest, WindowSnapshotPaintsWhatIsPendingAndComposesVisibleChildren) {
  HWND top = Painted(0, RECT{100, 100, 160, 140}, RGB(250, 250, 250), WS_POPUP | WS_VISIBLE);
  Painted(top, RECT{10, 10, 30, 30}, RGB(0, 160, 0));
  HWND hidden = Painted(top, RECT{40, 10, 50, 20}, RGB(200, 0, 0), WS_CHILD);
  // No message loop ran: the snapshot paints first.
  Canvas picture = SnapshotWindow(top);
  Keep(picture, "window");
  ASSERT_EQ(picture.Width(), 60);
  ASSERT_EQ(picture.Height(), 40);
  EXPECT_EQ(picture.GetPixel(5, 5), RGB(250, 250, 250));
  EXPECT_EQ(picture.GetPixel(10, 10), RGB(0, 160, 0));
  EXPECT_EQ(picture.GetPixel(29, 29), RGB(0, 160, 0));
  EXPECT_EQ(picture.GetPixel(30, 30), RGB(250, 250, 250));
  EXPECT_EQ(Pixels(picture, RGB(200, 0, 0)), 0);
  ShowWindow(hidden, SW_SHOW);
  EXPECT_EQ(Pixels(SnapshotWindow(top), RGB(200, 0, 0)), 100);
  // A child's own snapshot is its picture alone.
  EXPECT_EQ(SnapshotWindow(hidden).Width(), 10);
}

TEST_F(SnapshotTest, WrittenSnapshotDecodesToTheSamePixels) {
  TempDir dir;
  HWND top = Painted(0, RECT{0, 0, 30, 20}, RGB(12, 34, 56), WS_POPUP | WS_VISIBLE);
  ASSERT_TRUE(WriteWindowSnapshot(top, dir.Path("main.png")));
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(dir.Path("main.png"), bytes));
  HBITMAP bm = CreateBitmapFromImageData(bytes.data(), bytes.size());
  ASSERT_NE(bm, 0u);
  auto canvas = GetBitmapCanvas(bm);
  EXPECT_EQ(canvas->Width(), 30);
  EXPECT_EQ(canvas->GetPixel(15, 10), RGB(12, 34, 56));
  EXPECT_EQ(canvas->GetAlpha(15, 10), 255);
  DeleteObject(bm);
  // No window, no file; an unwritable path fails and says so.
  DestroyWindow(top);
  EXPECT_FALSE(WriteWindowSnapshot(top, dir.Path("gone.png")));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("gone.png")));
  HWND again = Painted(0, RECT{0, 0, 5, 5}, RGB(1, 1, 1), WS_POPUP | WS_VISIBLE);
  EXPECT_FALSE(WriteWindowSnapshot(again, dir.Path("no/such/dir/x.png")));
}

TEST_F(SnapshotTest, MenuPictureHighlightsTheChoiceAndOpensItsSubmenu) {
  const PopupMenuView menu = SampleMenu();
  Canvas plain = RenderPopupMenu(menu);
  Keep(plain, "menu-plain");
  EXPECT_EQ(Pixels(plain, kHilite), 0);
  // The tick of the checked item is drawn in the accent colour, in the gutter.
  int tick = 0;
  for (int y = 0; y < plain.Height(); ++y)
    for (int x = 0; x < 40; ++x)
      if (plain.GetPixel(x, y) == kAccent) ++tick;
  EXPECT_GT(tick, 0);

  Canvas top = RenderPopupMenu(menu, 32147);
  EXPECT_GT(Pixels(top, kHilite), 0);
  EXPECT_EQ(top.Width(), plain.Width());

  // Choosing inside the submenu opens it beside its item: the picture widens
  // and both the submenu item and the item on the path are lit.
  Canvas deep = RenderPopupMenu(menu, 7802);
  Keep(deep, "menu-deep");
  EXPECT_GT(deep.Width(), plain.Width() + 60);
  EXPECT_GT(Pixels(deep, kHilite), 2 * Pixels(top, kHilite) - 10);
  // A longer label makes a wider menu.
  PopupMenuView longer = menu;
  longer.items[1].text = u"忙碌，请勿打扰，有事请留言，我会尽快回复";
  EXPECT_GT(RenderPopupMenu(longer).Width(), plain.Width());
}

TEST_F(SnapshotTest, MenuOverOwnerShowsTheOwnersWindowAndGrowsPastItsEdge) {
  HWND top = Painted(0, RECT{200, 100, 300, 200}, RGB(0, 120, 0), WS_POPUP | WS_VISIBLE);
  PopupMenuView menu = SampleMenu();
  menu.owner = top;
  menu.pt = POINT{260, 120};  // 60, 20 inside the window; the menu passes its right edge
  Canvas picture = RenderPopupMenuOverOwner(menu, 32010);
  Keep(picture, "menu-over");
  EXPECT_EQ(picture.GetPixel(5, 5), RGB(0, 120, 0));
  EXPECT_GT(picture.Width(), 100 + 100);
  // The menu's border starts at the point it opens.
  EXPECT_EQ(picture.GetPixel(60, 20), RGB(208, 214, 224));
  // Without an owner it is the menu alone.
  menu.owner = 0;
  EXPECT_EQ(RenderPopupMenuOverOwner(menu).Width(), RenderPopupMenu(menu).Width());
}

TEST_F(SnapshotTest, MessageBoxPictureMarksTheDefaultButton) {
  MessageBoxView box;
  box.caption = u"提示";
  box.text = u"确定要删除该分组吗？组内的好友将移到“未分组商友”。";
  box.type = MB_YESNO | MB_ICONQUESTION;
  box.defaultButton = IDNO;
  Canvas picture = RenderMessageBox(box);
  Keep(picture, "msgbox");
  EXPECT_GE(picture.Width(), 260);
  // One default button (filled with the accent) and the round icon.
  EXPECT_GT(Pixels(picture, kAccent), 76 * 20);
  box.type = MB_OK;
  box.defaultButton = IDCANCEL;  // not among the buttons: none is marked, no icon
  EXPECT_EQ(Pixels(RenderMessageBox(box), kAccent), 0);
}

// Icons drawn with an alpha channel keep what lies under their transparent
// pixels in a 32-bit list, unless a mask says otherwise.
TEST_F(SnapshotTest, AlphaIconsInA32BitMaskedListBlendOverTheBackground) {
  Canvas strip(2, 1, 0x00FF00FFu);   // a fully transparent magenta pixel
  strip.SetRgba(1, 0, 0xFF0000FFu);  // an opaque red one
  HBITMAP bm = CreateBitmapFromCanvas(strip);
  HIMAGELIST list = ImageList_Create(1, 1, ILC_COLOR32 | ILC_MASK, 2, 2);
  ASSERT_EQ(ImageList_Add(list, bm, 0), 0);
  Canvas white(1, 1, 0xFFFFFFFFu);
  HBITMAP target = CreateBitmapFromCanvas(white);
  HDC dc = CreateCompatibleDC(0);
  HGDIOBJ old = SelectObject(dc, target);
  ImageList_Draw(list, 0, dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(GetBitmapCanvas(target)->GetPixel(0, 0), RGB(255, 255, 255));
  ImageList_Draw(list, 1, dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(GetBitmapCanvas(target)->GetPixel(0, 0), RGB(255, 0, 0));
  // With a mask the mask decides: a black mask pixel is drawn, alpha or not.
  Canvas black(2, 1, 0xFF000000u);
  HBITMAP mask = CreateBitmapFromCanvas(black);
  ASSERT_EQ(ImageList_Add(list, bm, mask), 2);
  ImageList_Draw(list, 2, dc, 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(GetBitmapCanvas(target)->GetPixel(0, 0), RGB(255, 0, 255));
  SelectObject(dc, old);
  DeleteDC(dc);
  ImageList_Destroy(list);
  DeleteObject(bm);
  DeleteObject(mask);
  DeleteObject(target);
}

class Answering : public ModalDriver {
 public:
  UINT OnPopupMenu(const PopupMenuView&) override { return answer; }
  int OnMessageBox(const MessageBoxView&) override { return IDNO; }
  UINT answer = 0;
};

TEST_F(SnapshotTest, DriverWritesEachModalPictureAndKeepsTheInnerAnswers) {
  TempDir dir;
  Answering inner;
  inner.answer = 32147;
  SnapshotModalDriver driver(&inner, dir.Path("demo"));
  std::vector<std::string> told;
  driver.SetListener([&](const std::string& path) { told.push_back(path); });
  ModalDriver* previous = SetModalDriver(&driver);
  HWND owner = Painted(0, RECT{0, 0, 80, 60}, RGB(255, 255, 255), WS_POPUP | WS_VISIBLE);
  HMENU m = CreatePopupMenu();
  AppendMenuW(m, MF_STRING, 32010, u"在线");
  AppendMenuW(m, MF_STRING, 32147, u"忙碌");
  EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 32147);
  EXPECT_EQ(MessageBoxW(owner, u"还要继续吗？", u"提示", MB_YESNO), IDNO);
  SetModalDriver(previous);
  DestroyMenu(m);
  EXPECT_EQ(driver.Count(), 2);
  EXPECT_TRUE(driver.Ok());
  ASSERT_EQ(told.size(), 2u);
  EXPECT_EQ(told[0], dir.Path("demo-menu-1.png"));
  EXPECT_TRUE(std::filesystem::exists(dir.Path("demo-menu-1.png")));
  EXPECT_TRUE(std::filesystem::exists(dir.Path("demo-menu-2.png")));
}

TEST_F(SnapshotTest, DriverWithoutInnerKeepsTheDefaultsAndReportsAFailedWrite) {
  SnapshotModalDriver driver(nullptr, "/no/such/dir/demo");
  ModalDriver* previous = SetModalDriver(&driver);
  HWND owner = Painted(0, RECT{0, 0, 80, 60}, RGB(255, 255, 255), WS_POPUP | WS_VISIBLE);
  HMENU m = CreatePopupMenu();
  AppendMenuW(m, MF_STRING, 1, u"一");
  EXPECT_EQ(TrackPopupMenu(m, TPM_RETURNCMD, 0, 0, 0, owner, nullptr), 0);  // dismissed
  EXPECT_EQ(MessageBoxW(owner, u"好", u"", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
  SetModalDriver(previous);
  DestroyMenu(m);
  EXPECT_FALSE(driver.Ok());
}

}  // namespace
