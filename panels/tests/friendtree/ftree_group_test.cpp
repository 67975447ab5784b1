// Adding, renaming and deleting groups, the only-online toggle, and moving
// friends by dragging them.
#include "ftree_menu_fixture.h"

#include "host/treeui/groupnameedit.h"

namespace {

std::string EditGroup(int action, QWPOS pos, const std::u16string& name) {
  return Req(u"sys/EditGroup", AreaBytes(4).Int(0, action),
             AreaBytes(136).Int(0, 1).Text(4, name).Int(132, static_cast<std::uint32_t>(pos)));
}

std::string MsgBox(const std::u16string& caption, const std::u16string& text, HWND owner) {
  return Req(u"sys/Msgbox",
             AreaBytes(656)
                 .Int(0, MB_OK | MB_ICONINFORMATION)
                 .Text(4, caption)
                 .Text(132, text, 260)
                 .Int(652, owner),
             std::nullopt);
}

class FTreeGroups : public FTreeMenus {
 protected:
  void SetUp() override {
    FTreeMenus::SetUp();
    CQWFriendTreeCtrl::NewGroupCounter() = 0;
  }
  CChangeGroupNameEdit& Edit() { return *Tree().GetNameEdit(); }
  // Types into the open name edit and presses Enter.
  void TypeName(const std::u16string& text) {
    TypeText(text);
    KeyPress(VK_RETURN);
    PumpMessages();
  }
  // A host that inserts each new group into its data, telling the panel
  // while it answers (during) or afterwards.
  void HostAddsGroups(bool during) {
    session.Requests().SetHandler(u"sys/EditGroup", [this, during](CHostPacket& p, LPARAM) {
      if (HostGetU32(p.Area(1).bytes.data(), 4, 0) != 0) return 1;
      const QWPOS pos =
          AddGroup(HostGetText(p.Area(2).bytes.data(), p.Area(2).bytes.size(), 4, 64));
      if (during) session.Messages().Deliver(1335, pos, data->GetPrevPosition(pos));
      else session.Defer([this, pos] { session.Notify(1335, pos, data->GetPrevPosition(pos)); });
      return static_cast<int>(pos);
    });
  }
};

TEST_F(FTreeGroups, FiftyGroupsAreTheLimit) {
  for (int i = 0; i < 42; ++i) AddGroup(FormatW(u"组%d", i));  // 49 with the fixture's 7
  Tree().SetSelected(Item(mine));
  Command(4838);
  EXPECT_EQ(TakeRequests(), std::vector<std::string>{EditGroup(0, 0, u"新建组1")});
  AddGroup(u"组42");
  Command(4836);
  EXPECT_EQ(TakeRequests(),
            std::vector<std::string>{MsgBox(u"提示", u"组的数量已达上限（50个），不能再添加新组。",
                                            Tree().GetSafeHwnd())});
}

TEST_F(FTreeGroups, NewNamesSkipTakenOnesWithALibraryWideCounter) {
  AddGroup(u"新建组1");
  AddGroup(u"新建组2");
  Command(4836);
  Command(4836);
  EXPECT_EQ(TakeRequests(),
            (std::vector<std::string>{EditGroup(0, 0, u"新建组3"), EditGroup(0, 0, u"新建组4")}));
  EXPECT_EQ(CQWFriendTreeCtrl::NewGroupCounter(), 4);
}

TEST_F(FTreeGroups, TheNewGroupIsSelectedAndRenamedWhenItArrives) {
  HostAddsGroups(false);
  Command(4836);
  const QWPOS added = data->FindByName(u"新建组1");
  ASSERT_NE(Item(added), nullptr);
  EXPECT_EQ(Tree().GetSelectedItem(), Item(added));
  EXPECT_TRUE(Edit().IsEditing());
  EXPECT_EQ(Edit().GetWindowText(), u"新建组1");
  EXPECT_EQ(Tree().GetPendingNewGroup(), 0u);
}

TEST_F(FTreeGroups, TheNewGroupIsFoundWhenTheHostInsertsItWhileAnswering) {
  HostAddsGroups(true);
  Command(4836);
  const QWPOS added = data->FindByName(u"新建组1");
  ASSERT_NE(Item(added), nullptr);
  EXPECT_EQ(Tree().GetSelectedItem(), Item(added));
  EXPECT_TRUE(Edit().IsEditing());
  EXPECT_EQ(Tree().GetPendingNewGroup(), 0u);
}

TEST_F(FTreeGroups, RenameSendsTheNewNameAndAcceptsTheOldOne) {
  Tree().SetSelected(Item(mine));
  Command(4839);
  ASSERT_TRUE(Edit().IsEditing());
  EXPECT_EQ(Edit().GetWindowText(), u"同事");
  RECT rc{};
  GetWindowRect(Edit().GetSafeHwnd(), &rc);
  EXPECT_GE(rc.right - rc.left, 70);
  TypeName(u"老同事");
  EXPECT_FALSE(Edit().IsEditing());
  EXPECT_EQ(TakeRequests(), std::vector<std::string>{EditGroup(1, mine, u"老同事")});
  // The old name again is a rename too.
  Command(4839);
  KeyPress(VK_RETURN);
  PumpMessages();
  EXPECT_EQ(TakeRequests(), std::vector<std::string>{EditGroup(1, mine, u"同事")});
  // An empty name or Escape sends nothing.
  Command(4839);
  KeyPress(VK_DELETE);
  KeyPress(VK_RETURN);
  Command(4839);
  KeyPress(VK_ESCAPE);
  PumpMessages();
  EXPECT_FALSE(Edit().IsEditing());
  EXPECT_TRUE(TakeRequests().empty());
}

TEST_F(FTreeGroups, RenameToAnotherGroupsNameWarnsAndEditsAgain) {
  Tree().SetSelected(Item(mine));
  Command(4839);
  TypeName(u"空组");
  EXPECT_EQ(TakeRequests(),
            std::vector<std::string>{
                MsgBox(u"重命名组", u"已经有一个同名的组，请换一个名称。", Tree().GetSafeHwnd())});
  EXPECT_TRUE(Edit().IsEditing());
  EXPECT_EQ(Edit().GetWindowText(), u"同事");
}

TEST_F(FTreeGroups, NamesAreCutToTheFieldSoACutNameIsCheckedToo) {
  const std::u16string longName(63, u'名');
  AddGroup(longName);
  Tree().SetSelected(Item(mine));
  Command(4839);
  TypeName(longName + u"多余");
  // The edit keeps 63 characters: the cut name is another group's.
  const auto sent = TakeRequests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_NE(sent[0].find("request sys/Msgbox"), std::string::npos);
}

TEST_F(FTreeGroups, DeleteOnlyAnEmptyGroupAsTheHostsDataSays) {
  Tree().SetSelected(Item(empty));
  Command(4840);
  EXPECT_EQ(TakeRequests(), std::vector<std::string>{EditGroup(2, empty, u"空组")});
  const std::string refused = MsgBox(
      u"提示", u"该组中还有联系人，不能删除。请先把联系人移到其他组。", Tree().GetSafeHwnd());
  // One friend, never loaded into the tree.
  ASSERT_TRUE(Children(Item(mine)).empty());
  Tree().SetSelected(Item(mine));
  Command(4840);
  EXPECT_EQ(TakeRequests(), std::vector<std::string>{refused});
  // One friend, hidden by only-online.
  session.Notify(3151, 1, 0);
  OpenItem(mine);
  ASSERT_TRUE(Children(Item(mine)).empty());
  Tree().SetSelected(Item(mine));
  Command(4840);
  EXPECT_EQ(TakeRequests(), std::vector<std::string>{refused});
}

TEST_F(FTreeGroups, OnlyOnlineToggleIsWrittenAndRebuildsTheTree) {
  OpenItem(mine);
  ASSERT_NE(Item(c1), nullptr);
  Tree().SetSelected(Item(mine));
  Command(4842);
  EXPECT_TRUE(Tree().IsOnlyOnline());
  const std::u16string ini = FromUtf8((AccountDir() / "mycfg.ini").string());
  EXPECT_EQ(GetPrivateProfileIntW(u"GGPCW", u"VIEWFRIENDALL", -1, ini.c_str()), 0);
  EXPECT_EQ(Item(c1), nullptr);
  EXPECT_TRUE(Expanded(chat));  // the chat-friends group opens after the rebuild
  Command(4842);
  EXPECT_FALSE(Tree().IsOnlyOnline());
  EXPECT_EQ(GetPrivateProfileIntW(u"GGPCW", u"VIEWFRIENDALL", -1, ini.c_str()), 1);
  // The next load reads it back.
  Command(4842);
  Reload();
  EXPECT_TRUE(Tree().IsOnlyOnline());
}

// ---- drag and drop ----------------------------------------------------------------------

class FTreeDrag : public FTreeGroups {
 protected:
  // Presses on the friend and moves far enough to start a drag.
  void BeginDrag(QWPOS friendPos) {
    const POINT p = Centre(friendPos);
    MouseDownAt(Tree().GetSafeHwnd(), p);
    MouseMoveTo(Tree().GetSafeHwnd(), POINT{p.x + 8, p.y + 8});
    PumpMessages();
  }
  void DropAt(POINT p) {
    MouseMoveTo(Tree().GetSafeHwnd(), p);
    MouseUpAt(Tree().GetSafeHwnd(), p);
    PumpMessages();
  }
  std::string Move(QWPOS who, const std::u16string& id, int action, QWPOS group) {
    return Req(u"sys/EditFriend", AreaBytes(4).Int(0, action),
               AreaBytes(144).Int(0, 1).Text(4, id).Int(132, who).Int(136, group));
  }
  std::vector<std::string> EditFriendRequests() {
    std::vector<std::string> out;
    for (const auto& line : TakeRequests())
      if (line.find("request sys/EditFriend") == 0) out.push_back(line);
    return out;
  }
};

TEST_F(FTreeDrag, DragMarksTargetsCollapsesAndDropsAsAMove) {
  OpenItem(mine);
  BeginDrag(a1);
  ASSERT_TRUE(Tree().IsDragging());
  EXPECT_FALSE(Expanded(chat));
  EXPECT_FALSE(Expanded(mine));
  for (QWPOS g : {chat, mine, empty, black}) EXPECT_TRUE(Tree().CanDrop(Item(g))) << g;
  for (QWPOS g : {strangers, cs, rooms}) EXPECT_FALSE(Tree().CanDrop(Item(g))) << g;
  for (QWPOS g : {chat, mine, strangers}) EXPECT_FALSE(Tree().CanDrag(Item(g))) << g;
  TakeRequests();
  DropAt(Centre(empty));
  EXPECT_FALSE(Tree().IsDragging());
  EXPECT_TRUE(Expanded(chat));
  EXPECT_TRUE(Expanded(mine));
  EXPECT_EQ(EditFriendRequests(), std::vector<std::string>{Move(a1, u"a1@zq.com", 4, empty)});
  // The tree waits for the host's move.
  EXPECT_EQ(Tree().GetParentItem(Item(a1)), Item(chat));
}

TEST_F(FTreeDrag, AStrangerIsAddedAsAFriend) {
  OpenItem(strangers);
  BeginDrag(s1);
  TakeRequests();
  DropAt(Centre(mine));
  EXPECT_EQ(EditFriendRequests(), std::vector<std::string>{Move(s1, u"s1@zq.com", 0, mine)});
}

TEST_F(FTreeDrag, DropsOnTheOwnGroupOrACustomNodeSendNothing) {
  BeginDrag(a1);
  DropAt(Centre(chat));
  EXPECT_TRUE(EditFriendRequests().empty());
  EXPECT_TRUE(Expanded(chat));

  FTREE_CUSTOMNODE node;
  node.text = u"帮助";
  node.url = u"IN_MENU_HELP";
  Tree().AddCustomNode(node);
  Reload();
  HTREEITEM custom = Tree().GetNextSiblingItem(Item(black));
  ASSERT_NE(custom, nullptr);
  BeginDrag(a1);
  EXPECT_TRUE(Tree().CanDrop(custom));
  RECT rc{};
  ASSERT_TRUE(Tree().GetItemRect(custom, &rc, TRUE));
  DropAt(POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
  EXPECT_TRUE(EditFriendRequests().empty());
  EXPECT_TRUE(Expanded(chat));
}

TEST_F(FTreeDrag, ACancelledDragOpensTheGroupsAgain) {
  OpenItem(mine);
  BeginDrag(a1);
  ASSERT_FALSE(Expanded(mine));
  KeyPress(VK_ESCAPE);
  PumpMessages();
  EXPECT_FALSE(Tree().IsDragging());
  EXPECT_TRUE(Expanded(chat));
  EXPECT_TRUE(Expanded(mine));
  // Released on no item at all.
  BeginDrag(a1);
  MouseUpAt(Tree().GetSafeHwnd(), Blank());
  PumpMessages();
  EXPECT_TRUE(Expanded(mine));
  EXPECT_TRUE(EditFriendRequests().empty());
}

TEST_F(FTreeDrag, ServiceDesksAndGroupsAreNotDragged) {
  OpenItem(cs);
  BeginDrag(desk);
  EXPECT_FALSE(Tree().IsDragging());
  MouseUpAt(Tree().GetSafeHwnd(), Centre(desk));
  BeginDrag(mine);
  EXPECT_FALSE(Tree().IsDragging());
  MouseUpAt(Tree().GetSafeHwnd(), Centre(mine));
  PumpMessages();
}

}  // namespace
