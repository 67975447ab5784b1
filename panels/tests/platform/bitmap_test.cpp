#include "ui_test_support.h"

#include "platform/file.h"

#include <cstdio>
#include <filesystem>
#include <string>

using namespace uitest;

namespace {

class BitmapTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    dir = std::filesystem::temp_directory_path() /
          ("bitmap_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    std::filesystem::remove_all(dir);
    UiTest::TearDown();
  }
  std::filesystem::path dir;
};

void Put16(std::string& s, unsigned v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, unsigned v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// A 24-bit bottom-up BMP of 3 x 2 pixels, written by hand: top row red,
// green, blue; bottom row white, black, grey.
std::string SmallBmp() {
  const unsigned w = 3, h = 2, row = 12;  // 9 bytes padded to 12
  std::string s = "BM";
  Put32(s, 54 + row * h);
  Put32(s, 0);
  Put32(s, 54);
  Put32(s, 40);
  Put32(s, w);
  Put32(s, h);
  Put16(s, 1);
  Put16(s, 24);
  Put32(s, 0);
  Put32(s, row * h);
  Put32(s, 2835);
  Put32(s, 2835);
  Put32(s, 0);
  Put32(s, 0);
  auto pixel = [&](unsigned char r, unsigned char g, unsigned char b) {
    s.push_back(static_cast<char>(b));
    s.push_back(static_cast<char>(g));
    s.push_back(static_cast<char>(r));
  };
  pixel(255, 255, 255);  // bottom row first
  pixel(0, 0, 0);
  pixel(128, 128, 128);
  s.append(3, '\0');
  pixel(255, 0, 0);
  pixel(0, 255, 0);
  pixel(0, 0, 255);
  s.append(3, '\0');
  return s;
}

TEST_F(BitmapTest, BmpFileLoadsWithARealDecoder) {
  std::string path = (dir / "photo.bmp").string();
  ASSERT_TRUE(WriteFileAtomically(path, SmallBmp()));
  std::u16string wide(path.begin(), path.end());
  HBITMAP bm =
      static_cast<HBITMAP>(LoadImageW(nullptr, wide.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(bm, 0u);
  BITMAP info;
  ASSERT_EQ(GetObjectW(bm, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 3);
  EXPECT_EQ(info.bmHeight, 2);
  auto c = GetBitmapCanvas(bm);
  EXPECT_EQ(c->GetPixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(c->GetPixel(2, 0), RGB(0, 0, 255));
  EXPECT_EQ(c->GetPixel(2, 1), RGB(128, 128, 128));
  // Scaled on load.
  HBITMAP big =
      static_cast<HBITMAP>(LoadImageW(nullptr, wide.c_str(), IMAGE_BITMAP, 6, 4, LR_LOADFROMFILE));
  EXPECT_EQ(GetBitmapCanvas(big)->GetPixel(5, 0), RGB(0, 0, 255));
  EXPECT_EQ(GetBitmapCanvas(big)->GetPixel(0, 3), RGB(255, 255, 255));
  DeleteObject(bm);
  DeleteObject(big);
}

TEST_F(BitmapTest, PngRoundTripThroughTheCanvasWriter) {
  Canvas picture(4, 3, Canvas::ToRgba(RGB(255, 255, 255)));
  picture.SetPixel(1, 1, RGB(0, 0, 139));
  picture.SetRgba(3, 2, 0x00000000u);  // fully transparent
  std::string path = (dir / "skin.png").string();
  ASSERT_TRUE(picture.WritePng(path));
  // "\" separators as the panels write them.
  std::u16string wide;
  for (char ch : path) wide.push_back(ch == '/' ? u'\\' : static_cast<char16_t>(ch));
  HBITMAP bm =
      static_cast<HBITMAP>(LoadImageW(nullptr, wide.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(bm, 0u);
  auto c = GetBitmapCanvas(bm);
  EXPECT_EQ(c->Width(), 4);
  EXPECT_EQ(c->GetPixel(1, 1), RGB(0, 0, 139));
  EXPECT_EQ(c->GetAlpha(3, 2), 0);
  EXPECT_EQ(c->GetAlpha(0, 0), 255);
  DeleteObject(bm);
}

TEST_F(BitmapTest, BadInputGivesNoBitmap) {
  std::string path = (dir / "broken.png").string();
  ASSERT_TRUE(WriteFileAtomically(path, "\x89PNG not really"));
  std::u16string wide(path.begin(), path.end());
  EXPECT_EQ(LoadImageW(nullptr, wide.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), 0u);
  EXPECT_EQ(LoadImageW(nullptr, u"/no/such/file.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), 0u);
  EXPECT_EQ(LoadImageW(nullptr, MAKEINTRESOURCEW(101), IMAGE_BITMAP, 0, 0, 0), 0u);
  EXPECT_EQ(CreateBitmapFromImageData("xyz", 3), 0u);
  EXPECT_EQ(CreateBitmapFromImageData(nullptr, 0), 0u);
  EXPECT_FALSE(Canvas().WritePng((dir / "empty.png").string()));
}

class ImageListTest : public UiTest {};

TEST_F(ImageListTest, StripsSplitIntoImagesAndMasksAreHonoured) {
  HIMAGELIST list = ImageList_Create(2, 2, ILC_COLOR24 | ILC_MASK, 4, 4);
  Canvas strip(6, 2, Canvas::ToRgba(RGB(255, 0, 255)));
  strip.SetPixel(0, 0, RGB(1, 1, 1));
  strip.SetPixel(2, 0, RGB(2, 2, 2));
  strip.SetPixel(4, 0, RGB(3, 3, 3));
  HBITMAP bm = CreateBitmapFromCanvas(strip);
  EXPECT_EQ(ImageList_AddMasked(list, bm, RGB(255, 0, 255)), 0);
  EXPECT_EQ(ImageList_GetImageCount(list), 3);
  int cx = 0, cy = 0;
  EXPECT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
  EXPECT_EQ(cx, 2);

  HDC dc = CreateCompatibleDC(0);
  HBITMAP target = CreateCompatibleBitmap(dc, 4, 4);
  SelectObject(dc, target);
  GetBitmapCanvas(target)->Fill(RECT{0, 0, 4, 4}, RGB(255, 255, 255));
  EXPECT_TRUE(ImageList_Draw(list, 1, dc, 1, 1, ILD_TRANSPARENT));
  EXPECT_EQ(GetBitmapCanvas(target)->GetPixel(1, 1), RGB(2, 2, 2));
  EXPECT_EQ(GetBitmapCanvas(target)->GetPixel(2, 1), RGB(255, 255, 255));  // masked out
  EXPECT_FALSE(ImageList_Draw(list, 3, dc, 0, 0, ILD_NORMAL));

  Canvas one(2, 2, Canvas::ToRgba(RGB(9, 9, 9)));
  HBITMAP replacement = CreateBitmapFromCanvas(one);
  EXPECT_TRUE(ImageList_Replace(list, 0, replacement, 0));
  EXPECT_EQ(ImageList_GetImageCanvas(list, 0)->GetPixel(1, 1), RGB(9, 9, 9));
  EXPECT_FALSE(ImageList_Replace(list, 5, replacement, 0));
  EXPECT_EQ(ImageList_Add(list, replacement, 0), 3);
  EXPECT_TRUE(ImageList_Remove(list, 0));
  EXPECT_EQ(ImageList_GetImageCount(list), 3);
  EXPECT_TRUE(ImageList_Remove(list, -1));
  EXPECT_EQ(ImageList_GetImageCount(list), 0);
  DeleteDC(dc);
  for (HBITMAP b : {bm, target, replacement}) DeleteObject(b);
  EXPECT_TRUE(ImageList_Destroy(list));
  EXPECT_EQ(ImageList_Add(list, bm, 0), -1);
}

}  // namespace
