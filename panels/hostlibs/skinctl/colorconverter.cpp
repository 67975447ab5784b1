// Tinting towards the base colour, and the skin's colours.
#include "host/skinctl/colorconverter.h"

#include <algorithm>
#include <cmath>

namespace {

COLORREF g_base = RGB(255, 255, 255);
COLORREF g_text = CLR_INVALID;
COLORREF g_dark = CLR_INVALID;

double HueToChannel(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 0.5) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}

BYTE ToByte(double v) { return static_cast<BYTE>(std::clamp(std::lround(v * 255.0), 0L, 255L)); }

}  // namespace

void CColorConverter::RGBtoHSL(COLORREF colour, double& h, double& s, double& l) {
  double r = GetRValue(colour) / 255.0, g = GetGValue(colour) / 255.0,
         b = GetBValue(colour) / 255.0;
  double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  l = (mx + mn) / 2;
  if (mx == mn) {
    h = s = 0;
    return;
  }
  double d = mx - mn;
  s = l > 0.5 ? d / (2 - mx - mn) : d / (mx + mn);
  if (mx == r) h = (g - b) / d + (g < b ? 6 : 0);
  else if (mx == g) h = (b - r) / d + 2;
  else h = (r - g) / d + 4;
  h *= 60;
}

COLORREF CColorConverter::HSLtoRGB(double h, double s, double l) {
  if (s <= 0) return RGB(ToByte(l), ToByte(l), ToByte(l));
  double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
  double p = 2 * l - q;
  double hk = h / 360.0;
  return RGB(ToByte(HueToChannel(p, q, hk + 1.0 / 3)), ToByte(HueToChannel(p, q, hk)),
             ToByte(HueToChannel(p, q, hk - 1.0 / 3)));
}

COLORREF CColorConverter::GetColor(COLORREF base, COLORREF colour) {
  double bh, bs, bl, h, s, l;
  RGBtoHSL(base & 0xFFFFFF, bh, bs, bl);
  if (bs <= 0) return colour;
  RGBtoHSL(colour & 0xFFFFFF, h, s, l);
  return HSLtoRGB(bh, bs, l);
}

BOOL CColorConverter::ConvertBitmap(HBITMAP bitmap, COLORREF base) {
  std::shared_ptr<Canvas> canvas = GetBitmapCanvas(bitmap);
  if (!canvas) return FALSE;
  double bh, bs, bl;
  RGBtoHSL(base & 0xFFFFFF, bh, bs, bl);
  if (bs <= 0) return TRUE;
  for (int y = 0; y < canvas->Height(); ++y)
    for (int x = 0; x < canvas->Width(); ++x) {
      std::uint32_t rgba = canvas->GetRgba(x, y);
      COLORREF tinted = GetColor(base, Canvas::ToColour(rgba));
      canvas->SetRgba(x, y, (rgba & 0xFF000000u) | (tinted & 0x00FFFFFFu));
    }
  return TRUE;
}

COLORREF CColorConverter::GetBaseColor() { return g_base; }
void CColorConverter::SetBaseColor(COLORREF base) { g_base = base & 0xFFFFFF; }

COLORREF GetColorText() { return g_text == CLR_INVALID ? RGB(0, 0, 0) : g_text; }

COLORREF GetColorDark() {
  if (g_dark != CLR_INVALID) return g_dark;
  double h, s, l;
  CColorConverter::RGBtoHSL(g_base, h, s, l);
  if (s <= 0) return RGB(0, 51, 102);
  return CColorConverter::HSLtoRGB(h, s, 0.25);
}

void SetColorText(COLORREF colour) { g_text = colour; }
void SetColorDark(COLORREF colour) { g_dark = colour; }
