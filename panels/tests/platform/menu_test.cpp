#include "ui_test_support.h"

#include <functional>

using namespace uitest;

namespace {

// A driver whose answers a test scripts.
struct ScriptedDriver : ModalDriver {
  std::function<UINT(const PopupMenuView&)> menu;
  std::vector<PopupMenuView> menus;
  UINT OnPopupMenu(const PopupMenuView& view) override {
    menus.push_back(view);
    return menu ? menu(view) : 0;
  }
};

class MenuTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    SetModalDriver(&driver);
  }
  ScriptedDriver driver;
};

HMENU FriendMenu() {
  HMENU moveTo = CreatePopupMenu();
  AppendMenuW(moveTo, MF_STRING, 4861, u"我的好友");
  AppendMenuW(moveTo, MF_STRING | MF_CHECKED, 4862, u"同事");
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 4820, u"发送消息");
  AppendMenuW(menu, MF_STRING | MF_GRAYED, 4000, u"没有邮箱");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_POPUP, moveTo, u"移动到");
  AppendMenuW(menu, MF_STRING, 4829, u"删除");
  return menu;
}

TEST_F(MenuTest, TheDriverSeesEveryItemAndState) {
  HWND owner = Top(RECT{0, 0, 100, 100});
  HMENU menu = FriendMenu();
  EXPECT_EQ(GetMenuItemCount(menu), 5);
  EXPECT_EQ(CheckMenuItem(menu, 4829, MF_CHECKED), MF_UNCHECKED);
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 30, 40, 0, owner, nullptr), 0);
  ASSERT_EQ(driver.menus.size(), 1u);
  const PopupMenuView& v = driver.menus[0];
  EXPECT_EQ(v.owner, owner);
  EXPECT_EQ(v.pt.x, 30);
  ASSERT_EQ(v.items.size(), 5u);
  EXPECT_EQ(v.items[0].id, 4820u);
  EXPECT_EQ(v.items[0].text, u"发送消息");
  EXPECT_TRUE(v.items[0].enabled);
  EXPECT_FALSE(v.items[1].enabled);
  EXPECT_TRUE(v.items[2].separator);
  EXPECT_EQ(v.items[3].text, u"移动到");
  ASSERT_EQ(v.items[3].submenu.size(), 2u);
  EXPECT_FALSE(v.items[3].submenu[0].checked);
  EXPECT_TRUE(v.items[3].submenu[1].checked);
  EXPECT_TRUE(v.items[4].checked);
  EXPECT_EQ(v.Find(4862)->text, u"同事");
  EXPECT_EQ(v.FindText(u"删除")->id, 4829u);
  EXPECT_EQ(Count(owner, WM_INITMENUPOPUP), 1);
  DestroyMenu(menu);
  EXPECT_FALSE(IsMenu(menu));
}

TEST_F(MenuTest, ReturnedOrPostedCommands) {
  HWND owner = Top(RECT{0, 0, 100, 100});
  HMENU menu = FriendMenu();
  driver.menu = [](const PopupMenuView&) { return 4862u; };
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, owner, nullptr), 4862);
  Log().clear();
  EXPECT_TRUE(TrackPopupMenu(menu, 0, 0, 0, 0, owner, nullptr));
  EXPECT_EQ(Count(owner, WM_COMMAND), 0);  // posted, not sent
  PumpMessages();
  ASSERT_EQ(Count(owner, WM_COMMAND), 1);
  for (auto& r : Log())
    if (r.msg == WM_COMMAND) {
      EXPECT_EQ(LOWORD(r.wParam), 4862);
    }
  DestroyMenu(menu);
}

TEST_F(MenuTest, DisabledSeparatorAndUnknownAnswersCountAsNone) {
  HWND owner = Top(RECT{0, 0, 100, 100});
  HMENU menu = FriendMenu();
  for (UINT answer : {4000u, 0u, 9999u}) {
    driver.menu = [answer](const PopupMenuView&) { return answer; };
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, owner, nullptr), 0);
  }
  // Items of a grayed submenu cannot be reached.
  EnableMenuItem(menu, 3, MF_BYPOSITION | MF_GRAYED);
  driver.menu = [](const PopupMenuView&) { return 4861u; };
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, owner, nullptr), 0);
  SetModalDriver(nullptr);
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, owner, nullptr), 0);
  DestroyMenu(menu);
}

TEST_F(MenuTest, EditingItems) {
  HMENU menu = FriendMenu();
  EXPECT_EQ(GetMenuItemID(menu, 3), static_cast<UINT>(-1));
  HMENU sub = GetSubMenu(menu, 3);
  ASSERT_NE(sub, 0u);
  EXPECT_EQ(GetMenuState(menu, 4862, MF_BYCOMMAND) & MF_CHECKED,
            MF_CHECKED);  // found in the submenu
  EXPECT_EQ(EnableMenuItem(menu, 4820, MF_GRAYED), MF_ENABLED);
  EXPECT_EQ(EnableMenuItem(menu, 4820, MF_ENABLED), MF_GRAYED);
  EXPECT_EQ(EnableMenuItem(menu, 1, MF_BYCOMMAND), -1);
  InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, 4831, u"历史");
  EXPECT_EQ(GetMenuItemID(menu, 0), 4831u);
  char16_t text[16];
  EXPECT_EQ(GetMenuStringW(menu, 4831, text, 16, MF_BYCOMMAND), 2);
  EXPECT_EQ(std::u16string(text), u"历史");
  EXPECT_TRUE(DeleteMenu(menu, 4, MF_BYPOSITION));  // the submenu goes with it
  EXPECT_FALSE(IsMenu(sub));
  EXPECT_TRUE(RemoveMenu(menu, 4829, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuItemCount(menu), 4);
  EXPECT_FALSE(AppendMenuW(menu, MF_POPUP, menu, u"self"));
  DestroyMenu(menu);
  EXPECT_EQ(GetMenuItemCount(menu), -1);
}

}  // namespace
