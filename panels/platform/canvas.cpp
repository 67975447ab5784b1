#include "platform/canvas.h"

#include "platform/file.h"

#include <stb_image_write.h>

#include <algorithm>

Canvas::Canvas(int width, int height, std::uint32_t rgba, Layout layout)
    : layout_(layout),
      width_(std::max(0, width)),
      height_(std::max(0, height)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), Stored(rgba)) {}

void Canvas::Resize(int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (width == width_ && height == height_) return;
  if (layout_ != Layout::Rgba) {
    Canvas next(width, height, 0xFF000000u, layout_);
    for (int y = 0; y < std::min(height, height_); ++y)
      for (int x = 0; x < std::min(width, width_); ++x) next.SetRgba(x, y, GetRgba(x, y));
    *this = std::move(next);
    return;
  }
  std::vector<std::uint32_t> next(
      static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xFF000000u);
  int w = std::min(width, width_), h = std::min(height, height_);
  for (int y = 0; y < h; ++y)
    std::copy_n(pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_, w,
                next.begin() + static_cast<std::ptrdiff_t>(y) * width);
  pixels_ = std::move(next);
  width_ = width;
  height_ = height;
}

std::uint32_t Canvas::GetRgba(int x, int y) const {
  return Contains(x, y) ? Stored(pixels_[Index(x, y)]) : 0;
}

void Canvas::SetRgba(int x, int y, std::uint32_t rgba) {
  if (Contains(x, y)) pixels_[Index(x, y)] = Stored(rgba);
}

COLORREF Canvas::GetPixel(int x, int y) const {
  return Contains(x, y) ? ToColour(GetRgba(x, y)) : CLR_INVALID;
}

std::uint8_t Canvas::GetAlpha(int x, int y) const {
  return static_cast<std::uint8_t>(GetRgba(x, y) >> 24);
}

void Canvas::SetPixel(int x, int y, COLORREF colour) { SetRgba(x, y, ToRgba(colour)); }

void Canvas::Fill(const RECT& rc, COLORREF colour) { FillRgba(rc, ToRgba(colour)); }

void Canvas::FillRgba(const RECT& rc, std::uint32_t rgba) {
  int l = std::max(0, rc.left), t = std::max(0, rc.top);
  int r = std::min(width_, rc.right), b = std::min(height_, rc.bottom);
  if (r <= l) return;
  for (int y = t; y < b; ++y)
    std::fill_n(pixels_.begin() + static_cast<std::ptrdiff_t>(Index(l, y)), r - l, Stored(rgba));
}

int Canvas::CountColour(const RECT& rc, COLORREF colour) const {
  int l = std::max(0, rc.left), t = std::max(0, rc.top);
  int r = std::min(width_, rc.right), b = std::min(height_, rc.bottom);
  int n = 0;
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x)
      if (GetPixel(x, y) == (colour & 0x00FFFFFFu)) ++n;
  return n;
}

bool Canvas::WritePng(const std::string& path) const {
  if (Empty()) return false;
  if (layout_ != Layout::Rgba) {
    Canvas plain(width_, height_);
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) plain.SetRgba(x, y, GetRgba(x, y));
    return plain.WritePng(path);
  }
  std::string bytes;
  auto append = [](void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                               static_cast<std::size_t>(size));
  };
  if (!stbi_write_png_to_func(append, &bytes, width_, height_, 4, pixels_.data(), width_ * 4))
    return false;
  return WriteFileAtomically(path, bytes);
}
