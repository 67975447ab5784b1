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
  Canvas() = default;
  // New canvases are opaque black, as new bitmaps on the original platform.
  Canvas(int width, int height, std::uint32_t rgba = 0xFF000000u);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // Keeps the overlapping part; new area is opaque black.
  void Resize(int width, int height);

  // COLORREF of a pixel, CLR_INVALID outside.
  COLORREF GetPixel(int x, int y) const;
  std::uint8_t GetAlpha(int x, int y) const;
  void SetPixel(int x, int y, COLORREF colour);   // opaque
  std::uint32_t GetRgba(int x, int y) const;
  void SetRgba(int x, int y, std::uint32_t rgba);
  // Fills the part of [left, right) x [top, bottom) that lies on the canvas.
  void Fill(const RECT& rc, COLORREF colour);
  void FillRgba(const RECT& rc, std::uint32_t rgba);

  // Number of pixels in rc (clipped) that have the given colour.
  int CountColour(const RECT& rc, COLORREF colour) const;

  std::uint32_t* Data() { return pixels_.data(); }
  const std::uint32_t* Data() const { return pixels_.data(); }

  // Writes a PNG file (through a temporary file renamed into place; a
  // failure leaves any old file). The path is a native UTF-8 path.
  bool WritePng(const std::string& path) const;

  static std::uint32_t ToRgba(COLORREF c) { return (c & 0x00FFFFFFu) | 0xFF000000u; }
  static COLORREF ToColour(std::uint32_t rgba) { return rgba & 0x00FFFFFFu; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};
