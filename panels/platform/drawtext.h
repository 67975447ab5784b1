// Text on device contexts, measured and drawn in the DC's selected font
// through the text stack of fontengine.h: the face, height, weight, italic,
// underline and strike-out of the LOGFONT all count. Glyphs are blended
// over the destination in the text colour; in OPAQUE mode the text's box
// (its width by one line) is first filled with the background colour.
#pragma once

#include "platform/gdi.h"

#include <string_view>

// Width of text and height of one line in a font without a DC (0: the
// default font every DC starts with).
int MeasureText(HFONT font, std::u16string_view text);
int FontLineHeight(HFONT font);

struct TEXTMETRICW {
  LONG tmHeight = 0;
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
};
BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* tm);

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, SIZE* size);
BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR text, int count);
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_BOTTOM = 8;
UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);

// DrawTextW formats.
constexpr UINT DT_TOP = 0x00000000;
constexpr UINT DT_LEFT = 0x00000000;
constexpr UINT DT_CENTER = 0x00000001;
constexpr UINT DT_RIGHT = 0x00000002;
constexpr UINT DT_VCENTER = 0x00000004;
constexpr UINT DT_BOTTOM = 0x00000008;
constexpr UINT DT_WORDBREAK = 0x00000010;
constexpr UINT DT_SINGLELINE = 0x00000020;
constexpr UINT DT_EXPANDTABS = 0x00000040;
constexpr UINT DT_NOCLIP = 0x00000100;
constexpr UINT DT_CALCRECT = 0x00000400;
constexpr UINT DT_NOPREFIX = 0x00000800;
constexpr UINT DT_PATH_ELLIPSIS = 0x00004000;
constexpr UINT DT_END_ELLIPSIS = 0x00008000;
constexpr UINT DT_MODIFYSTRING = 0x00010000;
constexpr UINT DT_WORD_ELLIPSIS = 0x00040000;
// count -1: up to the terminating zero. Without DT_NOPREFIX "&&" shows "&"
// and a single "&" is dropped. Without DT_SINGLELINE lines break at "\n"
// ("\r\n"), and with DT_WORDBREAK also where a line would pass the right
// edge (after a space, or between any two wide characters). The ellipsis
// styles cut each line so that it and "..." fit. DT_VCENTER and DT_BOTTOM
// apply to single lines. DT_CALCRECT draws nothing and sets rc->right and
// rc->bottom to the text's extent. Returns the height of the text.
int DrawTextW(HDC hdc, LPCWSTR text, int count, RECT* rc, UINT format);
// The index of the character boundary in `text` nearest to x pixels from
// its start, measured in the DC's font (hit-testing of typed text).
std::size_t TextPositionFromX(HDC hdc, std::u16string_view text, int x);
// The text DrawTextW would show on one line of `width` pixels with
// DT_END_ELLIPSIS (the text itself when it fits), in the DC's font or the
// default font.
std::u16string EllipsizeText(HDC hdc, std::u16string_view text, int width);
std::u16string EllipsizeText(std::u16string_view text, int width);
