// The global log, the INI wrappers and the resource module.
#include "host/basekit/inifile.h"
#include "host/basekit/log.h"
#include "host/basekit/resource.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace {

TEST(GlobalLog, WritesTimeLevelAndTextPerLine) {
  TempDir dir;
  std::u16string path = dir.wide("log\\2026-12-08_MainFTree.log");  // folder created on the way
  ASSERT_TRUE(CGlobalLog::SetLogNameT(path.c_str()));
  EXPECT_TRUE(CGlobalLog::IsOpen());
  CGlobalLog::LogT(u"CQWFriendTreeCtrl::OnNotify()", 100);
  CGlobalLog::LogT(u"count of recent contact 3 \r\n", 10);
  CGlobalLog::CloseGlobalLogT();
  CGlobalLog::LogT(u"dropped: no file", 100);
  EXPECT_FALSE(CGlobalLog::IsOpen());

  std::string text = ReadFileText(dir.path() + "/log/2026-12-08_MainFTree.log");
  std::regex line(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} \[(\d+)\] (.*)\r?\n)");
  auto it = std::sregex_iterator(text.begin(), text.end(), line);
  ASSERT_NE(it, std::sregex_iterator());
  EXPECT_EQ((*it)[1], "100");
  EXPECT_EQ((*it)[2], "CQWFriendTreeCtrl::OnNotify()");
  ++it;
  ASSERT_NE(it, std::sregex_iterator());
  EXPECT_EQ((*it)[1], "10");
  EXPECT_EQ(text.find("dropped"), std::string::npos);
}

TEST(GlobalLog, ThresholdAndReopenAppend) {
  TempDir dir;
  std::u16string path = dir.wide("a.log");
  ASSERT_TRUE(CGlobalLog::SetLogNameT(path.c_str()));
  CGlobalLog::SetLogLevel(50);
  CGlobalLog::LogT(u"low", 10);
  CGlobalLog::LogT(u"high", 100);
  CGlobalLog::SetLogLevel(0);
  ASSERT_TRUE(CGlobalLog::SetLogNameT(path.c_str()));  // reopening appends
  CGlobalLog::LogT(u"again", 1);
  CGlobalLog::CloseGlobalLogT();
  std::string text = ReadFileText(dir.path() + "/a.log");
  EXPECT_EQ(text.find("low"), std::string::npos);
  EXPECT_NE(text.find("] high\n"), std::string::npos);
  EXPECT_NE(text.find("] again\n"), std::string::npos);
  EXPECT_FALSE(CGlobalLog::SetLogNameT(nullptr));
  EXPECT_FALSE(CGlobalLog::SetLogNameT(dir.wide().c_str()));  // a folder is not a log file
  EXPECT_FALSE(CGlobalLog::IsOpen());
}

TEST(IniFile, NumbersAndTexts) {
  TempDir dir;
  std::u16string file = dir.wide("mycfg.ini");
  CINIFile ini(file.c_str());
  EXPECT_EQ(ini.ReadSet(u"GGPCW", u"VIEWFRIENDALL", 1), 1);  // missing file: default
  EXPECT_TRUE(ini.WriteSet(u"GGPCW", u"VIEWFRIENDALL", 0));
  EXPECT_EQ(ini.ReadSet(u"GGPCW", u"VIEWFRIENDALL", 1), 0);
  EXPECT_EQ(ini.ReadSet(u"ggpcw", u"viewfriendall", 1), 0);  // names ignore case
  EXPECT_TRUE(ini.WriteSet(u"QVXGroupGetMsgType", u"group@host", u"2"));
  EXPECT_EQ(ini.ReadSet(u"QVXGroupGetMsgType", u"group@host", 0), 2);
  EXPECT_EQ(ini.ReadString(u"QVXGroupGetMsgType", u"group@host", u""), u"2");
  EXPECT_EQ(CINIFile().ReadSet(u"a", u"b", 7), 7);  // no file name
  EXPECT_FALSE(CINIFile().WriteSet(u"a", u"b", 1));

  CProfile profile(file.c_str());
  EXPECT_EQ(profile.ReadSet(u"URL", u"register", u"http://default/"), u"http://default/");
  EXPECT_TRUE(profile.WriteSet(u"URL", u"register", u"http://example.test/reg"));
  EXPECT_EQ(profile.ReadSet(u"URL", u"register", u""), u"http://example.test/reg");
  EXPECT_EQ(profile.ReadSet(u"URL", u"register", u"", 11), u"http://exam");  // capped
  EXPECT_EQ(profile.ReadSet(u"URL", u"none", nullptr), u"");
  EXPECT_EQ(profile.ReadInt(u"GGPCW", u"VIEWFRIENDALL", 5), 0);
}

TEST(ResourceMgr, EveryNamedStringHasAChineseText) {
  const UINT ids[] = {1502,  60031, 60032, 60035, 60036, 60042, 60043, 60045, 60049, 60050, 60051,
                      60052, 60053, 60054, 60055, 60056, 60057, 60058, 60059, 60060, 60061, 60062,
                      60064, 60066, 60067, 60071, 60082, 60083, 60084, 60085, 60086, 60087, 60088,
                      60091, 60095, 60096, 60098, 60099, 60101, 60102, 60103, 60104, 60108, 60109,
                      60110, 60111, 60112, 60113, 60114, 60117, 60118, 60120, 60183, 60325, 60574,
                      60598, 60599, 60600, 60601, 60614, 60672, 60693, 60945, 60974, 61011, 61451,
                      61452, 61453, 61454, 61455, 61456, 61463, 61486, 61550, 61582};
  CResourceMgr* res = CResourceMgr::GetInstance();
  ASSERT_NE(res->GetDefRes(), nullptr);
  for (UINT id : ids) {
    std::u16string s = res->GetString(id);
    ASSERT_FALSE(s.empty()) << id;
    bool chinese = false;
    for (char16_t c : s) chinese |= c >= 0x4E00 && c <= 0x9FFF;
    EXPECT_TRUE(chinese || id == 60087 || id == 60088) << id;
  }
  EXPECT_EQ(res->GetString(60066).find(u"%d") != std::u16string::npos, true);
  EXPECT_NE(res->GetString(60325).find(u"%1"), std::u16string::npos);
  EXPECT_EQ(res->GetString(4), u"");
  EXPECT_FALSE(res->HasString(4));
}

TEST(ResourceMgr, DialogTemplates) {
  CResourceMgr* res = CResourceMgr::GetInstance();
  const CDialogTemplate* remark = res->GetDialog(594);
  ASSERT_NE(remark, nullptr);
  ASSERT_NE(remark->Find(1000), nullptr);
  EXPECT_EQ(remark->Find(1000)->className, u"Edit");
  EXPECT_EQ(remark->Find(1000)->limit, 63);
  EXPECT_NE(remark->Find(1), nullptr);  // OK
  EXPECT_NE(remark->Find(2), nullptr);  // Cancel

  const CDialogTemplate* logon = res->GetDialog(596);
  ASSERT_NE(logon, nullptr);
  for (int id :
       {3207, 3320, 3337, 3338, 3344, 2075, 3339, 3347, 3346, 3340, 2669, 3343, 3345, 3341, 3342})
    EXPECT_NE(logon->Find(id), nullptr) << id;
  EXPECT_EQ(logon->Find(2075)->limit, 320);
  EXPECT_EQ(logon->Find(3339)->limit, 400);
  EXPECT_EQ(res->GetDialog(1), nullptr);
}

TEST(ResourceMgr, SkinFileReplacesAndBadFileKeepsCurrent) {
  TempDir dir;
  CResourceMgr* res = CResourceMgr::GetInstance();
  HINSTANCE def = res->GetDefRes();
  std::u16string bad = dir.wide("bad.xml");
  { std::ofstream(dir.path() + "/bad.xml") << "<resources><string id='1'>x</string>"; }
  EXPECT_FALSE(res->LoadResourceFile(bad.c_str()));
  EXPECT_FALSE(res->LoadResourceFile(dir.wide("missing.xml").c_str()));
  EXPECT_EQ(res->GetDefRes(), def);
  {
    std::ofstream(dir.path() + "/skin.xml")
        << "<resources><string id='60598'>在线中</string></resources>";
  }
  EXPECT_TRUE(res->LoadResourceFile(dir.wide("skin.xml").c_str()));
  EXPECT_NE(res->GetDefRes(), def);
  EXPECT_EQ(res->GetString(60598), u"在线中");
  EXPECT_EQ(res->GetString(60599), u"");
  res->ResetToDefault();
  EXPECT_EQ(res->GetDefRes(), def);
  EXPECT_EQ(res->GetString(60598), u"在线");
}

}  // namespace
