// The text stack under every text call: HarfBuzz shapes, FreeType draws, from
// one CJK outline font installed with the system packages.
//
// Layout is the same on every machine that has those packages: the font is
// read from a fixed path (no font configuration of the user is consulted),
// glyphs are hinted only vertically, by FreeType's own auto-hinter, and
// never taken from embedded bitmaps, and kerning and ligatures are off, so
// that a character's advance never depends on its neighbours. Every glyph starts on a whole pixel
// and advances by its rounded advance; the width of a text is the sum of those advances, which
// makes the width of a prefix the position where the rest of the text is
// drawn (ellipses, wrapping and hit-tests rely on that).
//
// Bold is made from the regular outlines, widened by about a 24th of the
// size, and each character advances that much further. Without the font
// file the layer falls back to boxes of fixed proportions, so that a broken
// installation still lays out; FontFileAvailable tells which is in use.
#pragma once

#include "platform/canvas.h"
#include "platform/gdi.h"

#include <string_view>
#include <vector>

namespace platform::text {

struct FontLook {
  int pixels = 12;  // the em size
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int face = 0;  // 0 proportional, 1 fixed pitch
};
// lfHeight < 0 is the em size, > 0 the cell height (ascent + descent), 0 the
// default of 12 pixels; the size is kept between 1 and 400 pixels. A weight
// of 600 or more is bold. Fixed pitch, or a face whose name says mono,
// Courier, Consolas or Terminal, takes the fixed-pitch face.
FontLook LookOf(const LOGFONTW& lf);
// The font selected into a DC (the stock font for a bad handle).
FontLook LookOfFont(HFONT font);

struct FontMetrics {
  int ascent = 0;
  int descent = 0;
  int height = 0;        // ascent + descent: one line
  int aveCharWidth = 0;  // advance of "x"
  int maxCharWidth = 0;  // advance of a CJK ideograph
};
const FontMetrics& MetricsOf(const FontLook& look);

// Where each UTF-16 boundary of `text` lies: n + 1 values, the first 0 and
// the last the width. A position inside a character (a low surrogate, a
// combining mark) has the x of the character's start.
std::vector<int> Boundaries(const FontLook& look, std::u16string_view text);
int TextWidth(const FontLook& look, std::u16string_view text);

// Draws text with the top of its line at (x, top), in device co-ordinates,
// within `clip` and the canvas. Coverage blends the colour over what is
// there; the result is opaque. Control characters and characters the font
// lacks draw nothing but keep their advance.
void DrawText(Canvas& canvas, const RECT& clip, int x, int top, const FontLook& look,
              std::u16string_view text, COLORREF colour);

bool FontFileAvailable();
// The font file read (for diagnostics and the README).
const char* FontFilePath();

}  // namespace platform::text
