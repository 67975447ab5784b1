#include "ui_test_support.h"

#include <functional>

using namespace uitest;

namespace {

struct Driver : ModalDriver {
  std::function<void(const DialogView&)> dialog;
  std::vector<MessageBoxView> boxes;
  int dialogs = 0;
  void OnDialog(const DialogView& view) override {
    ++dialogs;
    if (dialog) dialog(view);
  }
  int OnMessageBox(const MessageBoxView& box) override {
    boxes.push_back(box);
    return IDYES;
  }
};

class DialogTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    SetModalDriver(&driver);
  }
  Driver driver;
};

DialogTemplate Simple() {
  DialogTemplate t;
  t.caption = u"创建群";
  t.rect = RECT{10, 10, 210, 110};
  t.items.push_back({u"Static", u"群名称", 100, WS_CHILD | WS_VISIBLE, 0, RECT{5, 5, 60, 25}});
  t.items.push_back(
      {u"Edit", u"", 101, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, RECT{65, 5, 195, 25}});
  t.items.push_back(
      {u"Button", u"确定", IDOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, RECT{5, 60, 95, 85}});
  return t;
}

std::vector<UINT> g_seen;

INT_PTR Recording(HWND hdlg, UINT msg, WPARAM wParam, LPARAM) {
  g_seen.push_back(msg);
  if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    EndDialog(hdlg, 77);
    return TRUE;
  }
  if (msg == WM_INITDIALOG) return TRUE;
  return FALSE;
}

INT_PTR EndsAtOnce(HWND hdlg, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_INITDIALOG) {
    EndDialog(hdlg, 5);
    return TRUE;
  }
  return FALSE;
}

TEST_F(DialogTest, EndedDuringInitTheDriverIsNotAsked) {
  DialogTemplate t = Simple();
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, &t, 0, EndsAtOnce, 0), 5);
  EXPECT_EQ(driver.dialogs, 0);
}

TEST_F(DialogTest, CloseBecomesCancel) {
  DialogTemplate t = Simple();
  driver.dialog = [](const DialogView& v) { SendMessageW(v.dialog, WM_CLOSE, 0, 0); };
  g_seen.clear();
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, &t, 0, Recording, 0), 77);
  EXPECT_NE(std::find(g_seen.begin(), g_seen.end(), WM_INITDIALOG), g_seen.end());
  EXPECT_NE(std::find(g_seen.begin(), g_seen.end(), WM_CLOSE), g_seen.end());
}

TEST_F(DialogTest, ItemsAndPlacement) {
  HWND owner = Top(RECT{100, 200, 400, 500});
  DialogTemplate t = Simple();
  driver.dialog = [&](const DialogView& v) {
    RECT rc;
    GetWindowRect(v.dialog, &rc);
    EXPECT_EQ(rc.left, 110);  // relative to the owner
    EXPECT_EQ(rc.top, 210);
    EXPECT_EQ(GetParent(v.dialog), owner);
    EXPECT_EQ(GetWindowTextString(GetDlgItem(v.dialog, 100)), u"群名称");
    EXPECT_EQ(GetFocus(), GetDlgItem(v.dialog, 101));
    EXPECT_TRUE(IsWindowVisible(v.dialog));
    // Modal UI inside a dialog reaches the same driver.
    EXPECT_EQ(MessageBoxW(v.dialog, u"群名称已存在", u"提示", MB_YESNO), IDYES);
    EndDialog(v.dialog, IDOK);
  };
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, &t, owner, Recording, 0), IDOK);
  ASSERT_EQ(driver.boxes.size(), 1u);
  EXPECT_NE(driver.boxes[0].owner, 0u);
}

TEST_F(DialogTest, ModelessDialogsLiveUntilDestroyed) {
  DialogTemplate hidden = Simple();
  hidden.style = WS_POPUP;
  RegisterDialogTemplate(reinterpret_cast<HINSTANCE>(0x40), 596, hidden);
  HWND d =
      CreateDialogParamW(reinterpret_cast<HINSTANCE>(0x40), MAKEINTRESOURCEW(596), 0, Recording, 0);
  ASSERT_NE(d, 0u);
  EXPECT_EQ(driver.dialogs, 0);
  EXPECT_FALSE(IsWindowVisible(d));  // the template has no WS_VISIBLE
  EXPECT_EQ(
      CreateDialogParamW(reinterpret_cast<HINSTANCE>(0x41), MAKEINTRESOURCEW(596), 0, Recording, 0),
      0u);
  EXPECT_NE(FindDialogTemplate(nullptr, MAKEINTRESOURCEW(596)), nullptr);  // any module
  ShowWindow(d, SW_SHOW);
  EXPECT_TRUE(EndDialog(d, 3));
  EXPECT_FALSE(IsWindowVisible(d));
  INT_PTR r = 0;
  EXPECT_TRUE(IsDialogEnded(d, &r));
  EXPECT_EQ(r, 3);
  EXPECT_TRUE(IsWindow(d));
  DestroyWindow(d);
  EXPECT_FALSE(EndDialog(d, 1));
  HWND top = Top(RECT{0, 0, 10, 10});
  EXPECT_FALSE(EndDialog(top, 1));  // not a dialog
}

}  // namespace
