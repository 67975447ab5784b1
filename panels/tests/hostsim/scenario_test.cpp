// Scenarios: parsing, running against a session with the library loaded,
// expectations that hold and expectations that fail.
#include <gtest/gtest.h>

#include <sstream>

#include "hostsim/host_session.h"
#include "hostsim/scenario.h"
#include "module/request.h"
#include "platform/text.h"

namespace {

std::string ParseError(const std::string& text) {
  CScenario s;
  std::string error;
  EXPECT_FALSE(ParseScenario(text, s, error)) << text;
  return error;
}

TEST(ScenarioParsing, WordsQuotesAndComments) {
  CScenario s;
  std::string error;
  ASSERT_TRUE(
      ParseScenario("# comment\n\nnotify 3076 owner  # trailing\r\n"
                    "type find \"张 三\\\"\"\nexpect line \"a b\"\n",
                    s, error))
      << error;
  ASSERT_EQ(s.lines.size(), 3u);
  EXPECT_EQ(s.lines[0].number, 3);
  EXPECT_EQ(s.lines[0].words, (std::vector<std::string>{"notify", "3076", "owner"}));
  EXPECT_EQ(s.lines[1].words[2], "张 三\"");
  EXPECT_EQ(s.lines[2].words[2], "a b");
}

TEST(ScenarioParsing, BadLinesAreNamed) {
  EXPECT_EQ(ParseError("advance 5\nfly away\n"), "line 2: unknown command \"fly\"");
  EXPECT_EQ(ParseError("click ftree\n"),
            "line 1: wrong number of words for \"click\"; usage: click PANEL X Y | click PANEL "
            "\"ITEM TEXT\" | "
            "click popup X Y");
  EXPECT_EQ(ParseError("echo \"open\n"), "line 1: unterminated quote");
  EXPECT_EQ(ParseError("expect rain\n"), "line 1: bad expectation \"rain\"");
  EXPECT_EQ(ParseError("expect\n"), "line 1: bad expectation \"\"");
  EXPECT_EQ(ParseError("expect norequest now\n"),
            "line 1: wrong number of words for \"expect norequest\"; usage: expect norequest");
}

class ScenarioRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host_.LoadLibrary()) << host_.LastError();
    ASSERT_TRUE(
        host_.LoadLayoutText("<layout width='200' height='200'>"
                             "<panel type='PluginSysSetup' name='setup' rect='0,0,24,24'/>"
                             "<panel type='PluginAddFriend' name='add' rect='30,0,24,24'/>"
                             "<panel type='PluginFTree' name='ftree' rect='0,30,200,150'/>"
                             "</layout>"))
        << host_.LastError();
  }
  int Run(const std::string& text) {
    CScenario s;
    std::string error;
    EXPECT_TRUE(ParseScenario(text, s, error)) << error;
    CScenarioRunner runner(host_);
    ok_ = runner.Run(s);
    error_ = runner.Error();
    return runner.Failures();
  }
  bool HasLine(const std::string& line) const {
    for (const auto& l : host_.Transcript()) {
      if (l == line) return true;
    }
    return false;
  }
  std::ostringstream out_;
  CHostSession host_{&out_};
  bool ok_ = false;
  std::string error_;
};

TEST_F(ScenarioRun, ClicksMakeRequestsThatExpectationsFind) {
  EXPECT_EQ(Run("click setup 5 5\n"
                "expect request sys/Setup area1=- area2=-\n"
                "notify 3139 7\n"
                "click add 5 5\n"
                "expect request sys/EditFriend area1=00000000 area2=0:07000000\n"
                "expect norequest\n"),
            0);
  EXPECT_TRUE(ok_) << error_;
  EXPECT_TRUE(HasLine("request sys/Setup area1=- area2=-"));
  // The 144-byte second area is in the transcript, its trailing zeros counted.
  EXPECT_TRUE(HasLine("request sys/EditFriend area1=00000000 area2=07…+143 zero bytes"));
}

TEST_F(ScenarioRun, FailedExpectationsAreCountedAndPrinted) {
  EXPECT_EQ(Run("click setup 5 5\n"
                "expect request sys/Chat\n"
                "expect request sys/Setup area1=00\n"
                "expect notify 3195\n"
                "expect menuitem 4820\n"
                "expect line \"never\"\n"),
            5);
  EXPECT_TRUE(ok_);
  EXPECT_NE(out_.str().find("FAIL line 2: no matching request sys/Chat (made: sys/Setup)"),
            std::string::npos);
}

TEST_F(ScenarioRun, NotificationsFromPanelsAreExpected) {
  // The tree sends the pair when it is shown: at creation and again here.
  EXPECT_EQ(Run("hide ftree\nshow ftree\nexpect notify 3218 1 0\nexpect notify 3216 0 1\n"
                "expect notify 3218\nexpect notify 3216\nexpect notify 3216\n"),
            1);
  EXPECT_TRUE(HasLine("notify 3218 1 0"));
}

TEST_F(ScenarioRun, StepsThatCannotBeCarriedOutStopTheRun) {
  Run("click nowhere 1 1\nadvance 5\n");
  EXPECT_FALSE(ok_);
  EXPECT_EQ(error_, "line 1: no panel \"nowhere\"");
  Run("notify 3104 pos:MurFriendData:nobody\n");
  EXPECT_FALSE(ok_);
  Run("key setup NoSuchKey\n");
  EXPECT_FALSE(ok_);
}

TEST_F(ScenarioRun, DumpListsThePanelsWindows) {
  EXPECT_EQ(Run("dump setup\n"), 0);
  EXPECT_TRUE(ok_);
  EXPECT_TRUE(HasLine("panel setup PluginSysSetup visible"));
}

TEST_F(ScenarioRun, HostAnswersDefaultGroupsEnterpriseSettingsAndMessageBoxes) {
  host_.Data().DefaultGroups()[64] = u"陌生人";
  host_.Data().EnterpriseParams()[u"imu/disableTrueName"] = u"1";
  CQWRequest ask(&host_.Requests(), u"sys/DefGroup");
  CQWPayload a1 = ask.Area1(136);
  ask.Area2().PutInt(0, 1);
  a1.PutInt(0, 64);
  ask.Process();
  EXPECT_EQ(a1.GetText(4, 64), u"陌生人");

  CQWRequest param(&host_.Requests(), u"sys/EnterPriseParam");
  CQWPayload p = param.Area1();
  p.PutText(0, u"imu", 64);
  p.PutText(128, u"disableTrueName", 64);
  param.Process();
  EXPECT_EQ(p.GetText(256, 64), u"1");

  EXPECT_EQ(Run("msgbox no\n"), 0);
  CQWRequest box(&host_.Requests(), u"sys/Msgbox");
  CQWPayload b = box.Area1();
  b.PutInt(0, 4);
  b.PutText(4, u"确认", 64);
  b.PutText(132, u"移除频道？", 260);
  EXPECT_EQ(box.Process(), std::optional<int>(7));
  EXPECT_TRUE(HasLine("msgbox \"确认\" \"移除频道？\" type=4 answer=7"));
}

TEST_F(ScenarioRun, ScriptedAnswersReachThePanel) {
  EXPECT_EQ(Run("answer sys/EnterPriseParam 3 area1@256=text:\"是\" once\n"), 0);
  CQWRequest param(&host_.Requests(), u"sys/EnterPriseParam");
  CQWPayload p = param.Area1();
  EXPECT_EQ(param.Process(), std::optional<int>(3));
  EXPECT_EQ(p.GetText(256, 64), u"是");
  EXPECT_EQ(Run("expect request sys/EnterPriseParam\nnoprocessor sys/Setup\nclick setup 5 5\n"
                "expect norequest\n"),
            0);
}

TEST(HostSession, ABadLayoutOrLibraryIsReported) {
  CHostSession host;
  EXPECT_FALSE(host.LoadLibrary(u"/nonexistent/libList.so"));
  EXPECT_FALSE(host.LastError().empty());
  ASSERT_TRUE(host.LoadLibrary()) << host.LastError();
  EXPECT_FALSE(host.LoadLayoutText("<layout><panel type='PluginNothing'/></layout>"));
  EXPECT_NE(host.LastError().find("PluginNothing"), std::string::npos);
  EXPECT_FALSE(host.LoadLayoutText("<layout><panel type='PluginMenu' rect='1,2'/></layout>"));
  EXPECT_FALSE(host.LoadLayoutText("<notalayout/>"));
}

TEST(HostSession, TheContainerShowsPagesByName) {
  CHostSession host;
  ASSERT_TRUE(host.LoadLibrary()) << host.LastError();
  ASSERT_TRUE(
      host.LoadLayoutText("<layout><panel type='PluginQTree' name='groups' rect='0,0,50,50' "
                          "visible='0'/></layout>"));
  const int index = host.FindIndex(u"groups");
  ASSERT_EQ(index, 0);
  EXPECT_FALSE(host.Panel(u"groups")->plugin->IsVisible());
  EXPECT_TRUE(host.ShowIndex(index, TRUE));
  EXPECT_TRUE(host.Panel(u"groups")->plugin->IsVisible());
  EXPECT_EQ(host.FindIndex(u"missing"), -1);
  EXPECT_FALSE(host.ShowIndex(5, TRUE));
  EXPECT_EQ(host.FindPlugin(u"groups"), host.Panel(u"groups")->plugin);
}

}  // namespace
