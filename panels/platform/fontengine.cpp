#include "platform/fontengine.h"

#include "platform/ui_internal.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <hb.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>

namespace platform::text {
namespace {

constexpr const char* kFontFile = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";
constexpr int kFaces = 2;  // the collection's proportional and fixed-pitch faces

// Glyph pixels: coverage 0..255, placed relative to the pen on the baseline.
struct GlyphImage {
  int left = 0;
  int top = 0;  // rows above the baseline
  int width = 0;
  int height = 0;
  std::vector<unsigned char> coverage;
};

struct SizedFace {
  FT_Face ft = nullptr;
  hb_font_t* hb = nullptr;
  FontMetrics metrics;
};

// The font data and everything made from it; never destroyed, so that
// nothing runs after the libraries it uses have gone at exit.
struct Library {
  bool ok = false;
  std::string bytes;
  FT_Library ft = nullptr;
  hb_blob_t* blob = nullptr;
  hb_face_t* faces[kFaces] = {};
  std::map<std::pair<int, int>, SizedFace> sized;  // (face, pixels)
  std::unordered_map<std::uint64_t, GlyphImage> glyphs;
  std::map<std::tuple<int, int, bool, bool, bool, bool>, FontMetrics> fallbackMetrics;
};

Library& Lib() {
  static Library* lib = [] {
    auto* l = new Library;
    std::ifstream in(kFontFile, std::ios::binary);
    if (in) l->bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!l->bytes.empty() && FT_Init_FreeType(&l->ft) == 0) {
      l->blob = hb_blob_create(l->bytes.data(), static_cast<unsigned>(l->bytes.size()),
                               HB_MEMORY_MODE_READONLY, nullptr, nullptr);
      l->ok = true;
      for (int i = 0; i < kFaces; ++i) {
        l->faces[i] = hb_face_create(l->blob, static_cast<unsigned>(i));
        if (hb_face_get_glyph_count(l->faces[i]) == 0) l->ok = false;
      }
    }
    if (!l->ok)
      std::fprintf(stderr,
                   "platform: font file %s is missing or unreadable; text is drawn as boxes\n",
                   kFontFile);
    return l;
  }();
  return *lib;
}

int CeilDiv(long long a, long long b) { return static_cast<int>((a + b - 1) / b); }

SizedFace* Sized(int face, int pixels) {
  Library& lib = Lib();
  if (!lib.ok) return nullptr;
  auto key = std::make_pair(face, pixels);
  auto it = lib.sized.find(key);
  if (it != lib.sized.end()) return &it->second;
  SizedFace s;
  if (FT_New_Memory_Face(lib.ft, reinterpret_cast<const FT_Byte*>(lib.bytes.data()),
                         static_cast<FT_Long>(lib.bytes.size()), face, &s.ft) != 0)
    return nullptr;
  FT_Set_Pixel_Sizes(s.ft, 0, static_cast<FT_UInt>(pixels));
  s.hb = hb_font_create(lib.faces[face]);
  hb_font_set_scale(s.hb, pixels * 64, pixels * 64);
  long long upem = std::max<long long>(1, s.ft->units_per_EM);
  s.metrics.ascent = CeilDiv(static_cast<long long>(s.ft->ascender) * pixels, upem);
  s.metrics.descent = CeilDiv(-static_cast<long long>(s.ft->descender) * pixels, upem);
  s.metrics.height = s.metrics.ascent + s.metrics.descent;
  return &lib.sized.emplace(key, s).first->second;
}

int BoldExtra(const FontLook& look) { return look.bold ? std::max(1, (look.pixels + 12) / 24) : 0; }

struct ShapedGlyph {
  unsigned id = 0;
  std::size_t cluster = 0;
  int x = 0;  // pen position
  int dx = 0, dy = 0;
};

// Shapes `text`; returns the glyphs and the total advance.
int Shape(const FontLook& look, SizedFace& face, std::u16string_view text,
          std::vector<ShapedGlyph>& out) {
  hb_buffer_t* buf = hb_buffer_create();
  hb_buffer_add_utf16(buf, reinterpret_cast<const uint16_t*>(text.data()),
                      static_cast<int>(text.size()), 0, static_cast<int>(text.size()));
  hb_buffer_set_direction(buf, HB_DIRECTION_LTR);
  hb_buffer_set_cluster_level(buf, HB_BUFFER_CLUSTER_LEVEL_MONOTONE_CHARACTERS);
  hb_buffer_guess_segment_properties(buf);
  static const hb_feature_t features[] = {{HB_TAG('k', 'e', 'r', 'n'), 0, 0, ~0u},
                                          {HB_TAG('l', 'i', 'g', 'a'), 0, 0, ~0u},
                                          {HB_TAG('c', 'l', 'i', 'g'), 0, 0, ~0u},
                                          {HB_TAG('c', 'a', 'l', 't'), 0, 0, ~0u}};
  hb_shape(face.hb, buf, features, static_cast<unsigned>(std::size(features)));
  unsigned count = 0;
  hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buf, &count);
  hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buf, &count);
  int pen = 0, extra = BoldExtra(look);
  out.clear();
  out.reserve(count);
  for (unsigned i = 0; i < count; ++i) {
    ShapedGlyph g;
    g.id = info[i].codepoint;
    g.cluster = info[i].cluster;
    g.x = pen;
    g.dx = (pos[i].x_offset + 32) >> 6;
    g.dy = (pos[i].y_offset + 32) >> 6;
    out.push_back(g);
    int advance = (pos[i].x_advance + 32) >> 6;
    pen += advance + (advance > 0 ? extra : 0);
  }
  hb_buffer_destroy(buf);
  return pen;
}

const GlyphImage& Render(const FontLook& look, SizedFace& face, unsigned id) {
  Library& lib = Lib();
  std::uint64_t key = (static_cast<std::uint64_t>(id) << 24) |
                      (static_cast<std::uint64_t>(look.pixels) << 4) |
                      (static_cast<std::uint64_t>(look.face) << 2) | (look.bold ? 2u : 0u) |
                      (look.italic ? 1u : 0u);
  auto it = lib.glyphs.find(key);
  if (it != lib.glyphs.end()) return it->second;
  GlyphImage img;
  FT_GlyphSlot slot = face.ft->glyph;
  if (FT_Load_Glyph(face.ft, id,
                    FT_LOAD_TARGET_LIGHT | FT_LOAD_FORCE_AUTOHINT | FT_LOAD_NO_BITMAP) == 0 &&
      slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (look.italic) {
      FT_Matrix shear{0x10000, 0x3400, 0, 0x10000};  // about 11 degrees
      FT_Outline_Transform(&slot->outline, &shear);
    }
    if (look.bold) FT_Outline_EmboldenXY(&slot->outline, BoldExtra(look) * 64, 0);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0) {
      const FT_Bitmap& bm = slot->bitmap;
      img.left = slot->bitmap_left;
      img.top = slot->bitmap_top;
      img.width = static_cast<int>(bm.width);
      img.height = static_cast<int>(bm.rows);
      img.coverage.resize(static_cast<std::size_t>(img.width) *
                          static_cast<std::size_t>(img.height));
      for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
          img.coverage[static_cast<std::size_t>(y) * img.width + x] =
              bm.buffer[static_cast<std::ptrdiff_t>(y) * bm.pitch + x];
    }
  }
  return lib.glyphs.emplace(key, std::move(img)).first->second;
}

// ---- the fallback: boxes of fixed proportions ----------------------------------------

int FallbackAdvance(const FontLook& look, char16_t unit) {
  if (unit >= 0xDC00 && unit <= 0xDFFF) return 0;
  int w = unit < 0x80 ? std::max(1, look.pixels * 7 / 12) : look.pixels;
  return w + BoldExtra(look);
}

bool Inked(char16_t c) {
  return c > 0x20 && c != 0x7F && c != 0x3000 && !(c >= 0xDC00 && c <= 0xDFFF);
}

void Blend(Canvas& canvas, const RECT& clip, int x, int y, COLORREF colour, unsigned a) {
  if (a == 0 || x < clip.left || y < clip.top || x >= clip.right || y >= clip.bottom ||
      !canvas.Contains(x, y))
    return;
  std::uint32_t d = canvas.GetRgba(x, y), out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    unsigned sc = (colour >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
    out |= ((sc * a + dc * (255 - a) + 127) / 255) << shift;
  }
  canvas.SetRgba(x, y, out);
}

void Line(Canvas& canvas, const RECT& clip, int x, int y, int width, int thickness,
          COLORREF colour) {
  for (int j = 0; j < thickness; ++j)
    for (int i = 0; i < width; ++i) Blend(canvas, clip, x + i, y + j, colour, 255);
}

}  // namespace

FontLook LookOf(const LOGFONTW& lf) {
  FontLook s;
  if (lf.lfHeight < 0) {
    s.pixels = -lf.lfHeight;
  } else if (lf.lfHeight > 0) {
    SizedFace* f = Sized(0, 100);
    // The cell height holds ascent and descent; the em is that share of it.
    s.pixels =
        f ? static_cast<int>((static_cast<long long>(lf.lfHeight) * 100 + f->metrics.height / 2) /
                             f->metrics.height)
          : lf.lfHeight * 3 / 4;
  }
  s.pixels = std::clamp(s.pixels, 1, 400);
  s.bold = lf.lfWeight >= 600;
  s.italic = lf.lfItalic != 0;
  s.underline = lf.lfUnderline != 0;
  s.strikeOut = lf.lfStrikeOut != 0;
  std::u16string face;
  for (WCHAR c : lf.lfFaceName) {
    if (!c) break;
    face.push_back(c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c);
  }
  bool fixed = (lf.lfPitchAndFamily & 3) == 1;
  for (const char16_t* word : {u"mono", u"courier", u"consolas", u"terminal"})
    fixed = fixed || face.find(word) != std::u16string::npos;
  s.face = fixed ? 1 : 0;
  return s;
}

FontLook LookOfFont(HFONT font) {
  platform::ui::GdiObject* o = platform::ui::FindGdi(font, OBJ_FONT);
  if (!o) o = platform::ui::FindGdi(GetStockObject(SYSTEM_FONT), OBJ_FONT);
  return o ? LookOf(o->font) : FontLook{};
}

const FontMetrics& MetricsOf(const FontLook& look) {
  Library& lib = Lib();
  auto key = std::make_tuple(look.pixels, look.face, look.bold, look.italic, look.underline,
                             look.strikeOut);
  auto it = lib.fallbackMetrics.find(key);
  if (it != lib.fallbackMetrics.end()) return it->second;
  FontMetrics m;
  if (SizedFace* f = Sized(look.face, look.pixels)) {
    m = f->metrics;
  } else {
    m.ascent = (look.pixels * 13 + 11) / 12;
    m.descent = (look.pixels * 3 + 11) / 12;
    m.height = m.ascent + m.descent;
  }
  m.aveCharWidth = TextWidth(look, u"x");
  m.maxCharWidth = TextWidth(look, u"\u4E2D");
  return lib.fallbackMetrics.emplace(key, m).first->second;
}

std::vector<int> Boundaries(const FontLook& look, std::u16string_view text) {
  std::size_t n = text.size();
  std::vector<int> x(n + 1, 0);
  std::vector<bool> set(n + 1, false);
  SizedFace* f = Sized(look.face, look.pixels);
  if (!f) {
    int pen = 0;
    for (std::size_t i = 0; i < n; ++i) {
      x[i] = pen;
      pen += FallbackAdvance(look, text[i]);
    }
    x[n] = pen;
    for (std::size_t i = 1; i < n; ++i)
      if (text[i] >= 0xDC00 && text[i] <= 0xDFFF) x[i] = x[i - 1];
    return x;
  }
  std::vector<ShapedGlyph> glyphs;
  int width = Shape(look, *f, text, glyphs);
  for (const ShapedGlyph& g : glyphs)
    if (g.cluster < n && !set[g.cluster]) {
      x[g.cluster] = g.x;
      set[g.cluster] = true;
    }
  x[n] = width;
  set[n] = true;
  for (std::size_t i = 1; i < n; ++i)
    if (!set[i]) x[i] = x[i - 1];
  return x;
}

int TextWidth(const FontLook& look, std::u16string_view text) {
  return Boundaries(look, text).back();
}

void DrawText(Canvas& canvas, const RECT& clip, int x, int top, const FontLook& look,
              std::u16string_view text, COLORREF colour) {
  const FontMetrics& m = MetricsOf(look);
  int baseline = top + m.ascent;
  colour &= 0xFFFFFFu;
  int width = 0;
  if (SizedFace* f = Sized(look.face, look.pixels)) {
    std::vector<ShapedGlyph> glyphs;
    width = Shape(look, *f, text, glyphs);
    for (const ShapedGlyph& g : glyphs) {
      if (g.id == 0 || (g.cluster < text.size() && text[g.cluster] < 0x20)) continue;
      const GlyphImage& img = Render(look, *f, g.id);
      int ox = x + g.x + g.dx + img.left, oy = baseline - g.dy - img.top;
      for (int j = 0; j < img.height; ++j)
        for (int i = 0; i < img.width; ++i)
          Blend(canvas, clip, ox + i, oy + j, colour,
                img.coverage[static_cast<std::size_t>(j) * img.width + i]);
    }
  } else {
    int pen = x;
    for (char16_t c : text) {
      int w = FallbackAdvance(look, c);
      if (Inked(c))
        for (int j = top + m.height / 5; j < baseline; ++j)
          for (int i = pen + 1; i < pen + w - 1; ++i) Blend(canvas, clip, i, j, colour, 255);
      pen += w;
    }
    width = pen - x;
  }
  int thickness = std::max(1, look.pixels / 14);
  if (look.underline)
    Line(canvas, clip, x, baseline + std::max(1, m.descent / 2), width, thickness, colour);
  if (look.strikeOut) Line(canvas, clip, x, baseline - m.ascent * 3 / 10, width, thickness, colour);
}

bool FontFileAvailable() { return Lib().ok; }
const char* FontFilePath() { return kFontFile; }

}  // namespace platform::text
