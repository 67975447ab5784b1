// An in-memory 32-bit RGBA picture: what windows and bitmaps draw on.
//
// Pixels are stored row by row, top row first, one 32-bit value each laid out
// as bytes R, G, B, A (so a COLORREF plus an alpha byte), which is the layout
// PNG writers take directly.
#pragma once

#include "platform/windef.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

class Canvas {
 public:
  // How the pixels lie in Data(). Rgba is the canvas's own; the other two
  // are those of a device-independent bitmap whose bits the caller reads and
  // writes directly: bytes B, G, R, A, top row or bottom row first.
  enum class Layout { Rgba, BgraTopDown, BgraBottomUp };

  Canvas() = default;
  // New canvases are opaque black, as new bitmaps on the original platform.
  Canvas(int width, int height, std::uint32_t rgba = 0xFF000000u, Layout layout = Layout::Rgba);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // Keeps the overlapping part; new area is opaque black.
  void Resize(int width, int height);

  // COLORREF of a pixel, CLR_INVALID outside.
  COLORREF GetPixel(int x, int y) const;
  std::uint8_t GetAlpha(int x, int y) const;
  void SetPixel(int x, int y, COLORREF colour);  // opaque
  std::uint32_t GetRgba(int x, int y) const;
  void SetRgba(int x, int y, std::uint32_t rgba);
  // Fills the part of [left, right) x [top, bottom) that lies on the canvas.
  void Fill(const RECT& rc, COLORREF colour);
  void FillRgba(const RECT& rc, std::uint32_t rgba);

  // Number of pixels in rc (clipped) that have the given colour.
  int CountColour(const RECT& rc, COLORREF colour) const;

  Layout PixelLayout() const { return layout_; }
  // The raw pixels in the canvas's layout.
  std::uint32_t* Data() { return pixels_.data(); }
  const std::uint32_t* Data() const { return pixels_.data(); }

  // Writes a PNG file (through a temporary file renamed into place; a
  // failure leaves any old file). The path is a native UTF-8 path.
  bool WritePng(const std::string& path) const;

  static std::uint32_t ToRgba(COLORREF c) { return (c & 0x00FFFFFFu) | 0xFF000000u; }
  static COLORREF ToColour(std::uint32_t rgba) { return rgba & 0x00FFFFFFu; }

 private:
  std::size_t Index(int x, int y) const {
    int row = layout_ == Layout::BgraBottomUp ? height_ - 1 - y : y;
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }
  // Rgba <-> the stored form (swapping red and blue is its own inverse).
  std::uint32_t Stored(std::uint32_t v) const {
    if (layout_ == Layout::Rgba) return v;
    return (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
  }

  Layout layout_ = Layout::Rgba;
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};
