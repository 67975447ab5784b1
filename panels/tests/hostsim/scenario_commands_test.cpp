// The scenario language's commands, each against the host and the platform,
// and the bad input each one refuses (stopping the run with the line number).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "host/skinctl/coolcontrols.h"
#include "hostsim/host_decode.h"
#include "hostsim/host_session.h"
#include "hostsim/scenario.h"
#include "platform/controls.h"
#include "platform/cwinapp.h"
#include "platform/dialog.h"
#include "platform/input.h"
#include "platform/menu.h"
#include "platform/message.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/text.h"

namespace {

namespace fs = std::filesystem;

// What a window of the test got.
std::vector<UINT>* g_seen = nullptr;
LRESULT RecordingProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (g_seen && (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP || msg == WM_MOUSEMOVE ||
                 msg == WM_MOUSEWHEEL || msg == WM_KEYDOWN))
    g_seen->push_back(msg);
  return DefWindowProcW(h, msg, w, l);
}

class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host_.CreateWorld("")) << host_.LastError();
    ASSERT_TRUE(host_.LoadLibrary()) << host_.LastError();
    ASSERT_TRUE(
        host_.LoadLayoutText("<layout width='320' height='560' workdir='work'>"
                             "<panel type='PluginSysSetup' name='setup' rect='0,0,24,24'/>"
                             "<panel type='PluginFTree' name='ftree' rect='0,30,320,500'/>"
                             "</layout>"))
        << host_.LastError();
    std::string error;
    ASSERT_TRUE(host_.Data().LoadFixture(FromUtf8(HOSTSIM_DATA_DIR "/contacts.xml"), error))
        << error;
  }
  // The number of failed expectations; ok_ tells whether the run went through.
  int Run(const std::string& text) {
    CScenario s;
    std::string error;
    EXPECT_TRUE(ParseScenario(text, s, error)) << error;
    CScenarioRunner runner(host_);
    ok_ = runner.Run(s);
    error_ = runner.Error();
    return runner.Failures();
  }
  std::string Fails(const std::string& text) {
    Run(text);
    EXPECT_FALSE(ok_) << text;
    return error_;
  }
  bool HasLine(const std::string& line) const {
    for (const auto& l : host_.Transcript()) {
      if (l == line) return true;
    }
    return false;
  }
  void LogOn() {
    ASSERT_EQ(Run("notify 3104 workdir\nnotify 3076 owner\nnotify 1405\nadvance 20\n"), 0);
    ASSERT_TRUE(ok_) << error_;
  }
  std::ostringstream out_;
  CHostSession host_{&out_};
  bool ok_ = false;
  std::string error_;
};

TEST_F(Commands, MalformedLinesStopTheRunWithTheirLineAndUsage) {
  const std::pair<const char*, const char*> cases[] = {
      {"notify 3104 x", "not a number: \"x\"; usage: notify ID [W [L]]"},
      {"notify 1 bytes:zz", "bad hex in \"bytes:zz\"; usage: notify ID [W [L]]"},
      {"expect notify 3218 x", "not a number: \"x\"; usage: expect notify ID [W [L]]"},
      {"expect mainmsg 3169 1 y", "not a number: \"y\""},
      {"wheel ftree lots", "not a number: \"lots\"; usage: wheel PANEL DELTA"},
      {"drag ftree 1 2 3 z", "not a number: \"z\""},
      {"advance -5", "the clock only moves on"},
      {"key ftree NoKey", "unknown key \"NoKey\""},
      {"color 300 0 0", "a colour part is 0 to 255"},
      {"dialog maybe", "a dialog is answered ok or cancel"},
      {"dialog ok 5=maybe", "a control setting is ID=\"TEXT\", ID=check or ID=uncheck"},
      {"dialog ok x=\"a\"", "not a number: \"x\""},
      {"answer sys/Chat 1 area3@0=00", "bad answer part"},
      {"file a.bin zz", "file content is HEX"},
      {"file ../a.bin 00", "is not a path inside the program directory"},
      {"file /etc/a.bin 00", "is not a path inside the program directory"},
      {"registry Software\\K N word:1", "a registry value is dword:N or hex:HEX"},
      {"expect registry Software\\K N dword:x", "not a number: \"x\""},
      {"expect file a.bin size x", "not a number: \"x\""},
      {"expect file a.bin 2:0g", "bad hex"},
      {"expect menu 1,x", "a menu entry is ID, - or >ID: \"x\""},
      {"expect menuitem 4820 bogus", "bad menu item expectation \"bogus\""},
      {"expect item ftree \"x\" image=q", "not a number: \"q\""},
      {"expect item ftree \"x\" bold", "bad item expectation \"bold\""},
      {"expect request sys/Chat area3=00", "bad request expectation \"area3=00\""},
      {"expect request sys/Chat area1=0:zz", "bad area bytes \"0:zz\""},
      {"snapshot ftree a.bmp", "a snapshot is a .png file"},
  };
  for (const auto& [line, message] : cases) {
    const std::string error = Fails("echo first\n" + std::string(line) + "\necho never\n");
    EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << line << ": " << error;
    EXPECT_NE(error.find(message), std::string::npos) << line << ": " << error;
    EXPECT_NE(error.find("; usage: "), std::string::npos) << line;
  }
  EXPECT_FALSE(HasLine("never"));
  // Steps that cannot be carried out say why, without the usage.
  EXPECT_EQ(Fails("click popup 1 1\n"), "line 1: no pop-up window is shown");
  EXPECT_EQ(Fails("click ftree \"nobody\"\n"),
            "line 1: panel \"ftree\" has no tree item \"nobody\"");
}

TEST_F(Commands, FilesIniAndRegistryAreSetUpAndExpected) {
  EXPECT_EQ(Run("file data\\a.bin 0102ff\n"
                "file b.txt text:\"好 ok\"\n"
                "file c.txt gbk:\"好\"\n"
                "expect file data/a.bin 0102ff\n"
                "expect file data/a.bin 1:02ff\n"
                "expect file data/a.bin size 3\n"
                "expect file b.txt e5a5bd206f6b\n"
                "expect file c.txt bac3\n"
                "rmfile data/a.bin\n"
                "expect nofile data/a.bin\n"
                "ini acct\\mycfg.ini GGPCW VIEWFRIENDALL 0\n"
                "expect ini acct/mycfg.ini GGPCW VIEWFRIENDALL 0\n"
                "registry Software\\Vendor LastUser dword:7\n"
                "registry Software\\Vendor Blob hex:0a0b\n"
                "expect registry Software\\Vendor LastUser dword:7\n"
                "expect registry Software\\Vendor Blob hex:0a0b\n"
                "expect registry Software\\Vendor Missing absent\n"),
            0);
  EXPECT_TRUE(ok_) << error_;
  EXPECT_TRUE(fs::exists(host_.ProgramDir() + "/acct/mycfg.ini"));
  // Each of these fails, and the run goes on.
  EXPECT_EQ(Run("expect file b.txt 00\n"
                "expect file b.txt 9:00\n"
                "expect file b.txt size 2\n"
                "expect file nothing.bin size 0\n"
                "expect nofile b.txt\n"
                "expect ini acct/mycfg.ini GGPCW VIEWFRIENDALL 1\n"
                "expect ini acct/mycfg.ini GGPCW NOKEY 1\n"
                "expect registry Software\\Vendor LastUser dword:8\n"
                "expect registry Software\\Vendor LastUser hex:07000000\n"
                "expect registry Software\\Vendor LastUser absent\n"
                "expect registry Software\\Other LastUser dword:7\n"),
            11);
  EXPECT_TRUE(ok_) << error_;
}

TEST(HostWorld, EachRunHasItsOwnProgramDirectoryAndRegistry) {
  std::string first, second;
  {
    CHostSession a;
    ASSERT_TRUE(a.CreateWorld(HOSTSIM_DATA_DIR));
    first = a.ProgramDir();
    EXPECT_TRUE(fs::exists(first + "/contacts.xml"));  // the layout's folder copied in
    EXPECT_EQ(fs::current_path().string(), first);
    EXPECT_EQ(a.ProgramPath("x\\y.ini"), first + "/x/y.ini");
    EXPECT_EQ(a.ProgramPath("x/../../y.ini"), "");
    EXPECT_EQ(a.ProgramPath("/etc/passwd"), "");
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\T", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    DWORD v = 5;
    RegSetValueExW(key, u"V", 0, REG_DWORD, reinterpret_cast<BYTE*>(&v), 4);
    RegCloseKey(key);
  }
  EXPECT_FALSE(fs::exists(first));  // removed with the session
  {
    CHostSession b;
    ASSERT_TRUE(b.CreateWorld(""));
    second = b.ProgramDir();
    EXPECT_NE(first, second);
    HKEY key;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\T", 0, KEY_READ, &key), ERROR_SUCCESS);
  }
  // A named program directory is used as it is and kept.
  const fs::path named =
      fs::temp_directory_path() / ("hostsim-named-" + std::to_string(::getpid()));
  fs::create_directories(named);
  {
    CHostSession c;
    ASSERT_TRUE(c.CreateWorld("", named.string()));
    EXPECT_EQ(c.ProgramDir(), named.string());
  }
  EXPECT_TRUE(fs::exists(named));
  fs::remove_all(named);
  CHostSession d;
  EXPECT_FALSE(d.CreateWorld("", "/nonexistent/hostsim-dir"));
}

TEST_F(Commands, TreeItemsAreFoundClickedAndExpectedByText) {
  LogOn();
  EXPECT_EQ(Run("expect item ftree \"聊天好友(7/9)\" image=0 expanded\n"
                "expect noitem ftree \"李霞\"\n"
                "click ftree \"我的供应商(7/9)\"\n"
                "expect item ftree \"我的供应商(7/9)\" selected expanded\n"
                "expect item ftree \"李霞\" image=2\n"
                "hover ftree \"李霞\"\n"),
            0);
  EXPECT_TRUE(ok_) << error_;
  EXPECT_EQ(Run("expect item ftree \"李霞\" image=3\n"
                "expect item ftree \"李霞\" selected\n"
                "expect item ftree \"李霞\" expanded\n"
                "expect item ftree \"nobody\"\n"
                "expect noitem ftree \"李霞\"\n"),
            5);
}

TEST_F(Commands, PointerKeysAndPopupsReachTheirWindows) {
  std::vector<UINT> seen;
  g_seen = &seen;
  WNDCLASSW wc{};
  wc.lpfnWndProc = RecordingProc;
  wc.lpszClassName = u"HostSimTestPad";
  RegisterClassW(&wc);
  HWND pad = CreateWindowExW(0, u"HostSimTestPad", u"", WS_CHILD | WS_VISIBLE, 0, 0, 320, 560,
                             host_.MainWindow(), 0, nullptr, nullptr);
  SetWindowPos(pad, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(Run("drag main 10 10 50 50\n"), 0);
  ASSERT_TRUE(ok_) << error_;
  // The pointer moves to the press point first.
  while (!seen.empty() && seen.front() == WM_MOUSEMOVE) seen.erase(seen.begin());
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen.front(), WM_LBUTTONDOWN);
  EXPECT_EQ(seen.back(), WM_LBUTTONUP);
  EXPECT_GE(std::count(seen.begin(), seen.end(), WM_MOUSEMOVE), 4);
  seen.clear();
  SetFocus(pad);  // the wheel goes to the focus
  EXPECT_EQ(Run("wheel main -120\n"), 0);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), WM_MOUSEWHEEL), 1);
  DestroyWindow(pad);

  EXPECT_EQ(Fails("dump popup\n"), "line 1: no pop-up window is shown");
  HWND popup = CreateWindowExW(0, u"HostSimTestPad", u"list", WS_POPUP | WS_VISIBLE, 0, 0, 100, 80,
                               host_.MainWindow(), 0, nullptr, nullptr);
  seen.clear();
  EXPECT_EQ(Run("click popup 5 5\nkey popup Enter\ndump popup\n"), 0);
  EXPECT_TRUE(ok_) << error_;
  EXPECT_EQ(seen, (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN}));
  EXPECT_TRUE(HasLine("window HostSimTestPad id=0 rect=0,0,100,80 visible text=\"list\""));
  DestroyWindow(popup);
  g_seen = nullptr;
}

TEST_F(Commands, MenusAreExpectedByShapeAndNoMenuCountsFromAnyExpectation) {
  HMENU menu = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuW(sub, MF_STRING, 4861, u"甲");
  AppendMenuW(sub, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(sub, MF_STRING, 4862, u"乙");
  AppendMenuW(menu, MF_STRING, 4820, u"发送消息");
  AppendMenuW(menu, MF_STRING, 4824, u"查看资料");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_POPUP, static_cast<UINT_PTR>(sub), u"更多");
  AppendMenuW(menu, MF_STRING, 4829, u"删除");
  TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, host_.MainWindow(), nullptr);
  EXPECT_EQ(Run("echo shown\n"
                "expect line \"shown\"\n"
                "expect nomenu\n"  // the menu came before the previous expectation
                "expect menu 4820,4824,-,>4861,>-,>4862,4829\n"
                "expect menuitem 4829 \"删除\" enabled\n"),
            0);
  EXPECT_TRUE(ok_) << error_;
  EXPECT_EQ(Run("expect menu 4820,4824,-,4861,4862,4829\n"
                "expect menuitem 4829 \"发送消息\"\n"),
            2);
  TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, host_.MainWindow(), nullptr);
  EXPECT_EQ(Run("expect nomenu\n"), 1);
  DestroyMenu(menu);
}

INT_PTR NameDialogProc(HWND dlg, UINT msg, WPARAM w, LPARAM) {
  if (msg == WM_COMMAND && LOWORD(w) == IDOK) {
    char16_t name[64] = {};
    GetDlgItemTextW(dlg, 10, name, 64);
    const bool checked = SendMessageW(GetDlgItem(dlg, 11), BM_GETCHECK, 0, 0) == BST_CHECKED;
    EndDialog(dlg, std::u16string(name) == u"张三" && checked ? 7 : 3);
    return TRUE;
  }
  return FALSE;
}

TEST_F(Commands, DialogsAreAnsweredAfterTheirControlsAreSet) {
  DialogTemplate t;
  t.caption = u"备注";
  t.rect = RECT{0, 0, 200, 100};
  t.items.push_back(
      {u"Edit", u"", 10, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, RECT{5, 5, 150, 25}});
  t.items.push_back(
      {u"Button", u"记住", 11, WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0, RECT{5, 30, 150, 50}});
  EXPECT_EQ(Run("dialog ok 10=\"张三\" 11=check 12=\"none\"\n"), 0);
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, &t, host_.MainWindow(), NameDialogProc, 0), 7);
  EXPECT_TRUE(HasLine("dialog has no control 12"));
  EXPECT_EQ(Run("dialog ok 10=\"check\" 11=uncheck\n"), 0);  // a quoted check is a text
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, &t, host_.MainWindow(), NameDialogProc, 0), 3);
}

TEST_F(Commands, MainWindowMessagesAndAddressesAreExpected) {
  ASSERT_NE(AfxGetMainWnd(), nullptr);
  EXPECT_EQ(AfxGetMainWnd()->m_hWnd, host_.MainWindow());  // where the panels send
  PostMessageW(AfxGetMainWnd()->m_hWnd, 3169, 1, 2);
  SendMessageW(host_.MainWindow(), 4187, 0, 0);
  CCoolHyperLink::GotoURL(u"http://example.org/a", 1);  // through the shell's "open"
  ShellExecuteW(0, u"open", u"http://example.org/b", nullptr, nullptr, 1);
  // The sent message arrives at once, the posted one when messages are pumped.
  EXPECT_EQ(Run("expect mainmsg 4187 0 0\n"
                "expect mainmsg 3169\n"
                "advance 0\n"
                "expect mainmsg 3169 1 2\n"
                "expect url \"http://example.org/a\"\n"
                "expect url \"http://example.org/b\"\n"
                "expect url \"http://example.org/a\"\n"  // each is found once
                "expect mainmsg 4187\n"
                "expect mainmsg 1301\n"),
            4);
  EXPECT_TRUE(HasLine("mainmsg 3169 1 2"));
  EXPECT_TRUE(HasLine("url \"http://example.org/a\""));
}

TEST_F(Commands, NotificationsCarryBytesAndFileContents) {
  ASSERT_TRUE(
      host_.LoadLayoutText("<layout><module file='Dialog.dll'/>"
                           "<panel type='PluginReq' module='Dialog.dll' name='req' rect='0,0,9,9'/>"
                           "</layout>"))
      << host_.LastError();
  EXPECT_EQ(Run("notify 3233 bytes:41004200\n"
                "file msg.txt 4300440000\n"
                "notify 3233 file:msg.txt\n"
                "expect line \"Dialog.dll PluginReq OnNotify 3233 text:\\\"AB\\\" 0\"\n"
                "expect line \"Dialog.dll PluginReq OnNotify 3233 text:\\\"CD\\\" 0\"\n"),
            0);
  EXPECT_TRUE(ok_) << error_;
  EXPECT_TRUE(HasLine("Dialog.dll GetPlugin \"PluginReq\""));
  EXPECT_EQ(Fails("notify 3233 file:nothing.txt\n"), "line 1: cannot read \"nothing.txt\"");
  host_.FreePanel(u"req");
  EXPECT_TRUE(HasLine("Dialog.dll FreePlugin PluginReq"));
}

// Takes both arguments of a notification as 8-bit texts.
class CTextProbe : public CQWBasePlugin {
 public:
  std::string w, l;
  LRESULT OnNotify(UINT, WPARAM wp, LPARAM lp) override {
    w = reinterpret_cast<const char*>(wp);
    l = reinterpret_cast<const char*>(lp);
    return 0;
  }
};

TEST_F(Commands, BothArgumentsStayValidDuringTheCall) {
  CTextProbe probe;
  host_.Messages().RegisterMsg(9999, &probe);
  EXPECT_EQ(Run("notify 9999 ansi:\"a\" ansi:\"b\"\n"), 0);
  EXPECT_TRUE(ok_) << error_;
  EXPECT_EQ(probe.w, "a");
  EXPECT_EQ(probe.l, "b");
  EXPECT_EQ(Run("notify 9999 ansi:\"c\" bytes:6400\n"), 0);
  EXPECT_EQ(probe.w, "c");
  EXPECT_EQ(probe.l, "d");
  host_.Messages().Forget(&probe);
}

TEST_F(Commands, SnapshotsArePngFilesInTheProgramDirectory) {
  EXPECT_EQ(Run("snapshot main shots/main.png\nsnapshot setup setup.png\n"), 0);
  EXPECT_TRUE(ok_) << error_;
  std::ifstream in(host_.ProgramDir() + "/setup.png", std::ios::binary);
  std::string head(4, '\0');
  in.read(head.data(), 4);
  EXPECT_EQ(head, "\x89PNG");
}

TEST(Transcripts, LongZeroTailsAreCountedAndRequestsDecoded) {
  EXPECT_EQ(ToShortHex({1, 0, 0, 0, 0, 0, 0, 0}), "0100000000000000");  // seven zeros stay
  EXPECT_EQ(ToShortHex({1, 0, 0, 0, 0, 0, 0, 0, 0}), "01…+8 zero bytes");
  EXPECT_EQ(ToShortHex(std::vector<BYTE>(16, 0)), "…+16 zero bytes");
  CHostRequestRecord r;
  r.name = u"sys/Chat";
  r.area1.present = true;
  r.area1.bytes = {4, 0, 0, 0};
  r.area2.present = true;
  r.area2.bytes.assign(276, 0);
  r.area2.bytes[20] = 'a';
  r.area2.bytes[148] = 'b';
  EXPECT_EQ(DecodeRequest(r), (std::vector<std::string>{
                                  "area1 +0 chat kind = 4",
                                  "area2 +0 target kind = 0",
                                  "area2 +12 flag = 0",
                                  "area2 +16 kind = 0",
                                  "area2 +20 identifier = \"a\"",
                                  "area2 +148 display name = \"b\"",
                              }));
  r.area2.bytes.resize(10);  // too short for the later fields: they are left out
  EXPECT_EQ(DecodeRequest(r).size(), 2u);
  r.name = u"sys/Unknown";
  EXPECT_TRUE(DecodeRequest(r).empty());
}

TEST(Language, TheReadmeShowsEveryUsageLine) {
  std::ifstream in(HOSTSIM_README);
  ASSERT_TRUE(in);
  std::string readme((std::istreambuf_iterator<char>(in)), {});
  // Table cells escape the bar.
  for (std::size_t at; (at = readme.find("\\|")) != std::string::npos;) readme.replace(at, 2, "|");
  for (const CScenarioCommand& c : ScenarioCommands()) {
    EXPECT_NE(readme.find(std::string("`") + c.usage + "`"), std::string::npos) << c.usage;
  }
}

}  // namespace
