// Icons from ".ico" files made here (PNG and bitmap pictures), their
// drawing, image copies and device-independent bitmaps.
#include "temp_dir.h"
#include "ui_test_support.h"

#include "platform/bitmap.h"
#include "platform/icon.h"

#include <cstring>
#include <fstream>

using namespace uitest;

namespace {

constexpr COLORREF kRed = RGB(220, 30, 30);
constexpr COLORREF kBlue = RGB(30, 60, 220);
constexpr COLORREF kBackground = RGB(0, 200, 0);

// A square picture in `colour` whose one-pixel border is transparent.
Canvas Framed(int size, COLORREF colour) {
  Canvas c(size, size, 0);
  c.FillRgba(RECT{1, 1, size - 1, size - 1}, Canvas::ToRgba(colour));
  return c;
}

void Put16(std::string& s, unsigned v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

std::string PngBytes(const Canvas& c, const TempDir& dir) {
  std::string path = dir.Path("picture.png");
  EXPECT_TRUE(c.WritePng(path));
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A bitmap picture: header, palette, bottom-up colour rows, then the mask.
// 32 bits keep the picture's alpha; 8 bits use a two-colour palette and
// leave transparency to the mask.
std::string DibBytes(const Canvas& c, int bits) {
  int w = c.Width(), h = c.Height();
  std::string s;
  Put32(s, 40);
  Put32(s, static_cast<std::uint32_t>(w));
  Put32(s, static_cast<std::uint32_t>(2 * h));
  Put16(s, 1);
  Put16(s, static_cast<unsigned>(bits));
  for (int i = 0; i < 6; ++i) Put32(s, 0);
  COLORREF opaque = c.GetPixel(w / 2, h / 2);
  if (bits == 8) {
    Put32(s, 0);  // index 0: black
    Put32(s, (GetRValue(opaque) << 16) | (GetGValue(opaque) << 8) | GetBValue(opaque));  // 1
    for (int i = 2; i < 256; ++i) Put32(s, 0);
  }
  std::size_t stride = (static_cast<std::size_t>(w) * bits + 31) / 32 * 4;
  for (int y = h - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < w; ++x) {
      std::uint32_t p = c.GetRgba(x, y);
      if (bits == 32) {
        row.push_back(static_cast<char>((p >> 16) & 0xFF));
        row.push_back(static_cast<char>((p >> 8) & 0xFF));
        row.push_back(static_cast<char>(p & 0xFF));
        row.push_back(static_cast<char>(p >> 24));
      } else {
        row.push_back(static_cast<char>((p >> 24) ? 1 : 0));
      }
    }
    row.resize(stride, 0);
    s += row;
  }
  std::size_t maskStride = (static_cast<std::size_t>(w) + 31) / 32 * 4;
  for (int y = h - 1; y >= 0; --y) {
    std::string row(maskStride, 0);
    for (int x = 0; x < w; ++x)
      if (!(c.GetRgba(x, y) >> 24))
        row[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
    s += row;
  }
  return s;
}

struct IcoEntry {
  int size;
  int bits;
  std::string data;
};

std::string IcoBytes(const std::vector<IcoEntry>& entries) {
  std::string s;
  Put16(s, 0);
  Put16(s, 1);
  Put16(s, static_cast<unsigned>(entries.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
  for (const auto& e : entries) {
    s.push_back(static_cast<char>(e.size));
    s.push_back(static_cast<char>(e.size));
    s.push_back(0);
    s.push_back(0);
    Put16(s, 1);
    Put16(s, static_cast<unsigned>(e.bits));
    Put32(s, static_cast<std::uint32_t>(e.data.size()));
    Put32(s, offset);
    offset += static_cast<std::uint32_t>(e.data.size());
  }
  for (const auto& e : entries) s += e.data;
  return s;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

class IconTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    dc = CreateCompatibleDC(0);
    bitmap = CreateCompatibleBitmap(dc, 64, 64);
    SelectObject(dc, bitmap);
    Pixels().Fill(RECT{0, 0, 64, 64}, kBackground);
    // A 16 x 16 PNG picture and a 32 x 32 32-bit bitmap; and the other way round
    // with an 8-bit bitmap whose transparency is its mask.
    WriteFile(dir.Path("a.ico"), IcoBytes({{16, 32, PngBytes(Framed(16, kRed), dir)},
                                           {32, 32, DibBytes(Framed(32, kBlue), 32)}}));
    WriteFile(dir.Path("b.ico"), IcoBytes({{16, 8, DibBytes(Framed(16, kBlue), 8)},
                                           {32, 32, PngBytes(Framed(32, kRed), dir)}}));
  }
  void TearDown() override {
    DeleteDC(dc);
    DeleteObject(bitmap);
    UiTest::TearDown();
  }
  HICON Load(const char* name, int size, UINT flags = LR_LOADFROMFILE) {
    return static_cast<HICON>(
        LoadImageW(nullptr, dir.WPath(name).c_str(), IMAGE_ICON, size, size, flags));
  }
  Canvas& Pixels() { return *GetBitmapCanvas(bitmap); }

  TempDir dir;
  HDC dc = 0;
  HBITMAP bitmap = 0;
};

TEST_F(IconTest, EachSizeComesFromItsOwnPicture) {
  struct Case {
    const char* file;
    int size;
    COLORREF colour;
  } cases[] = {
      {"a.ico", 16, kRed}, {"a.ico", 32, kBlue}, {"b.ico", 16, kBlue}, {"b.ico", 32, kRed}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.size));
    HICON icon = Load(c.file, c.size);
    ASSERT_NE(icon, 0u);
    EXPECT_EQ(GetIconCanvas(icon)->Width(), c.size);
    Pixels().Fill(RECT{0, 0, 64, 64}, kBackground);
    ASSERT_TRUE(DrawIconEx(dc, 4, 4, icon, 0, 0, 0, 0, DI_NORMAL));
    // The transparent border keeps the background; the inside is the picture's colour.
    EXPECT_EQ(Pixels().GetPixel(4, 4), kBackground);
    EXPECT_EQ(Pixels().GetPixel(4 + c.size - 1, 4 + c.size / 2), kBackground);
    EXPECT_EQ(Pixels().GetPixel(5, 5), c.colour);
    EXPECT_EQ(Pixels().GetPixel(4 + c.size - 2, 4 + c.size - 2), c.colour);
    EXPECT_EQ(Pixels().CountColour(RECT{0, 0, 64, 64}, c.colour), (c.size - 2) * (c.size - 2));
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
  }
}

TEST_F(IconTest, SizesBetweenAndAroundThePictures) {
  // No size asked: the first picture; LR_DEFAULTSIZE: the 32 x 32 one.
  HICON first = Load("a.ico", 0);
  EXPECT_EQ(GetIconCanvas(first)->Width(), 16);
  HICON standard = Load("a.ico", 0, LR_LOADFROMFILE | LR_DEFAULTSIZE);
  EXPECT_EQ(GetIconCanvas(standard)->GetPixel(16, 16), kBlue);
  // 24: scaled down from the smallest larger picture; 48: up from the largest.
  HICON mid = Load("a.ico", 24);
  EXPECT_EQ(GetIconCanvas(mid)->Width(), 24);
  EXPECT_EQ(GetIconCanvas(mid)->GetPixel(12, 12), kBlue);
  HICON big = Load("b.ico", 48);
  EXPECT_EQ(GetIconCanvas(big)->GetPixel(24, 24), kRed);
  // Drawing scales and may fill a background first.
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  DrawIconEx(dc, 0, 0, first, 32, 32, 0, white, DI_NORMAL);
  EXPECT_EQ(Pixels().GetPixel(1, 1), RGB(255, 255, 255));  // a scaled border pixel
  EXPECT_EQ(Pixels().GetPixel(16, 16), kRed);
  EXPECT_EQ(Pixels().GetPixel(33, 33), kBackground);
  // DI_MASK alone blackens what the icon covers; DI_IMAGE alone ignores alpha.
  Pixels().Fill(RECT{0, 0, 64, 64}, kBackground);
  DrawIconEx(dc, 0, 0, first, 0, 0, 0, 0, DI_MASK);
  EXPECT_EQ(Pixels().GetPixel(8, 8), RGB(0, 0, 0));
  EXPECT_EQ(Pixels().GetPixel(0, 0), kBackground);
  DrawIconEx(dc, 0, 0, first, 0, 0, 0, 0, DI_IMAGE);
  EXPECT_NE(Pixels().GetPixel(0, 0), kBackground);
  ICONINFO info;
  ASSERT_TRUE(GetIconInfo(first, &info));
  EXPECT_EQ(GetBitmapCanvas(info.hbmMask)->GetPixel(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetBitmapCanvas(info.hbmColor)->GetPixel(8, 8), kRed);
  for (HGDIOBJ o : {info.hbmMask, info.hbmColor, white}) DeleteObject(o);
  for (HICON i : {first, standard, mid, big}) DestroyIcon(i);
  // Read as a bitmap, an ".ico" file gives its largest picture.
  auto asBitmap = static_cast<HBITMAP>(
      LoadImageW(nullptr, dir.WPath("b.ico").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(asBitmap, 0u);
  EXPECT_EQ(GetBitmapCanvas(asBitmap)->Width(), 32);
  EXPECT_EQ(GetBitmapCanvas(asBitmap)->GetPixel(16, 16), kRed);
  EXPECT_EQ(GetBitmapCanvas(asBitmap)->GetAlpha(0, 0), 0);
  DeleteObject(asBitmap);
}

TEST_F(IconTest, DamagedFilesGiveNoIcon) {
  std::string good = IcoBytes({{16, 32, PngBytes(Framed(16, kRed), dir)}});
  std::string truncated = good.substr(0, 10);  // the directory is cut
  std::string outside = good;
  outside[21] = '\x7F';  // the picture's offset lies past the end
  std::string wrongSize = IcoBytes({{16, 32, DibBytes(Framed(16, kRed), 32).substr(0, 100)}});
  for (const std::string& bytes : {truncated, outside, wrongSize, std::string("\0\0\1\0\0\0", 6)}) {
    WriteFile(dir.Path("bad.ico"), bytes);
    EXPECT_EQ(Load("bad.ico", 16), 0u);
  }
  EXPECT_EQ(Load("missing.ico", 16), 0u);
  EXPECT_FALSE(DrawIconEx(dc, 0, 0, 0xBAD, 0, 0, 0, 0, DI_NORMAL));
  // A plain PNG file serves as an icon too.
  WriteFile(dir.Path("plain.png"), PngBytes(Framed(16, kBlue), dir));
  HICON plain = Load("plain.png", 0);
  ASSERT_NE(plain, 0u);
  EXPECT_EQ(GetIconCanvas(plain)->GetPixel(8, 8), kBlue);
  // Icons are no GDI objects.
  EXPECT_EQ(GetObjectType(plain), 0u);
  EXPECT_FALSE(DeleteObject(plain));
  EXPECT_TRUE(DestroyIcon(plain));
}

TEST_F(IconTest, CopyImageScalesAndMayDropTheOriginal) {
  Canvas c(4, 2);
  c.Fill(RECT{0, 0, 2, 2}, kRed);
  c.Fill(RECT{2, 0, 4, 2}, kBlue);
  HBITMAP original = CreateBitmapFromCanvas(c);
  auto copy = static_cast<HBITMAP>(CopyImage(original, IMAGE_BITMAP, 8, 4, 0));
  ASSERT_NE(copy, 0u);
  EXPECT_EQ(GetBitmapCanvas(copy)->Width(), 8);
  EXPECT_EQ(GetBitmapCanvas(copy)->GetPixel(7, 3), kBlue);
  GetBitmapCanvas(copy)->SetPixel(0, 0, kBackground);  // copies share nothing
  EXPECT_EQ(GetBitmapCanvas(original)->GetPixel(0, 0), kRed);
  EXPECT_EQ(CopyImage(original, IMAGE_BITMAP, 0, 0, LR_COPYRETURNORG), original);
  auto moved = static_cast<HBITMAP>(CopyImage(original, IMAGE_BITMAP, 0, 0, LR_COPYDELETEORG));
  EXPECT_NE(moved, 0u);
  EXPECT_EQ(GetBitmapCanvas(original), nullptr);
  EXPECT_EQ(CopyImage(moved, IMAGE_ICON, 0, 0, 0), 0u);  // not an icon
  HICON icon = Load("a.ico", 16);
  auto bigger = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, 32, 32, 0));
  EXPECT_EQ(GetIconCanvas(bigger)->Width(), 32);
  EXPECT_EQ(GetIconCanvas(bigger)->GetAlpha(0, 0), 0);
  for (HICON i : {icon, bigger}) DestroyIcon(i);
  for (HBITMAP b : {copy, moved}) DeleteObject(b);
}

TEST_F(IconTest, DibSectionBitsAreTheBitmap) {
  for (LONG height : {3, -3}) {
    SCOPED_TRACE(height);
    BITMAPINFO info;
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biBitCount = 32;
    void* raw = nullptr;
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
    ASSERT_NE(dib, 0u);
    auto* bits = static_cast<std::uint8_t*>(raw);
    EXPECT_EQ(bits[0] | bits[3], 0);  // starts zeroed
    // The first row in memory is the bottom one for a positive height.
    int firstRow = height > 0 ? 2 : 0;
    bits[0] = 10;  // blue
    bits[1] = 20;  // green
    bits[2] = 30;  // red
    bits[3] = 255;
    HDC mem = CreateCompatibleDC(dc);
    SelectObject(mem, dib);
    EXPECT_EQ(GetPixel(mem, 0, firstRow), RGB(30, 20, 10));
    SetPixel(mem, 1, firstRow, RGB(1, 2, 3));
    EXPECT_EQ(bits[4], 3);
    EXPECT_EQ(bits[6], 1);
    BITMAP bm;
    GetObjectW(dib, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBits, raw);
    DeleteDC(mem);
    DeleteObject(dib);
  }
  BITMAPINFO bad;
  bad.bmiHeader.biWidth = 2;
  bad.bmiHeader.biHeight = 2;
  bad.bmiHeader.biBitCount = 24;
  void* bits = &bad;
  EXPECT_EQ(CreateDIBSection(dc, &bad, DIB_RGB_COLORS, &bits, nullptr, 0), 0u);
  EXPECT_EQ(bits, nullptr);
  EXPECT_EQ(CreateDIBSection(dc, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), 0u);
}

}  // namespace
