#include "ui_test_support.h"

#include "platform/framework.h"

using namespace uitest;

namespace {

class ControlsTest : public UiTest {};

int Notices(HWND parent, int id, WORD code) {
  int n = 0;
  for (auto& r : Log())
    if (r.hwnd == parent && r.msg == WM_COMMAND && LOWORD(r.wParam) == id &&
        HIWORD(r.wParam) == code)
      ++n;
  return n;
}

TEST_F(ControlsTest, ButtonsReportClicksReleasedOverThem) {
  HWND top = Top(RECT{0, 0, 200, 100});
  HWND ok = CreateWindowExW(0, u"Button", u"确定", WS_CHILD | WS_VISIBLE, 10, 10, 80, 25, top,
                            static_cast<HMENU>(IDOK), nullptr, nullptr);
  Log().clear();
  EXPECT_EQ(ClickAt(top, POINT{20, 20}), ok);
  EXPECT_EQ(Notices(top, IDOK, BN_CLICKED), 1);
  EXPECT_EQ(GetFocus(), ok);
  // Pressed over the button, released elsewhere: no click (the button holds the capture).
  MouseDownAt(top, POINT{20, 20});
  EXPECT_EQ(GetCapture(), ok);
  MouseUpAt(top, POINT{150, 80});
  EXPECT_EQ(GetCapture(), 0u);
  EXPECT_EQ(Notices(top, IDOK, BN_CLICKED), 1);
  KeyPress(VK_SPACE);
  EXPECT_EQ(Notices(top, IDOK, BN_CLICKED), 2);
  // A disabled button is not reached.
  EnableWindow(ok, FALSE);
  ClickAt(top, POINT{20, 20});
  EXPECT_EQ(Notices(top, IDOK, BN_CLICKED), 2);
}

TEST_F(ControlsTest, CheckBoxesAndRadioButtons) {
  HWND top = Top(RECT{0, 0, 200, 100});
  HWND check =
      CreateWindowExW(0, u"Button", u"只查看在线好友", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0,
                      0, 150, 20, top, static_cast<HMENU>(10), nullptr, nullptr);
  EXPECT_EQ(IsDlgButtonChecked(top, 10), BST_UNCHECKED);
  ClickAt(top, POINT{5, 5});
  EXPECT_EQ(IsDlgButtonChecked(top, 10), BST_CHECKED);
  CheckDlgButton(top, 10, BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  HWND r1 = CreateWindowExW(0, u"Button", u"a", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 0, 30,
                            50, 20, top, static_cast<HMENU>(11), nullptr, nullptr);
  HWND r2 = CreateWindowExW(0, u"Button", u"b", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON, 60, 30,
                            50, 20, top, static_cast<HMENU>(12), nullptr, nullptr);
  SendMessageW(r1, BM_CLICK, 0, 0);
  SendMessageW(r2, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(r1, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(r2, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(ControlsTest, EditSelectionReplacementAndNumbers) {
  HWND top = Top(RECT{0, 0, 200, 100});
  HWND edit = CreateWindowExW(0, u"Edit", u"12345", WS_CHILD | WS_VISIBLE | ES_NUMBER, 0, 0, 100,
                              20, top, static_cast<HMENU>(20), nullptr, nullptr);
  SendMessageW(edit, EM_SETSEL, 1, 3);
  DWORD a = 0, b = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  EXPECT_EQ(a, 1u);
  EXPECT_EQ(b, 3u);
  Log().clear();
  SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u"9"));
  EXPECT_EQ(GetWindowTextString(edit), u"1945");
  EXPECT_EQ(Notices(top, 20, EN_CHANGE), 1);
  SetFocus(edit);
  TypeText(u"x7");  // letters are refused by ES_NUMBER
  EXPECT_EQ(GetWindowTextString(edit), u"19745");
  BOOL ok = FALSE;
  EXPECT_EQ(GetDlgItemInt(top, 20, &ok, FALSE), 19745u);
  EXPECT_TRUE(ok);
  SetDlgItemInt(top, 20, static_cast<UINT>(-12), TRUE);
  EXPECT_EQ(static_cast<int>(GetDlgItemInt(top, 20, &ok, TRUE)), -12);
  SetDlgItemTextW(top, 20, u"12a");
  EXPECT_EQ(GetDlgItemInt(top, 20, &ok, TRUE), 0u);
  EXPECT_FALSE(ok);
  // Setting the text reports a change too.
  EXPECT_GE(Notices(top, 20, EN_CHANGE), 3);
  SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
  TypeText(u"1");
  EXPECT_EQ(GetWindowTextString(edit), u"12a");
}

TEST_F(ControlsTest, StaticReportsClicksOnlyWithNotify) {
  HWND top = Top(RECT{0, 0, 200, 100});
  CreateWindowExW(0, u"Static", u"链接", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0, 0, 50, 20, top,
                  static_cast<HMENU>(30), nullptr, nullptr);
  CreateWindowExW(0, u"Static", u"标签", WS_CHILD | WS_VISIBLE, 60, 0, 50, 20, top,
                  static_cast<HMENU>(31), nullptr, nullptr);
  Log().clear();
  ClickAt(top, POINT{5, 5});
  ClickAt(top, POINT{65, 5});
  EXPECT_EQ(Notices(top, 30, STN_CLICKED), 1);
  EXPECT_EQ(Notices(top, 31, STN_CLICKED), 0);
}

TEST_F(ControlsTest, ScrollBarsKeepThePositionInRange) {
  HWND w = Top(RECT{0, 0, 100, 100}, WS_POPUP | WS_VISIBLE | WS_VSCROLL);
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = 99;
  si.nPage = 10;
  si.nPos = 200;
  EXPECT_EQ(SetScrollInfo(w, SB_VERT, &si, TRUE), 90);
  EXPECT_EQ(SetScrollPos(w, SB_VERT, -5, TRUE), 90);
  EXPECT_EQ(GetScrollPos(w, SB_VERT), 0);
  Log().clear();
  EXPECT_TRUE(ScrollBy(w, SB_VERT, SB_THUMBTRACK, 42));
  ASSERT_EQ(Count(w, WM_VSCROLL), 2);
  EXPECT_EQ(LOWORD(Log()[0].wParam), SB_THUMBTRACK);
  EXPECT_EQ(HIWORD(Log()[0].wParam), 42);
  EXPECT_EQ(LOWORD(Log()[1].wParam), SB_ENDSCROLL);
  si.fMask = SIF_TRACKPOS;
  GetScrollInfo(w, SB_VERT, &si);
  EXPECT_EQ(si.nTrackPos, 42);
  EXPECT_FALSE(ScrollBy(0xBAD, SB_VERT, SB_LINEDOWN));
}

TEST_F(ControlsTest, ToolTipsAnswerForToolsAndRectangles) {
  HWND top = Top(RECT{0, 0, 200, 100});
  HWND box = Child(top, RECT{0, 0, 90, 30}, 1);
  CToolTipCtrl tip;
  ASSERT_TRUE(tip.Create(CWnd::FromHandle(top)));
  CRect first(0, 0, 27, 27), second(27, 0, 54, 27);
  tip.AddTool(CWnd::FromHandle(box), u"棕色", &first, 1);
  tip.AddTool(CWnd::FromHandle(box), u"橄榄绿色", &second, 2);
  tip.AddTool(CWnd::FromHandle(top), u"整个窗口");
  EXPECT_EQ(tip.GetToolCount(), 3);
  EXPECT_EQ(TooltipTextAt(tip.m_hWnd, box, POINT{5, 5}), u"棕色");
  EXPECT_EQ(TooltipTextAt(tip.m_hWnd, box, POINT{30, 5}), u"橄榄绿色");
  EXPECT_EQ(TooltipTextAt(tip.m_hWnd, box, POINT{80, 5}), u"");
  EXPECT_EQ(TooltipTextAt(tip.m_hWnd, top, POINT{150, 50}), u"整个窗口");
  tip.UpdateTipText(u"深蓝色", CWnd::FromHandle(box), 2);
  EXPECT_EQ(TooltipTextAt(tip.m_hWnd, box, POINT{30, 5}), u"深蓝色");
  tip.DelTool(CWnd::FromHandle(box), 1);
  EXPECT_EQ(TooltipTextAt(tip.m_hWnd, box, POINT{5, 5}), u"");
  tip.Activate(FALSE);
  EXPECT_EQ(TooltipTextAt(tip.m_hWnd, box, POINT{30, 5}), u"");
}

}  // namespace
