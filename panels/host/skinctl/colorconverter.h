// skinctl: tinting colours and images towards the client's base colour, and
// the current skin's colours.
//
// Rule: a colour keeps its lightness and takes the hue and saturation of the
// base colour. A base colour without saturation (white, the default, greys
// and black) leaves every colour as it is.
#pragma once

#include "platform/framework.h"

class CColorConverter {
 public:
  // `colour` tinted towards `base`.
  static COLORREF GetColor(COLORREF base, COLORREF colour);
  // Tints every pixel of the bitmap in place (alpha kept); FALSE for a
  // handle that is not a bitmap.
  static BOOL ConvertBitmap(HBITMAP bitmap, COLORREF base);
  // The same with the current base colour.
  static BOOL ConvertBitmap(HBITMAP bitmap) { return ConvertBitmap(bitmap, GetBaseColor()); }

  // The client's current base colour (white until set).
  static COLORREF GetBaseColor();
  static void SetBaseColor(COLORREF base);

  // Colour space helpers: hue 0..360, saturation and lightness 0..1.
  static void RGBtoHSL(COLORREF colour, double& h, double& s, double& l);
  static COLORREF HSLtoRGB(double h, double s, double l);
};

// The current skin's text colour (default black) and dark colour (default:
// the base colour's dark shade, RGB(0, 51, 102) for the white base).
COLORREF GetColorText();
COLORREF GetColorDark();
// Overrides for a skin; CLR_INVALID returns to the default.
void SetColorText(COLORREF colour);
void SetColorDark(COLORREF colour);
