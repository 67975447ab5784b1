// basekit's helpers that need the platform's UI services: display text,
// bitmaps, the animated picture, the data locker, the log timer, the edition.
#include "host/basekit.h"
#include "host/qwdata.h"
#include "test_util.h"

#include <gtest/gtest.h>

namespace {

TEST(DisplayText, EllipsisFitsTheMeasuredWidth) {
  HDC dc = GetDC(0);  // the default font
  auto w = [](std::u16string_view text) { return MeasureText(0, text); };
  const int dots = w(u"...");
  const std::u16string ascii = u"abcdefghij";
  EXPECT_EQ(CCommFunction::GetDisplayText(dc, ascii, w(ascii)), ascii);  // fits exactly
  EXPECT_EQ(CCommFunction::GetDisplayText(dc, ascii, w(u"abcdef") + dots), u"abcdef...");
  EXPECT_EQ(CCommFunction::GetDisplayText(dc, ascii, w(u"abcde") + dots - 1), u"abcd...");
  EXPECT_EQ(CCommFunction::GetDisplayText(dc, u"聊天好友列表", w(u"聊天好") + dots + 1),
            u"聊天好...");
  EXPECT_EQ(CCommFunction::GetDisplayText(dc, ascii, dots), u"...");
  EXPECT_EQ(CCommFunction::GetDisplayText(dc, ascii, w(u"..")), u"..");  // only dots fit
  EXPECT_EQ(CCommFunction::GetDisplayText(dc, ascii, w(u".") - 1), u"");
  EXPECT_EQ(CCommFunction::GetDisplayText(dc, u"", 0), u"");
  RECT rc{10, 0, 10 + w(u"abcd") + dots, 20};
  EXPECT_EQ(CCommFunction::GetDisplayText(dc, ascii, rc), u"abcd...");
  // A surrogate pair is never cut in half.
  std::u16string emoji = u"ab\U0001F600\U0001F600\U0001F600";
  EXPECT_EQ(CCommFunction::GetDisplayText(dc, emoji, w(u"ab\U0001F600") + dots),
            u"ab\U0001F600...");
  EXPECT_EQ(CCommFunction::GetDisplayText(dc, emoji, w(u"ab\U0001F600") + dots - 1), u"ab...");
  ReleaseDC(0, dc);
}

TEST(CommFunction, PrivateRoomsAndModuleDirectory) {
  EXPECT_TRUE(CCommFunction::IsPrivateRoom(u"private-sales@muc.example"));
  EXPECT_TRUE(CCommFunction::IsPrivateRoom(u"PRIVATE_1"));
  EXPECT_TRUE(CCommFunction::IsPrivateRoom(u"~team@muc"));
  EXPECT_FALSE(CCommFunction::IsPrivateRoom(u"sales@private.example"));  // only the part before "@"
  EXPECT_FALSE(CCommFunction::IsPrivateRoom(u"room42"));
  EXPECT_FALSE(CCommFunction::IsPrivateRoom(u""));
  EXPECT_FALSE(CCommFunction::IsPrivateRoom(nullptr));
  std::u16string dir = CCommFunction::GetModuleDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_TRUE(dir.back() == u'/' || dir.back() == u'\\');
}

TEST(ProductType, EditionChoosesTheRegistryNames) {
  CProductType::SetProductType(0);
  EXPECT_EQ(CProductType::GetProductType(), 0);
  std::u16string personalKey = CProductType::GetRegSubKey();
  std::u16string personalUser = CProductType::GetUserIDKey();
  CProductType::SetProductType(1);
  EXPECT_EQ(CProductType::GetProductType(), 1);
  EXPECT_NE(CProductType::GetRegSubKey(), personalKey);
  EXPECT_NE(CProductType::GetUserIDKey(), personalUser);
  EXPECT_EQ(CProductType::GetRegSubKey().rfind(u"Software\\", 0), 0u);
  CProductType::SetProductType(-1);
}

// A strip of `frames` square frames of `side` pixels, frame i filled with colours[i].
std::string WriteStrip(const TempDir& dir, const std::string& name, int side,
                       std::vector<COLORREF> colours) {
  Canvas canvas(side * static_cast<int>(colours.size()), side);
  for (std::size_t i = 0; i < colours.size(); ++i)
    canvas.Fill(RECT{static_cast<LONG>(i) * side, 0, static_cast<LONG>(i + 1) * side, side},
                colours[i]);
  std::string path = dir.path() + "/" + name;
  EXPECT_TRUE(canvas.WritePng(path));
  return path;
}

TEST(DealBitmap, FromImageBytes) {
  TempDir dir;
  std::string png = ReadFileText(WriteStrip(dir, "p.png", 4, {RGB(10, 20, 30)}));
  HBITMAP bmp = CDealBitmap::GetHandleFromBuf(reinterpret_cast<const BYTE*>(png.data()),
                                              static_cast<UINT>(png.size()));
  ASSERT_NE(bmp, 0u);
  std::shared_ptr<Canvas> c = GetBitmapCanvas(bmp);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->Width(), 4);
  EXPECT_EQ(c->GetPixel(1, 1), RGB(10, 20, 30));
  DeleteObject(bmp);
  const BYTE junk[] = {1, 2, 3, 4, 5};
  EXPECT_EQ(CDealBitmap::GetHandleFromBuf(junk, sizeof junk), 0u);
  EXPECT_EQ(CDealBitmap::GetHandleFromBuf(nullptr, 10), 0u);
}

TEST(PictureEx, StripFramesAdvanceOnTheClock) {
  ResetUserInterface();
  TempDir dir;
  std::string path =
      WriteStrip(dir, "anim.png", 10, {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)});
  CWnd host;
  ASSERT_TRUE(
      host.CreateEx(0, nullptr, u"host", WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100}, nullptr, 0));
  CPictureEx pic;
  ASSERT_TRUE(pic.Create(0, RECT{0, 0, 10, 10}, &host));
  EXPECT_FALSE(pic.Load(dir.wide("missing.png").c_str()));
  ASSERT_TRUE(pic.Load(std::u16string(path.begin(), path.end()).c_str()));
  EXPECT_EQ(pic.GetFrameCount(), 3);
  EXPECT_EQ(pic.GetSize().cx, 10);
  EXPECT_TRUE(pic.Draw());
  EXPECT_TRUE(pic.IsPlaying());
  EXPECT_TRUE(pic.IsWindowVisible());
  EXPECT_EQ(pic.GetCurrentFrame(), 0);
  AdvanceClock(100);
  EXPECT_EQ(pic.GetCurrentFrame(), 1);
  UpdateWindow(pic);
  EXPECT_EQ(RenderWindow(pic).GetPixel(5, 5), RGB(0, 255, 0));
  AdvanceClock(200);
  EXPECT_EQ(pic.GetCurrentFrame(), 0);  // wrapped
  pic.Stop();
  AdvanceClock(500);
  EXPECT_EQ(pic.GetCurrentFrame(), 0);
  pic.DestroyWindow();
  host.DestroyWindow();
  ResetUserInterface();
}

TEST(PictureEx, GifFramesKeepTheirOwnDelays) {
  ResetUserInterface();
  TempDir dir;
  // A 1 x 1 GIF of two frames: red for 100 ms, then green for 200 ms.
  const unsigned char gif[] = {
      'G',  'I',  'F', '8', '9',  'a', 1, 0, 1, 0, 0x80, 0, 0,  // screen, 2-colour table
      0xFF, 0,    0,   0,   0xFF, 0,                            // red, green
      0x21, 0xF9, 4,   0,   10,   0,   0, 0,                    // 10/100 s
      0x2C, 0,    0,   0,   0,    1,   0, 1, 0, 0, 2,    2, 0x44, 0x01, 0,  // pixel of colour 0
      0x21, 0xF9, 4,   0,   20,   0,   0, 0,                                // 20/100 s
      0x2C, 0,    0,   0,   0,    1,   0, 1, 0, 0, 2,    2, 0x4C, 0x01, 0,  // pixel of colour 1
      0x3B};
  {
    std::ofstream(dir.path() + "/a.gif", std::ios::binary)
        .write(reinterpret_cast<const char*>(gif), sizeof gif);
  }
  CWnd host;
  ASSERT_TRUE(
      host.CreateEx(0, nullptr, u"host", WS_POPUP | WS_VISIBLE, RECT{0, 0, 50, 50}, nullptr, 0));
  CPictureEx pic;
  ASSERT_TRUE(pic.Create(WS_VISIBLE, RECT{0, 0, 1, 1}, &host));
  ASSERT_TRUE(pic.Load(dir.wide("a.gif").c_str()));
  ASSERT_EQ(pic.GetFrameCount(), 2);
  pic.Draw();
  UpdateWindow(pic);
  EXPECT_EQ(RenderWindow(pic).GetPixel(0, 0), RGB(255, 0, 0));
  AdvanceClock(99);
  EXPECT_EQ(pic.GetCurrentFrame(), 0);
  AdvanceClock(1);
  EXPECT_EQ(pic.GetCurrentFrame(), 1);
  UpdateWindow(pic);
  EXPECT_EQ(RenderWindow(pic).GetPixel(0, 0), RGB(0, 255, 0));
  AdvanceClock(150);
  EXPECT_EQ(pic.GetCurrentFrame(), 1);  // the second frame stays 200 ms
  AdvanceClock(50);
  EXPECT_EQ(pic.GetCurrentFrame(), 0);
  pic.UnLoad();
  EXPECT_FALSE(pic.IsLoaded());
  EXPECT_FALSE(pic.Draw());
  pic.DestroyWindow();
  host.DestroyWindow();
  ResetUserInterface();
}

// A data object that only counts its lock.
class LockCounter : public CQWData {
 public:
  int depth = 0, locks = 0;
  const char16_t* GetDataName() const override { return u"MurFriendData"; }
  void Lock() override { ++depth, ++locks; }
  void Unlock() override { --depth; }
  QWPOS GetFirstPosition() const override { return 0; }
  QWPOS GetNextPosition(QWPOS) const override { return 0; }
  QWPOS GetPrevPosition(QWPOS) const override { return 0; }
  QWPOS GetParentPosition(QWPOS) const override { return 0; }
  QWPOS GetFirstChildPosition(QWPOS) const override { return 0; }
  int GetTopCount() const override { return 0; }
  QWPOS GetHeadPosition() const override { return 0; }
  std::unique_ptr<CQWDataItem> GetNextItem(QWPOS&) const override { return nullptr; }
  std::unique_ptr<CQWDataItem> GetItem(QWPOS) const override { return nullptr; }
  bool SetItem(QWPOS, const CQWDataItem&) override { return false; }
  std::unique_ptr<CQWDataID> CreateID(const std::u16string&) const override { return nullptr; }
  QWPOS FindPosition(const CQWDataID&) const override { return 0; }
  QWPOS FindPosition(const CQWDataSearch&) const override { return 0; }
  std::unique_ptr<CQWDataItem> NewItem() const override { return nullptr; }
  std::unique_ptr<CQWDataItem> NewGroupItem(const std::u16string&) const override {
    return nullptr;
  }
  QWPOS InsertItem(QWPOS, QWPOS, const CQWDataItem&) override { return 0; }
  void Reset() override {}
  int GetRole(const std::u16string&, const std::u16string&) const override { return 0; }
  bool CanBroadcast() const override { return false; }
  QWPOS GetCurrentPosition() const override { return 0; }
  bool GetSwitch() const override { return false; }
  void SetSwitch(bool) override {}
};

TEST(DataLocker, HoldsTheLockForItsScope) {
  LockCounter data;
  {
    CQWDataLocker lock(&data);
    EXPECT_EQ(data.depth, 1);
    {
      CQWDataLocker inner(&data);
      EXPECT_EQ(data.depth, 2);
      inner.Unlock();
      EXPECT_EQ(data.depth, 1);
    }
    EXPECT_EQ(data.depth, 1);  // an early unlock is not repeated
  }
  EXPECT_EQ(data.depth, 0);
  EXPECT_EQ(data.locks, 2);
  CQWDataLocker none(nullptr);  // no data object: nothing to lock
}

TEST(LogTimer, LogsTheElapsedClockTime) {
  ResetUserInterface();
  TempDir dir;
  std::u16string path = dir.wide("t.log");
  ASSERT_TRUE(CGlobalLog::SetLogNameT(path.c_str()));
  {
    CLogTimer timer(u"CQWFriendTreeCtrl::LoadData()", 10);
    AdvanceClock(250);
  }
  CGlobalLog::CloseGlobalLogT();
  std::string text = ReadFileText(dir.path() + "/t.log");
  EXPECT_NE(text.find("[10] CQWFriendTreeCtrl::LoadData() took 250 ms\n"), std::string::npos)
      << text;
  ResetUserInterface();
}

}  // namespace
