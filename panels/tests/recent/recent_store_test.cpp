// The recent list and its file: loading at logon, adding, the 20-entry cap,
// the record layout byte for byte, and what happens when the file fails.
#include <sys/resource.h>

#include <csignal>

#include "platform/file.h"
#include "platform/shell.h"
#include "recent_fixture.h"

namespace {

using RecentStore = RecentFixture;

TEST_F(RecentStore, StatusTwoThenOwnerInformationLoadsTheFileNewestFirst) {
  WriteFile(Record(1, u"a@zq.com", u"甲") + Record(4096, u"b@zq.com", u"") +
            Record(1, u"c@zq.com", u"丙"));
  Start();
  session.Notify(3076, reinterpret_cast<WPARAM>(owner.data()), 0);
  EXPECT_FALSE(Store().IsLoaded()) << "owner information alone reads nothing";
  EXPECT_TRUE(Texts().empty());
  session.Notify(1476, 0, 2);
  EXPECT_TRUE(Store().IsLoadPending());
  session.Notify(3076, reinterpret_cast<WPARAM>(owner.data()), 0);
  EXPECT_TRUE(Store().IsLoaded());
  EXPECT_FALSE(Store().IsLoadPending());
  EXPECT_EQ(Ids(), (std::vector<std::u16string>{u"a@zq.com", u"b@zq.com", u"c@zq.com"}));
  // An entry without a name shows its identifier up to the "@".
  EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"甲", u"b", u"丙"}));
  EXPECT_EQ(Tree().GetItemMapSize(), 3u);
  for (const auto& e : Store().Entries()) EXPECT_EQ(e->pos, 0u);
}

TEST_F(RecentStore, FileSizesBeyondTheCapAndBelowOneRecord) {
  std::string big;
  for (int i = 0; i < 21; ++i) big += Record(1, u"u" + FromUtf8(std::to_string(i)), u"");
  WriteFile(big.substr(0, 5210));  // 20 whole records and 10 bytes of a 21st
  StartAndLogon();
  EXPECT_EQ(Store().Entries().size(), 20u);
  EXPECT_EQ(Ids().back(), u"u19");

  plugin.reset();
  WriteFile(big.substr(0, 259));
  StartAndLogon();
  EXPECT_TRUE(Store().Entries().empty());
  EXPECT_TRUE(Store().IsLoaded());
}

TEST_F(RecentStore, RecordsReadFromTheFileAreBounded) {
  // Texts without a terminator in their 64 units, and a negative kind.
  std::string bad = Record(1, u"", u"");
  for (int i = 4; i < 260; ++i) bad[i] = 'A';
  WriteFile(bad + Record(-5, u"neg@zq.com", u"负") + Record(64, u"s@zq.com", u"生人"));
  StartAndLogon();
  ASSERT_EQ(Store().Entries().size(), 2u);
  const auto& first = *Store().Entries().front();
  EXPECT_EQ(first.id.size(), 63u);
  EXPECT_EQ(first.name.size(), 63u);
  EXPECT_EQ(Store().Entries().back()->kind, 64);
}

TEST_F(RecentStore, AddingResolvesTheContactAndWritesTheFileAtOnce) {
  const QWPOS g = AddGroup(friends, u"同事");
  AddContact(friends, g, u"li@zq.com", u"李四");
  StartAndLogon();
  AddRecent(1, u"li@zq.com");
  AddRecent(1, u"nobody@zq.com");  // not in the host's data: kept, without a position
  EXPECT_EQ(ReadFile(), Record(1, u"nobody@zq.com", u"") + Record(1, u"li@zq.com", u"李四"));
  EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"nobody", u"李四"}));
  EXPECT_FALSE(Store().IsDirty());
  EXPECT_EQ(Store().Entries().back()->pos, friends->FindById(u"li@zq.com"));
}

TEST_F(RecentStore, AddingAListedContactMovesItToTheFrontWithItsFreshName) {
  const QWPOS g = AddGroup(friends, u"同事");
  const QWPOS li = AddContact(friends, g, u"li@zq.com", u"李四");
  WriteFile(Record(1, u"a@zq.com", u"甲") + Record(1, u"li@zq.com", u"旧名"));
  StartAndLogon();
  friends->Find(li)->name = u"李四新";
  AddRecent(1, u"li@zq.com");
  EXPECT_EQ(Ids(), (std::vector<std::u16string>{u"li@zq.com", u"a@zq.com"}));
  EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"李四新", u"甲"}));
  EXPECT_EQ(Tree().GetItemMapSize(), 2u) << "one item per entry";
  EXPECT_EQ(ReadFile(), Record(1, u"li@zq.com", u"李四新") + Record(1, u"a@zq.com", u"甲"));
}

TEST_F(RecentStore, TheTwentyFirstContactDropsTheOldestFromListTreeAndFile) {
  std::string file;
  for (int i = 0; i < 20; ++i) file += Record(1, u"u" + FromUtf8(std::to_string(i)), u"");
  WriteFile(file);
  StartAndLogon();
  AddRecent(1, u"new");
  ASSERT_EQ(Store().Entries().size(), 20u);
  EXPECT_EQ(Ids().front(), u"new");
  EXPECT_EQ(Ids().back(), u"u18");
  EXPECT_EQ(Tree().GetCount(), 20u);
  EXPECT_EQ(ItemByText(u"u19"), nullptr);
  EXPECT_EQ(ReadFile(), Record(1, u"new", u"") + file.substr(0, 19 * 260));
}

TEST_F(RecentStore, TheSameIdentifierUnderTwoKindsIsTwoContacts) {
  const QWPOS g = AddGroup(friends, u"同事");
  const QWPOS f = AddContact(friends, g, u"wang@zq.com", u"王(好友)", QWSTATUS_ONLINE);
  const QWPOS dept = AddGroup(org, u"部门");
  const QWPOS m = AddContact(org, dept, u"wang@zq.com", u"王(同事)", QWSTATUS_ONLINE);
  StartAndLogon();
  AddRecent(1, u"wang@zq.com");
  AddRecent(4096, u"wang@zq.com");
  AddRecent(1, u"wang@zq.com");
  ASSERT_EQ(Store().Entries().size(), 2u);
  EXPECT_EQ(Store().Entries().front()->kind, 1);
  // A change of the organisation record refreshes the organisation entry only.
  org->Find(m)->status = QWSTATUS_BUSY;
  friends->Find(f)->status = QWSTATUS_OFFLINE;
  session.Notify(3175, m, 0);
  EXPECT_EQ(Image(ItemByText(u"王(同事)")), 3);
  EXPECT_EQ(Image(ItemByText(u"王(好友)")), 1);
}

TEST_F(RecentStore, ALongIdentifierIsStoredCutTo63Characters) {
  StartAndLogon();
  const std::u16string id(70, u'x');
  AddRecent(1, id);
  AddRecent(1, id);  // the same contact again: still one entry
  ASSERT_EQ(Store().Entries().size(), 1u);
  EXPECT_EQ(Store().Entries().front()->id, id.substr(0, 63));
  EXPECT_EQ(ReadFile(), Record(1, id.substr(0, 63), u""));
}

TEST_F(RecentStore, EnterpriseSuffixAndTheFileOfTheAccount) {
  SetOwnerId(u"wang." + tag + u"@corp.zq.com");
  session.Data().EnterpriseParams()[u"imu/disableTrueName"] = u"1";
  StartAndLogon();
  EXPECT_TRUE(Store().IsEnterprise());
  EXPECT_EQ(Store().GetEnterpriseSuffix(), u"." + tag);
  EXPECT_FALSE(Store().IsShowTrueNameSet());
  EXPECT_TRUE(Store().IsInSameEnterprise(u"li." + tag + u"@corp.zq.com"));
  EXPECT_FALSE(Store().IsInSameEnterprise(u"li.other@corp.zq.com"));
  EXPECT_FALSE(Store().IsInSameEnterprise(u"li@" + tag));
  EXPECT_FALSE(Store().IsShowTrueName(u"li." + tag + u"@corp.zq.com"));
  const CHostRequestRecord* ask = LastRequest(u"sys/EnterPriseParam");
  ASSERT_NE(ask, nullptr);
  EXPECT_EQ(HostGetText(ask->area1.bytes.data(), ask->area1.bytes.size(), 0, 64), u"imu");
  EXPECT_EQ(HostGetText(ask->area1.bytes.data(), ask->area1.bytes.size(), 128, 64),
            u"disableTrueName");
  AddRecent(1, u"x@zq.com");
  EXPECT_EQ(Store().GetSettingFilePath(),
            CCommFunction::GetModuleDirectory() + account + u"\\RecentContactFriends.dat");
  EXPECT_EQ(ReadFile(), Record(1, u"x@zq.com", u""));

  // Without a setting, true names are shown; an owner without "." is no enterprise.
  session.Data().EnterpriseParams().clear();
  session.Notify(3076, reinterpret_cast<WPARAM>(owner.data()), 0);
  EXPECT_TRUE(Store().IsShowTrueNameSet());
  SetOwnerId(tag + u"@zq.com");
  session.Notify(3076, reinterpret_cast<WPARAM>(owner.data()), 0);
  EXPECT_FALSE(Store().IsEnterprise());
  EXPECT_TRUE(Store().GetEnterpriseSuffix().empty());
}

TEST_F(RecentStore, AnAtInTheProgramFolderDoesNotCutThePath) {
  const std::filesystem::path program =
      std::filesystem::temp_directory_path() / ("rc@" + ToUtf8(tag));
  std::filesystem::create_directories(program);
  made.push_back(program);
  SetModuleFileNameOverride(FromUtf8((program / "host").string()));
  StartAndLogon();
  AddRecent(1, u"x@zq.com");
  SetModuleFileNameOverride(u"");
  EXPECT_TRUE(std::filesystem::exists(program / ToUtf8(account) / "RecentContactFriends.dat"));
}

TEST_F(RecentStore, NothingIsReadOrWrittenBeforeTheOwnerIsKnown) {
  WriteFile(Record(1, u"old@zq.com", u"旧"));
  Start();
  AddRecent(1, u"early@zq.com");  // loads (nothing: no owner) and cannot write
  EXPECT_TRUE(Store().IsDirty());
  EXPECT_EQ(ReadFile(), Record(1, u"old@zq.com", u"旧"))
      << "another account's file stays as it was";
  // The owner arrives: the early contact joins the owner's list on top.
  Logon();
  EXPECT_EQ(Ids(), (std::vector<std::u16string>{u"early@zq.com", u"old@zq.com"}));
  EXPECT_EQ(ReadFile(), Record(1, u"early@zq.com", u"") + Record(1, u"old@zq.com", u"旧"));
  EXPECT_FALSE(Store().IsDirty());
}

TEST_F(RecentStore, AnOwnerWithPathCharactersHasNoFile) {
  SetOwnerId(u"..");
  StartAndLogon();
  AddRecent(1, u"x@zq.com");
  EXPECT_TRUE(Store().GetSettingFilePath().empty());
  EXPECT_TRUE(Store().IsDirty());
  SetOwnerId(u"a/b@zq.com");
  session.Notify(3076, reinterpret_cast<WPARAM>(owner.data()), 0);
  EXPECT_TRUE(Store().GetSettingFilePath().empty());
}

TEST_F(RecentStore, TheListGoesBackToTheFileItCameFrom) {
  const std::u16string first = account;
  StartAndLogon();
  AddRecent(1, u"x@zq.com");
  const std::filesystem::path firstFile = FilePath();
  SetOwnerId(tag + u"b@zq.com");
  session.Notify(3076, reinterpret_cast<WPARAM>(owner.data()), 0);  // no status 2: no reload
  AddRecent(1, u"y@zq.com");
  EXPECT_FALSE(FileExists()) << "the new owner's file is not written with the old list";
  std::ifstream in(firstFile, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, Record(1, u"y@zq.com", u"") + Record(1, u"x@zq.com", u""));
  EXPECT_EQ(first + u"\\RecentContactFriends.dat",
            Store().GetListFile().substr(CCommFunction::GetModuleDirectory().size()));
}

TEST_F(RecentStore, LogOffWritesAndDropsTheList) {
  StartAndLogon();
  AddRecent(1, u"x@zq.com");
  session.Notify(1476, 1, 0);  // another account type logs off: nothing
  EXPECT_EQ(Store().Entries().size(), 1u);
  session.Notify(1476, 40, 0);  // no such account type
  EXPECT_EQ(Store().Entries().size(), 1u);
  EXPECT_EQ(Store().GetLogonStatus(1), 0);
  session.Notify(1476, 0, 0);
  EXPECT_FALSE(Store().IsLoaded());
  EXPECT_TRUE(Store().Entries().empty());
  EXPECT_EQ(Tree().GetCount(), 0u);
  EXPECT_EQ(ReadFile(), Record(1, u"x@zq.com", u""));
  // The next logon reads it again.
  Logon();
  EXPECT_EQ(Ids(), std::vector<std::u16string>{u"x@zq.com"});
}

TEST_F(RecentStore, ReloadingRemovesTheItemsBeforeTheEntries) {
  WriteFile(Record(1, u"a", u"") + Record(1, u"b", u""));
  StartAndLogon();
  Logon();  // a second logon reads the file again
  EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"a", u"b"}));
  EXPECT_EQ(Tree().GetItemMapSize(), 2u);
  EXPECT_EQ(Tree().GetCount(), 2u);
}

TEST_F(RecentStore, DeleteAllEmptiesTheTreeAndRemovesTheFile) {
  WriteFile(Record(1, u"a", u""));
  StartAndLogon();
  Store().DeleteAllRecentFriend();
  EXPECT_TRUE(Store().Entries().empty());
  EXPECT_EQ(Tree().GetCount(), 0u);
  EXPECT_FALSE(FileExists());
  EXPECT_TRUE(Store().IsLoaded());
}

TEST_F(RecentStore, DestructionWritesALoadedList) {
  StartAndLogon();
  AddRecent(1, u"x@zq.com");
  std::filesystem::remove(FilePath());
  plugin.reset();
  EXPECT_EQ(ReadFile(), Record(1, u"x@zq.com", u""));
}

// A write that fails half-way (the file-size limit stops it after 300
// bytes) leaves the previous file whole and the list marked unsaved; the
// next write saves everything.
TEST_F(RecentStore, AnInterruptedWriteKeepsThePreviousFile) {
  const std::string before = Record(1, u"a", u"") + Record(1, u"b", u"");
  WriteFile(before);
  StartAndLogon();
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit limited = old;
  limited.rlim_cur = 300;
  std::u16string debugged;
  auto previous = SetDebugOutputSink([&](const std::u16string& text) { debugged += text; });
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  AddRecent(1, u"c");
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);
  SetDebugOutputSink(previous);
  EXPECT_EQ(debugged, u"WriteData: Error creating recent file \r\n");
  EXPECT_EQ(ReadFile(), before);
  EXPECT_TRUE(Store().IsDirty());
  EXPECT_EQ(Ids().front(), u"c");
  for (const auto& entry : std::filesystem::directory_iterator(AccountDir()))
    EXPECT_EQ(entry.path().filename(), "RecentContactFriends.dat") << "no temporary file is left";

  AddRecent(1, u"d");
  EXPECT_EQ(ReadFile(), Record(1, u"d", u"") + Record(1, u"c", u"") + before);
  EXPECT_FALSE(Store().IsDirty());
}

}  // namespace
