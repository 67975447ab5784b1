// A friend tree logged on with every kind of group: the user's own groups,
// strangers, customer service, chat rooms and the kept-out default group,
// with the host's default names for each kind.
#pragma once

#include "ftree_fixture.h"

#include "platform/input.h"
#include "platform/modal.h"
#include "platform/window.h"

class FTreeMenus : public FTreeFixture {
 protected:
  void SetUp() override {
    FTreeFixture::SetUp();
    auto& defs = session.Data().DefaultGroups();
    defs[QWKIND_STRANGER] = u"陌生人";
    defs[QWKIND_DEFAULT2] = u"黑名单";
    defs[QWKIND_CS] = u"客服";
    defs[QWKIND_CHATROOM] = u"聊天室";
    CQWFriendDetail withMail;
    withMail.email = u"a1@mail.cn";
    withMail.remark = u"老甲";
    CQWFriendDetail mobile;
    mobile.mobile = true;
    chat = AddGroup(u"聊天好友");
    a1 = AddFriend(chat, u"a1@zq.com", u"甲一", QWSTATUS_ONLINE, withMail);
    a2 = AddFriend(chat, u"a2@zq.com", u"甲二", QWSTATUS_ONLINE, mobile);
    mine = AddGroup(u"同事");
    c1 = AddFriend(mine, u"c1@zq.com", u"丙一", QWSTATUS_OFFLINE);
    empty = AddGroup(u"空组");
    strangers = AddGroup(u"陌生人", QWKIND_STRANGER);
    s1 = AddFriend(strangers, u"s1@zq.com", u"路人");
    cs = AddGroup(u"客服", QWKIND_CS);
    desk = AddFriend(cs, u"kefu@zq.com", u"客服小美", QWSTATUS_OFFLINE);
    rooms = AddGroup(u"聊天室", QWKIND_CHATROOM);
    room = AddFriend(rooms, u"room@muc.zq.com", u"交流室");
    black = AddGroup(u"黑名单", QWKIND_DEFAULT2);

    CHostRecord deskRecord;
    deskRecord.kind = QWKIND_CS;
    deskRecord.id = u"kefu@zq.com";
    deskRecord.name = u"客服小美";
    csDesk = session.Data().Get(u"CSData")->Add(0, deskRecord);
    CHostRecord roomRecord;
    roomRecord.kind = QWKIND_CHATROOM;
    roomRecord.id = u"r1";
    roomRecord.name = u"交流室";
    roomRecord.bytes.assign(512, 0);
    HostPutText(roomRecord.bytes, 128, u"room@muc.zq.com", 64);
    session.Data().Get(u"ChatRoomData")->Add(0, roomRecord);

    StartAndLoad();
    session.Requests().ClearLog();
  }

  void TearDown() override {
    CQWFriendTreeCtrl::SetChatFriendsGroupName(u"");
    FTreeFixture::TearDown();
  }

  // A group opened as a click would.
  void OpenItem(QWPOS group) { Tree().OpenGroup(Item(group), false); }
  void Command(UINT id) {
    Tree().SendMessage(WM_COMMAND, id, 0);
    PumpMessages();
    session.RunDeferred();
  }
  // The friend data ready again: a fresh build.
  void Reload() {
    session.Notify(1405);
    AdvanceClock(CQWFriendTreeCtrl::kLoadDelayMs);
    PumpMessages();
  }

  QWPOS chat, a1, a2, mine, c1, empty, strangers, s1, cs, desk, rooms, room, black, csDesk;
};

// Answers the remark dialog: types the text into its edit and presses a button.
class RemarkDriver : public ModalDriver {
 public:
  RemarkDriver(std::u16string text, int button) : m_text(std::move(text)), m_button(button) {}
  void OnDialog(const DialogView& view) override {
    dialog = view.dialog;
    templateId = view.templateId;
    SetFocus(GetDlgItem(view.dialog, 1000));
    TypeText(m_text);
    SendMessageW(view.dialog, WM_COMMAND, static_cast<WPARAM>(m_button), 0);
  }
  HWND dialog = 0;
  UINT templateId = 0;

 private:
  std::u16string m_text;
  int m_button;
};

// A window of the host that records the texts sent with message 3224.
class MessageWindow {
 public:
  MessageWindow() {
    WNDCLASSW wc{};
    if (!GetClassInfoW(nullptr, u"FTreeTestReceiver", &wc)) {
      wc = WNDCLASSW{};
      wc.lpfnWndProc = Proc;
      wc.lpszClassName = u"FTreeTestReceiver";
      RegisterClassW(&wc);
    }
    hwnd = CreateWindowExW(0, u"FTreeTestReceiver", u"", 0, 0, 0, 10, 10, 0, 0, nullptr, nullptr);
    Current() = this;
  }
  ~MessageWindow() {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
    Current() = nullptr;
  }
  static MessageWindow*& Current() {
    static MessageWindow* current = nullptr;
    return current;
  }
  static LRESULT Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == 3224 && Current()) {
      Current()->received.push_back(u"3224 " +
                                    std::u16string(reinterpret_cast<const char16_t*>(w)) + u" " +
                                    std::u16string(reinterpret_cast<const char16_t*>(l)));
      return 0;
    }
    return DefWindowProcW(h, msg, w, l);
  }
  HWND hwnd = 0;
  std::vector<std::u16string> received;
};
