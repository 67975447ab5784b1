#include "ui_test_support.h"

#include <functional>

using namespace uitest;

namespace {

struct ScriptedDriver : ModalDriver {
  std::vector<MessageBoxView> boxes;
  int boxAnswer = 0;
  std::function<void(const DialogView&)> dialog;
  std::optional<COLORREF> colour;
  ChooseColorView colourView;
  bool ownerEnabledDuringBox = true;
  int OnMessageBox(const MessageBoxView& box) override {
    boxes.push_back(box);
    ownerEnabledDuringBox = IsWindowEnabled(box.owner) != FALSE;
    return boxAnswer ? boxAnswer : box.defaultButton;
  }
  void OnDialog(const DialogView& view) override {
    if (dialog) dialog(view);
  }
  std::optional<COLORREF> OnChooseColor(const ChooseColorView& view) override {
    colourView = view;
    return colour;
  }
};

class ModalTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    SetModalDriver(&driver);
  }
  ScriptedDriver driver;
};

TEST_F(ModalTest, MessageBoxIsAnsweredByTheDriver) {
  HWND owner = Top(RECT{0, 0, 100, 100});
  driver.boxAnswer = IDNO;
  EXPECT_EQ(MessageBoxW(owner, u"确定删除吗?", u"提示", MB_YESNO | MB_ICONQUESTION), IDNO);
  ASSERT_EQ(driver.boxes.size(), 1u);
  EXPECT_EQ(driver.boxes[0].text, u"确定删除吗?");
  EXPECT_EQ(driver.boxes[0].caption, u"提示");
  EXPECT_EQ(driver.boxes[0].defaultButton, IDYES);
  EXPECT_FALSE(driver.ownerEnabledDuringBox);
  EXPECT_TRUE(IsWindowEnabled(owner));
  // An answer that is not one of the box's buttons gives the default button.
  driver.boxAnswer = IDRETRY;
  EXPECT_EQ(MessageBoxW(owner, u"x", u"y", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
}

TEST_F(ModalTest, WithoutADriverDefaultsApply) {
  SetModalDriver(nullptr);
  EXPECT_EQ(MessageBoxW(0, u"x", nullptr, MB_OK), IDOK);
  EXPECT_EQ(MessageBoxW(0, u"x", nullptr, MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
  CHOOSECOLORW cc;
  cc.rgbResult = RGB(1, 2, 3);
  EXPECT_FALSE(ChooseColorW(&cc));
  EXPECT_EQ(cc.rgbResult, RGB(1, 2, 3));
}

TEST_F(ModalTest, ChooseColorReportsTheDriversColour) {
  CHOOSECOLORW cc;
  cc.rgbResult = RGB(0, 0, 139);
  cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
  driver.colour = RGB(10, 20, 30);
  EXPECT_TRUE(ChooseColorW(&cc));
  EXPECT_EQ(cc.rgbResult, RGB(10, 20, 30));
  EXPECT_EQ(driver.colourView.initial, RGB(0, 0, 139));
  driver.colour.reset();
  EXPECT_FALSE(ChooseColorW(&cc));
  EXPECT_EQ(cc.rgbResult, RGB(10, 20, 30));
}

DialogTemplate RemarkTemplate() {
  DialogTemplate t;
  t.caption = u"备注";
  t.rect = RECT{0, 0, 200, 100};
  t.items.push_back({u"Edit", u"", 1001, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, 0,
                     RECT{10, 10, 190, 30}});
  t.items.push_back(
      {u"Button", u"确定", IDOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, RECT{10, 60, 90, 85}});
  t.items.push_back({u"Button", u"取消", IDCANCEL, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0,
                     RECT{100, 60, 190, 85}});
  return t;
}

std::u16string g_remark;

INT_PTR RemarkProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      SendDlgItemMessageW(hdlg, 1001, EM_LIMITTEXT, 63, 0);
      SetDlgItemTextW(hdlg, 1001, reinterpret_cast<LPCWSTR>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        g_remark = GetWindowTextString(GetDlgItem(hdlg, 1001));
        EndDialog(hdlg, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(hdlg, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default: return FALSE;
  }
}

TEST_F(ModalTest, DialogDrivenThroughItsControls) {
  HWND owner = Top(RECT{100, 100, 400, 400});
  RegisterDialogTemplate(nullptr, 594, RemarkTemplate());
  HWND seenDialog = 0;
  driver.dialog = [&](const DialogView& view) {
    seenDialog = view.dialog;
    EXPECT_EQ(view.templateId, 594u);
    EXPECT_EQ(view.caption, u"备注");
    EXPECT_FALSE(IsWindowEnabled(owner));
    HWND edit = GetDlgItem(view.dialog, 1001);
    EXPECT_EQ(GetFocus(), edit);  // first tab stop
    EXPECT_EQ(GetWindowTextString(edit), u"旧备注");
    SendMessageW(edit, EM_SETSEL, 0, -1);
    TypeText(u"新备注");
    RECT rc;
    GetWindowRect(GetDlgItem(view.dialog, IDOK), &rc);
    POINT p{rc.left + 5, rc.top + 5};
    ScreenToClient(view.dialog, &p);
    ClickAt(view.dialog, p);
  };
  g_remark.clear();
  SetFocus(owner);
  INT_PTR r = DialogBoxParamW(nullptr, MAKEINTRESOURCEW(594), owner, RemarkProc,
                              reinterpret_cast<LPARAM>(u"旧备注"));
  EXPECT_EQ(r, IDOK);
  EXPECT_EQ(g_remark, u"新备注");
  EXPECT_FALSE(IsWindow(seenDialog));
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(GetFocus(), owner);
}

TEST_F(ModalTest, DialogLeftOpenIsCancelled) {
  driver.dialog = [](const DialogView&) {};
  DialogTemplate t = RemarkTemplate();
  g_remark = u"unchanged";
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, &t, 0, RemarkProc, reinterpret_cast<LPARAM>(u"")),
            IDCANCEL);
  EXPECT_EQ(g_remark, u"unchanged");
  EXPECT_EQ(DialogBoxParamW(nullptr, MAKEINTRESOURCEW(12345), 0, RemarkProc, 0), -1);
  // A template naming an unknown class cannot be created.
  t.items.push_back({u"NoSuchControl", u"", 9, WS_CHILD, 0, RECT{}});
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, &t, 0, RemarkProc, 0), -1);
}

}  // namespace
