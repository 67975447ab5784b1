#include "platform/drawtext.h"

#include "platform/ui_internal.h"

#include <algorithm>
#include <vector>

using namespace platform::ui;

namespace fontmodel {

int CharWidth(char16_t unit) {
  if (unit >= 0xDC00 && unit <= 0xDFFF) return 0;
  return unit < 0x80 ? kAsciiWidth : kWideWidth;
}

int TextWidth(std::u16string_view text) {
  int w = 0;
  for (char16_t c : text) w += CharWidth(c);
  return w;
}

}  // namespace fontmodel

namespace {

using namespace fontmodel;

bool Drawn(char16_t c) { return c > 0x20 && c != 0x7F && c != 0x3000 && !(c >= 0xDC00 && c <= 0xDFFF); }

// Draws one line with its top-left corner at logical (x, y), within `clip`
// (logical; null for the DC's own clip).
void DrawLine(DeviceContext& dc, int x, int y, std::u16string_view text, const RECT* clip) {
  RECT saved = dc.clip;
  if (clip) {
    RECT c = *clip;
    OffsetRect(&c, dc.org.x, dc.org.y);
    IntersectRect(&dc.clip, &saved, &c);
  }
  for (char16_t ch : text) {
    int w = CharWidth(ch);
    if (w == 0) continue;
    if (dc.bkMode == OPAQUE) FillLogical(dc, RECT{x, y, x + w, y + kLineHeight}, dc.bkColour);
    if (Drawn(ch)) FillLogical(dc, RECT{x + 1, y + 3, x + w - 1, y + kAscent}, dc.textColour);
    x += w;
  }
  dc.clip = saved;
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
std::vector<std::u16string> Wrap(const std::u16string& line, int width) {
  std::vector<std::u16string> out;
  std::size_t start = 0, n = line.size();
  while (start < n) {
    int w = 0;
    std::size_t i = start, lastBreak = std::u16string::npos;
    for (; i < n; ++i) {
      int cw = CharWidth(line[i]);
      if (w + cw > width && i > start) break;
      w += cw;
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

}  // namespace

std::u16string EllipsizeText(std::u16string_view text, int width) {
  if (TextWidth(text) <= width) return std::u16string(text);
  int avail = width - kEllipsisWidth;
  if (avail < 0) return std::u16string(static_cast<std::size_t>(std::max(0, width / kAsciiWidth)), u'.');
  std::u16string out;
  int w = 0;
  for (char16_t c : text) {
    int cw = CharWidth(c);
    if (w + cw > avail) break;
    out.push_back(c);
    w += cw;
  }
  if (!out.empty() && out.back() >= 0xD800 && out.back() <= 0xDBFF) out.pop_back();
  return out + u"...";
}

BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* tm) {
  if (!FindDC(hdc) || !tm) return FALSE;
  *tm = TEXTMETRICW{};
  tm->tmHeight = kLineHeight;
  tm->tmAscent = kAscent;
  tm->tmDescent = kDescent;
  tm->tmAveCharWidth = kAsciiWidth;
  tm->tmMaxCharWidth = kWideWidth;
  tm->tmWeight = FW_NORMAL;
  return TRUE;
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, SIZE* size) {
  if (!FindDC(hdc) || !size || count < 0 || (count > 0 && !text)) return FALSE;
  size->cx = TextWidth(std::u16string_view(text ? text : u"", static_cast<std::size_t>(count)));
  size->cy = kLineHeight;
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
  int w = TextWidth(s);
  if ((dc->textAlign & TA_CENTER) == TA_CENTER) x -= w / 2;
  else if (dc->textAlign & TA_RIGHT) x -= w;
  if (dc->textAlign & TA_BOTTOM) y -= kLineHeight;
  DrawLine(*dc, x, y, s, nullptr);
  return TRUE;
}

int DrawTextW(HDC hdc, LPCWSTR text, int count, RECT* rc, UINT format) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc || !rc || !text) return 0;
  std::u16string s = count < 0 ? std::u16string(text) : std::u16string(text, static_cast<std::size_t>(count));
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
      std::u16string line = s.substr(start, nl == std::u16string::npos ? std::u16string::npos : nl - start);
      if (!line.empty() && line.back() == u'\r') line.pop_back();
      if (format & DT_WORDBREAK) {
        for (auto& piece : Wrap(line, width)) lines.push_back(piece);
      } else {
        lines.push_back(line);
      }
      if (nl == std::u16string::npos) break;
      start = nl + 1;
    }
  }
  if (s.empty()) lines.clear();
  if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS))
    for (auto& line : lines) line = EllipsizeText(line, width);
  int height = static_cast<int>(lines.size()) * kLineHeight;

  if (format & DT_CALCRECT) {
    int widest = 0;
    for (auto& line : lines) widest = std::max(widest, TextWidth(line));
    rc->right = rc->left + widest;
    rc->bottom = rc->top + height;
    return height;
  }

  int y = rc->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = rc->top + (rc->bottom - rc->top - kLineHeight) / 2;
    else if (format & DT_BOTTOM) y = rc->bottom - kLineHeight;
  }
  const RECT* clip = (format & DT_NOCLIP) ? nullptr : rc;
  for (auto& line : lines) {
    int lw = TextWidth(line);
    int x = rc->left;
    if (format & DT_CENTER) x = rc->left + (width - lw) / 2;
    else if (format & DT_RIGHT) x = rc->right - lw;
    DrawLine(*dc, x, y, line, clip);
    y += kLineHeight;
  }
  return height;
}

std::size_t TextPositionFromX(HDC, std::u16string_view text, int x) {
  int w = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    int cw = CharWidth(text[i]);
    if (x < w + cw / 2) return i;
    w += cw;
  }
  return text.size();
}
