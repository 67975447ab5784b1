#include "platform/drawtext.h"

#include "platform/fontengine.h"
#include "platform/ui_internal.h"

#include <algorithm>
#include <vector>

using namespace platform::ui;

namespace {

using platform::text::FontLook;

FontLook LookOfDC(const DeviceContext& dc) { return platform::text::LookOfFont(dc.font); }

int LineHeightOf(const FontLook& look) { return platform::text::MetricsOf(look).height; }

int WidthOf(const FontLook& look, std::u16string_view text) {
  return platform::text::TextWidth(look, text);
}

// Draws one line with its top-left corner at logical (x, y), within `clip`
// (logical; null for the DC's own clip).
void DrawLine(DeviceContext& dc, const FontLook& look, int x, int y, std::u16string_view text,
              const RECT* clip) {
  if (!dc.canvas) return;
  RECT area = dc.clip;
  if (clip) {
    RECT c = *clip;
    OffsetRect(&c, dc.org.x, dc.org.y);
    IntersectRect(&area, &dc.clip, &c);
  }
  if (dc.bkMode == OPAQUE) {
    RECT saved = dc.clip;
    dc.clip = area;
    FillLogical(dc, RECT{x, y, x + WidthOf(look, text), y + LineHeightOf(look)}, dc.bkColour);
    dc.clip = saved;
  }
  platform::text::DrawText(*dc.canvas, area, x + dc.org.x, y + dc.org.y, look, text, dc.textColour);
}

std::u16string StripPrefixes(std::u16string_view text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&') {
      if (i + 1 < text.size() && text[i + 1] == u'&') {
        out.push_back(u'&');
        ++i;
      }
      continue;
    }
    out.push_back(text[i]);
  }
  return out;
}

bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool StartsWide(char16_t c) { return c >= 0x80 && !IsLow(c); }

// Whether a line may break between line[i] and line[i + 1]: after a space,
// after a wide character (not inside a surrogate pair) and before one.
bool BreakAfter(const std::u16string& line, std::size_t i) {
  bool last = i + 1 >= line.size();
  if (line[i] == u' ') return true;
  if (line[i] >= 0x80 && (last || !IsLow(line[i + 1]))) return true;
  return !last && StartsWide(line[i + 1]);
}

// Greedy wrapping at the break opportunities; a word longer than the width
// runs on to the next opportunity.
std::vector<std::u16string> Wrap(const FontLook& look, const std::u16string& line, int width) {
  std::vector<std::u16string> out;
  std::vector<int> bx = platform::text::Boundaries(look, line);
  std::size_t start = 0, n = line.size();
  while (start < n) {
    std::size_t i = start, lastBreak = std::u16string::npos;
    for (; i < n; ++i) {
      if (bx[i + 1] - bx[start] > width && i > start) break;
      if (BreakAfter(line, i)) lastBreak = i + 1;
    }
    if (i >= n) {
      out.push_back(line.substr(start));
      break;
    }
    std::size_t end;
    if (line[i] == u' ') {
      end = i;
    } else if (lastBreak != std::u16string::npos) {
      end = lastBreak;
    } else {
      end = i;
      while (end < n && !BreakAfter(line, end)) ++end;
      end = std::min(n, end + 1);
    }
    std::u16string piece = line.substr(start, end - start);
    while (!piece.empty() && piece.back() == u' ') piece.pop_back();
    out.push_back(piece);
    start = end;
    while (start < n && line[start] == u' ') ++start;
  }
  if (out.empty()) out.emplace_back();
  return out;
}

std::u16string Ellipsize(const FontLook& look, std::u16string_view text, int width) {
  std::vector<int> bx = platform::text::Boundaries(look, text);
  if (bx.back() <= width) return std::u16string(text);
  int dots = WidthOf(look, u"...");
  int avail = width - dots;
  if (avail < 0) {
    // Not even the ellipsis fits: as many dots as do.
    int dot = std::max(1, WidthOf(look, u"."));
    return std::u16string(static_cast<std::size_t>(std::max(0, width / dot)), u'.');
  }
  std::size_t keep = 0;
  while (keep < text.size() && bx[keep + 1] <= avail) ++keep;
  std::u16string out(text.substr(0, keep));
  if (!out.empty() && out.back() >= 0xD800 && out.back() <= 0xDBFF) out.pop_back();
  return out + u"...";
}

}  // namespace

int MeasureText(HFONT font, std::u16string_view text) {
  return WidthOf(platform::text::LookOfFont(font), text);
}

int FontLineHeight(HFONT font) { return LineHeightOf(platform::text::LookOfFont(font)); }

std::u16string EllipsizeText(std::u16string_view text, int width) {
  return Ellipsize(platform::text::LookOfFont(0), text, width);
}

std::u16string EllipsizeText(HDC hdc, std::u16string_view text, int width) {
  DeviceContext* dc = FindDC(hdc);
  return Ellipsize(dc ? LookOfDC(*dc) : platform::text::LookOfFont(0), text, width);
}

std::size_t TextPositionFromX(HDC hdc, std::u16string_view text, int x) {
  DeviceContext* dc = FindDC(hdc);
  std::vector<int> bx =
      platform::text::Boundaries(dc ? LookOfDC(*dc) : platform::text::LookOfFont(0), text);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsLow(text[i])) continue;
    std::size_t next = i + 1;
    if (next < text.size() && IsLow(text[next])) ++next;  // the rest of the character
    if (x < (bx[i] + bx[next]) / 2) return i;
    i = next - 1;
  }
  return text.size();
}

BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* tm) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc || !tm) return FALSE;
  FontLook look = LookOfDC(*dc);
  const auto& m = platform::text::MetricsOf(look);
  *tm = TEXTMETRICW{};
  tm->tmHeight = m.height;
  tm->tmAscent = m.ascent;
  tm->tmDescent = m.descent;
  tm->tmInternalLeading = std::max(0, m.height - look.pixels);
  tm->tmAveCharWidth = m.aveCharWidth;
  tm->tmMaxCharWidth = m.maxCharWidth;
  tm->tmWeight = look.bold ? FW_BOLD : FW_NORMAL;
  tm->tmItalic = look.italic;
  tm->tmUnderlined = look.underline;
  tm->tmStruckOut = look.strikeOut;
  return TRUE;
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, SIZE* size) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc || !size || count < 0 || (count > 0 && !text)) return FALSE;
  FontLook look = LookOfDC(*dc);
  size->cx = WidthOf(look, std::u16string_view(text ? text : u"", static_cast<std::size_t>(count)));
  size->cy = LineHeightOf(look);
  return TRUE;
}

UINT SetTextAlign(HDC hdc, UINT align) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc) return 0xFFFFFFFF;
  UINT old = dc->textAlign;
  dc->textAlign = align;
  return old;
}

UINT GetTextAlign(HDC hdc) {
  DeviceContext* dc = FindDC(hdc);
  return dc ? dc->textAlign : 0xFFFFFFFF;
}

BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR text, int count) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc || count < 0 || (count > 0 && !text)) return FALSE;
  std::u16string_view s(text ? text : u"", static_cast<std::size_t>(count));
  FontLook look = LookOfDC(*dc);
  int w = WidthOf(look, s);
  if ((dc->textAlign & TA_CENTER) == TA_CENTER) x -= w / 2;
  else if (dc->textAlign & TA_RIGHT) x -= w;
  if (dc->textAlign & TA_BOTTOM) y -= LineHeightOf(look);
  DrawLine(*dc, look, x, y, s, nullptr);
  return TRUE;
}

int DrawTextW(HDC hdc, LPCWSTR text, int count, RECT* rc, UINT format) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc || !rc || !text) return 0;
  FontLook look = LookOfDC(*dc);
  int lineHeight = LineHeightOf(look);
  std::u16string s =
      count < 0 ? std::u16string(text) : std::u16string(text, static_cast<std::size_t>(count));
  if (!(format & DT_NOPREFIX)) s = StripPrefixes(s);
  if (format & DT_EXPANDTABS) {
    std::u16string t;
    for (char16_t c : s) {
      if (c == u'\t') t.append(8, u' ');
      else t.push_back(c);
    }
    s = t;
  }
  int width = rc->right - rc->left;
  std::vector<std::u16string> lines;
  if (format & DT_SINGLELINE) {
    lines.push_back(s);
  } else {
    std::size_t start = 0;
    while (start <= s.size()) {
      std::size_t nl = s.find(u'\n', start);
      std::u16string line =
          s.substr(start, nl == std::u16string::npos ? std::u16string::npos : nl - start);
      if (!line.empty() && line.back() == u'\r') line.pop_back();
      if (format & DT_WORDBREAK) {
        for (auto& piece : Wrap(look, line, width)) lines.push_back(piece);
      } else {
        lines.push_back(line);
      }
      if (nl == std::u16string::npos) break;
      start = nl + 1;
    }
  }
  if (s.empty()) lines.clear();
  if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS))
    for (auto& line : lines) line = Ellipsize(look, line, width);
  int height = static_cast<int>(lines.size()) * lineHeight;

  if (format & DT_CALCRECT) {
    int widest = 0;
    for (auto& line : lines) widest = std::max(widest, WidthOf(look, line));
    rc->right = rc->left + widest;
    rc->bottom = rc->top + height;
    return height;
  }

  int y = rc->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = rc->top + (rc->bottom - rc->top - lineHeight) / 2;
    else if (format & DT_BOTTOM) y = rc->bottom - lineHeight;
  }
  const RECT* clip = (format & DT_NOCLIP) ? nullptr : rc;
  for (auto& line : lines) {
    int lw = WidthOf(look, line);
    int x = rc->left;
    if (format & DT_CENTER) x = rc->left + (width - lw) / 2;
    else if (format & DT_RIGHT) x = rc->right - lw;
    DrawLine(*dc, look, x, y, line, clip);
    y += lineHeight;
  }
  return height;
}
