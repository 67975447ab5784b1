// A small anti-aliased painter for the demo's artwork: shapes are signed
// distance functions (negative inside), filled with one-pixel soft edges, so
// every icon comes out crisp at 16 pixels and smooth at 96.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace demoart {

struct Colour {
  float r = 0, g = 0, b = 0, a = 1;  // straight alpha, 0..1
};
// 0xRRGGBB as written in style sheets, with an optional alpha.
Colour Hex(std::uint32_t rgb, float alpha = 1.0f);
Colour Mix(Colour a, Colour b, float t);

// Distance from a point to a shape's outline, negative inside.
using Shape = std::function<float(float x, float y)>;

Shape Circle(float cx, float cy, float r);
Shape Ellipse(float cx, float cy, float rx, float ry);
Shape RoundRect(float x0, float y0, float x1, float y1, float radius);
// A stroke from a to b with round caps, `width` thick.
Shape Segment(float ax, float ay, float bx, float by, float width);
// A ring along a circle, `width` thick.
Shape Ring(float cx, float cy, float r, float width);
// A convex polygon given clockwise in screen co-ordinates.
Shape Convex(std::vector<std::pair<float, float>> points);
Shape Union(Shape a, Shape b);
Shape Intersect(Shape a, Shape b);
Shape Subtract(Shape a, Shape b);
// The shape grown by d (negative shrinks).
Shape Grow(Shape a, float d);

class Image {
 public:
  Image(int width, int height);
  int Width() const { return w_; }
  int Height() const { return h_; }

  // Draws in a design space `unit` pixels to the unit, shifted by (ox, oy)
  // pixels: icons are drawn once on a 16-unit grid and scaled to any size.
  void SetTransform(float unit, float ox = 0, float oy = 0) {
    unit_ = unit;
    ox_ = ox;
    oy_ = oy;
  }
  void Fill(const Shape& shape, Colour colour);
  // Fills with a vertical gradient from `top` (y0) to `bottom` (y1), design units.
  void FillGradient(const Shape& shape, Colour top, Colour bottom, float y0, float y1);
  // Copies `src` with its top-left corner at pixel (x, y).
  void Paste(const Image& src, int x, int y);

  // RGBA bytes, straight alpha. Fully transparent pixels carry `keyColour`
  // (0xRRGGBB) so that pictures blitted with a colour key stay clean.
  std::vector<std::uint8_t> Rgba(std::uint32_t keyColour = 0xFF00FF) const;

 private:
  void Plot(int x, int y, Colour c, float coverage);
  int w_, h_;
  float unit_ = 1, ox_ = 0, oy_ = 0;
  std::vector<Colour> px_;  // premultiplied
};

// Encoders; each returns the file's bytes.
std::string EncodePng(const Image& image, std::uint32_t keyColour = 0xFF00FF);
// A 32-bit BMP with an alpha channel (BITMAPV4HEADER, bit fields).
std::string EncodeBmp(const Image& image, std::uint32_t keyColour = 0xFF00FF);
// A one-image ICO holding a 32-bit DIB with its AND mask.
std::string EncodeIco(const Image& image);

}  // namespace demoart
