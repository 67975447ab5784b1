#include "raster.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cmath>

namespace demoart {

Colour Hex(std::uint32_t rgb, float alpha) {
  return {((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f,
          alpha};
}

Colour Mix(Colour a, Colour b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
          a.a + (b.a - a.a) * t};
}

Shape Circle(float cx, float cy, float r) {
  return [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; };
}

Shape Ellipse(float cx, float cy, float rx, float ry) {
  return [=](float x, float y) {
    return (std::hypot((x - cx) / rx, (y - cy) / ry) - 1.0f) * std::min(rx, ry);
  };
}

Shape RoundRect(float x0, float y0, float x1, float y1, float radius) {
  const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
  return [=](float x, float y) {
    const float qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
    return std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) -
           radius;
  };
}

Shape Segment(float ax, float ay, float bx, float by, float width) {
  return [=](float x, float y) {
    const float dx = bx - ax, dy = by - ay;
    const float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? ((x - ax) * dx + (y - ay) * dy) / len2 : 0;
    t = std::clamp(t, 0.0f, 1.0f);
    return std::hypot(x - (ax + t * dx), y - (ay + t * dy)) - width / 2;
  };
}

Shape Ring(float cx, float cy, float r, float width) {
  return [=](float x, float y) { return std::abs(std::hypot(x - cx, y - cy) - r) - width / 2; };
}

Shape Convex(std::vector<std::pair<float, float>> points) {
  return [points = std::move(points)](float x, float y) {
    float d = -1e9f;
    for (std::size_t i = 0; i < points.size(); ++i) {
      const auto [ax, ay] = points[i];
      const auto [bx, by] = points[(i + 1) % points.size()];
      const float ex = bx - ax, ey = by - ay;
      const float len = std::hypot(ex, ey);
      if (len <= 0) continue;
      // Outward normal of a clockwise edge (y grows downwards).
      d = std::max(d, ((x - ax) * -ey + (y - ay) * ex) / len * -1.0f);
    }
    return d;
  };
}

Shape Union(Shape a, Shape b) {
  return [=](float x, float y) { return std::min(a(x, y), b(x, y)); };
}
Shape Intersect(Shape a, Shape b) {
  return [=](float x, float y) { return std::max(a(x, y), b(x, y)); };
}
Shape Subtract(Shape a, Shape b) {
  return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}
Shape Grow(Shape a, float d) {
  return [=](float x, float y) { return a(x, y) - d; };
}

Image::Image(int width, int height)
    : w_(width), h_(height), px_(static_cast<std::size_t>(width) * height, Colour{0, 0, 0, 0}) {}

void Image::Plot(int x, int y, Colour c, float coverage) {
  const float a = std::clamp(coverage, 0.0f, 1.0f) * c.a;
  if (a <= 0) return;
  Colour& d = px_[static_cast<std::size_t>(y) * w_ + x];
  d.r = c.r * a + d.r * (1 - a);
  d.g = c.g * a + d.g * (1 - a);
  d.b = c.b * a + d.b * (1 - a);
  d.a = a + d.a * (1 - a);
}

void Image::Fill(const Shape& shape, Colour colour) { FillGradient(shape, colour, colour, 0, 1); }

void Image::FillGradient(const Shape& shape, Colour top, Colour bottom, float y0, float y1) {
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) {
      // Distances are measured in design units; one pixel of soft edge.
      const float ux = (x + 0.5f - ox_) / unit_, uy = (y + 0.5f - oy_) / unit_;
      const float d = shape(ux, uy) * unit_;
      if (d >= 0.5f) continue;
      const float t = y1 > y0 ? std::clamp((uy - y0) / (y1 - y0), 0.0f, 1.0f) : 0.0f;
      Plot(x, y, Mix(top, bottom, t), 0.5f - d);
    }
}

void Image::Paste(const Image& src, int x, int y) {
  for (int j = 0; j < src.h_; ++j)
    for (int i = 0; i < src.w_; ++i)
      if (x + i >= 0 && y + j >= 0 && x + i < w_ && y + j < h_)
        px_[static_cast<std::size_t>(y + j) * w_ + x + i] =
            src.px_[static_cast<std::size_t>(j) * src.w_ + i];
}

std::vector<std::uint8_t> Image::Rgba(std::uint32_t keyColour) const {
  std::vector<std::uint8_t> out(px_.size() * 4);
  auto byte = [](float v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255));
  };
  for (std::size_t i = 0; i < px_.size(); ++i) {
    const Colour& p = px_[i];
    const std::uint8_t a = byte(p.a);
    if (a == 0) {
      out[i * 4] = (keyColour >> 16) & 0xFF;
      out[i * 4 + 1] = (keyColour >> 8) & 0xFF;
      out[i * 4 + 2] = keyColour & 0xFF;
      out[i * 4 + 3] = 0;
      continue;
    }
    out[i * 4] = byte(p.r / p.a);
    out[i * 4 + 1] = byte(p.g / p.a);
    out[i * 4 + 2] = byte(p.b / p.a);
    out[i * 4 + 3] = a;
  }
  return out;
}

namespace {

void Put16(std::string& s, unsigned v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// Bottom-up BGRA rows, as device-independent bitmaps store them.
void PutBgraRows(std::string& s, const Image& image, std::uint32_t keyColour) {
  const auto rgba = image.Rgba(keyColour);
  for (int y = image.Height() - 1; y >= 0; --y)
    for (int x = 0; x < image.Width(); ++x) {
      const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * image.Width() + x) * 4];
      s.push_back(static_cast<char>(p[2]));
      s.push_back(static_cast<char>(p[1]));
      s.push_back(static_cast<char>(p[0]));
      s.push_back(static_cast<char>(p[3]));
    }
}

}  // namespace

std::string EncodePng(const Image& image, std::uint32_t keyColour) {
  const auto rgba = image.Rgba(keyColour);
  std::string out;
  auto append = [](void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                               static_cast<std::size_t>(size));
  };
  stbi_write_png_to_func(append, &out, image.Width(), image.Height(), 4, rgba.data(),
                         image.Width() * 4);
  return out;
}

std::string EncodeBmp(const Image& image, std::uint32_t keyColour) {
  const std::uint32_t header = 14 + 108;
  const std::uint32_t pixels = static_cast<std::uint32_t>(image.Width()) * image.Height() * 4;
  std::string s;
  s += "BM";
  Put32(s, header + pixels);
  Put32(s, 0);
  Put32(s, header);
  Put32(s, 108);  // BITMAPV4HEADER
  Put32(s, static_cast<std::uint32_t>(image.Width()));
  Put32(s, static_cast<std::uint32_t>(image.Height()));
  Put16(s, 1);
  Put16(s, 32);
  Put32(s, 3);  // BI_BITFIELDS
  Put32(s, pixels);
  Put32(s, 2835);  // 72 dpi
  Put32(s, 2835);
  Put32(s, 0);
  Put32(s, 0);
  Put32(s, 0x00FF0000);
  Put32(s, 0x0000FF00);
  Put32(s, 0x000000FF);
  Put32(s, 0xFF000000);
  Put32(s, 0x73524742);     // sRGB
  s.append(36 + 12, '\0');  // end points and gamma, unused for sRGB
  PutBgraRows(s, image, keyColour);
  return s;
}

std::string EncodeIco(const Image& image) {
  const int w = image.Width(), h = image.Height();
  const std::uint32_t maskRow = static_cast<std::uint32_t>((w + 31) / 32 * 4);
  const std::uint32_t size = 40 + static_cast<std::uint32_t>(w) * h * 4 + maskRow * h;
  std::string s;
  Put16(s, 0);
  Put16(s, 1);  // icon
  Put16(s, 1);  // one image
  s.push_back(static_cast<char>(w >= 256 ? 0 : w));
  s.push_back(static_cast<char>(h >= 256 ? 0 : h));
  s.push_back(0);
  s.push_back(0);
  Put16(s, 1);
  Put16(s, 32);
  Put32(s, size);
  Put32(s, 6 + 16);
  Put32(s, 40);  // BITMAPINFOHEADER; the height counts the mask too
  Put32(s, static_cast<std::uint32_t>(w));
  Put32(s, static_cast<std::uint32_t>(h * 2));
  Put16(s, 1);
  Put16(s, 32);
  Put32(s, 0);
  Put32(s, 0);
  Put32(s, 0);
  Put32(s, 0);
  Put32(s, 0);
  Put32(s, 0);
  PutBgraRows(s, image, 0x000000);
  const auto rgba = image.Rgba();
  for (int y = h - 1; y >= 0; --y) {
    std::string row(maskRow, '\0');
    for (int x = 0; x < w; ++x)
      if (rgba[(static_cast<std::size_t>(y) * w + x) * 4 + 3] == 0)
        row[x / 8] |= static_cast<char>(0x80 >> (x % 8));
    s += row;
  }
  return s;
}

}  // namespace demoart
