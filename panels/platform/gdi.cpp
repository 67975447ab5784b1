#include "platform/gdi.h"

#include "platform/region.h"
#include "platform/ui_internal.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>

namespace platform::ui {
namespace {

constexpr HGDIOBJ kStockBase = 0x100;      // GetStockObject(i) = kStockBase + i
constexpr HGDIOBJ kSysBrushBase = 0x200;   // GetSysColorBrush(i) = kSysBrushBase + i
constexpr HGDIOBJ kDefaultBitmap = 0x2FF;  // the 1 x 1 bitmap of every memory DC
constexpr int kSysColours = 31;

struct GdiState {
  std::unordered_map<HGDIOBJ, GdiObject> objects;
  std::unordered_map<HDC, DeviceContext> dcs;
  std::unordered_map<HDC, std::vector<DeviceContext>> saved;  // SaveDC stacks
  HDC screenDC = 0;
};

GdiState& Gdi() {
  static GdiState state;
  return state;
}

const std::array<COLORREF, kSysColours>& SysColours() {
  static const std::array<COLORREF, kSysColours> colours = [] {
    std::array<COLORREF, kSysColours> c{};
    c.fill(RGB(192, 192, 192));
    c[COLOR_SCROLLBAR] = RGB(200, 200, 200);
    c[COLOR_BACKGROUND] = RGB(0, 0, 0);
    c[COLOR_ACTIVECAPTION] = RGB(153, 180, 209);
    c[COLOR_MENU] = RGB(240, 240, 240);
    c[COLOR_WINDOW] = RGB(255, 255, 255);
    c[COLOR_WINDOWFRAME] = RGB(100, 100, 100);
    c[COLOR_MENUTEXT] = RGB(0, 0, 0);
    c[COLOR_WINDOWTEXT] = RGB(0, 0, 0);
    c[COLOR_HIGHLIGHT] = RGB(51, 153, 255);
    c[COLOR_HIGHLIGHTTEXT] = RGB(255, 255, 255);
    c[COLOR_BTNFACE] = RGB(240, 240, 240);
    c[COLOR_BTNSHADOW] = RGB(160, 160, 160);
    c[COLOR_GRAYTEXT] = RGB(109, 109, 109);
    c[COLOR_BTNTEXT] = RGB(0, 0, 0);
    c[COLOR_BTNHIGHLIGHT] = RGB(255, 255, 255);
    c[COLOR_3DDKSHADOW] = RGB(105, 105, 105);
    c[COLOR_3DLIGHT] = RGB(227, 227, 227);
    c[COLOR_INFOTEXT] = RGB(0, 0, 0);
    c[COLOR_INFOBK] = RGB(255, 255, 225);
    c[COLOR_HOTLIGHT] = RGB(0, 102, 204);
    return c;
  }();
  return colours;
}

GdiObject* StockObject(HGDIOBJ obj) {
  static std::unordered_map<HGDIOBJ, GdiObject> stock = [] {
    std::unordered_map<HGDIOBJ, GdiObject> m;
    auto brush = [&](int i, COLORREF c, UINT style = BS_SOLID) {
      GdiObject o;
      o.type = OBJ_BRUSH;
      o.stock = true;
      o.brush.lbStyle = style;
      o.brush.lbColor = c;
      m[kStockBase + static_cast<HGDIOBJ>(i)] = o;
    };
    auto pen = [&](int i, COLORREF c, int style = PS_SOLID) {
      GdiObject o;
      o.type = OBJ_PEN;
      o.stock = true;
      o.pen.lopnStyle = static_cast<UINT>(style);
      o.pen.lopnWidth.x = 1;
      o.pen.lopnColor = c;
      m[kStockBase + static_cast<HGDIOBJ>(i)] = o;
    };
    brush(WHITE_BRUSH, RGB(255, 255, 255));
    brush(LTGRAY_BRUSH, RGB(192, 192, 192));
    brush(GRAY_BRUSH, RGB(128, 128, 128));
    brush(DKGRAY_BRUSH, RGB(64, 64, 64));
    brush(BLACK_BRUSH, RGB(0, 0, 0));
    brush(NULL_BRUSH, 0, BS_NULL);
    pen(WHITE_PEN, RGB(255, 255, 255));
    pen(BLACK_PEN, RGB(0, 0, 0));
    pen(NULL_PEN, 0, PS_NULL);
    for (int i : {SYSTEM_FONT, DEFAULT_GUI_FONT}) {
      GdiObject o;
      o.type = OBJ_FONT;
      o.stock = true;
      o.font.lfHeight = -12;
      const char16_t face[] = u"SimSun";
      std::copy(std::begin(face), std::end(face), o.font.lfFaceName);
      m[kStockBase + static_cast<HGDIOBJ>(i)] = o;
    }
    for (int i = 0; i < kSysColours; ++i) {
      GdiObject o;
      o.type = OBJ_BRUSH;
      o.stock = true;
      o.brush.lbColor = SysColours()[static_cast<std::size_t>(i)];
      m[kSysBrushBase + static_cast<HGDIOBJ>(i)] = o;
    }
    GdiObject bitmap;
    bitmap.type = OBJ_BITMAP;
    bitmap.stock = true;
    bitmap.bitmap = std::make_shared<Canvas>(1, 1);
    m[kDefaultBitmap] = bitmap;
    return m;
  }();
  auto it = stock.find(obj);
  return it == stock.end() ? nullptr : &it->second;
}

bool DropDC(HDC hdc) {
  Gdi().saved.erase(hdc);
  return Gdi().dcs.erase(hdc) != 0;
}

HDC NewDC(DeviceContext dc) {
  HDC h = NewHandle();
  dc.pen = kStockBase + BLACK_PEN;
  dc.brush = kStockBase + WHITE_BRUSH;
  dc.font = kStockBase + SYSTEM_FONT;
  Gdi().dcs.emplace(h, std::move(dc));
  return h;
}

RECT CanvasBounds(const DeviceContext& dc) {
  return dc.canvas ? RECT{0, 0, dc.canvas->Width(), dc.canvas->Height()} : RECT{};
}

bool InClip(const DeviceContext& dc, int x, int y) {
  return x >= dc.clip.left && y >= dc.clip.top && x < dc.clip.right && y < dc.clip.bottom &&
         dc.canvas && dc.canvas->Contains(x, y);
}

void PlotDevice(DeviceContext& dc, int x, int y, std::uint32_t rgba) {
  if (InClip(dc, x, y)) dc.canvas->SetRgba(x, y, rgba);
}

bool BrushOf(const DeviceContext& dc, COLORREF* colour) { return BrushColour(dc.brush, colour); }

// Fills every pixel of the logical box for which `inside` holds.
template <typename Pred>
void FillShape(DeviceContext& dc, RECT box, COLORREF colour, Pred inside) {
  std::uint32_t rgba = Canvas::ToRgba(colour);
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x)
      if (inside(x, y)) PlotDevice(dc, x + dc.org.x, y + dc.org.y, rgba);
}

// Fills the shape with the brush and outlines it with the pen: pixels of
// the shape within the pen's width of its edge.
void DrawShape(DeviceContext& dc, const RegionShape& shape) {
  COLORREF fill, line;
  int width = 1;
  bool hasPen = PenColour(dc, &line, &width);
  if (BrushOf(dc, &fill))
    FillShape(dc, shape.box, fill, [&](int x, int y) { return shape.Contains(x, y); });
  if (!hasPen) return;
  width = std::max(1, width);
  FillShape(dc, shape.box, line, [&](int x, int y) {
    if (!shape.Contains(x, y)) return false;
    for (int d = 1; d <= width; ++d)
      if (!shape.Contains(x - d, y) || !shape.Contains(x + d, y) || !shape.Contains(x, y - d) ||
          !shape.Contains(x, y + d))
        return true;
    return false;
  });
}

RegionShape ShapeOf(RegionShape::Kind kind, int l, int t, int r, int b, int w = 0, int h = 0) {
  RegionShape s;
  s.kind = kind;
  s.rc = RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
  s.box = s.rc;
  s.w = w;
  s.h = h;
  return s;
}

using PixelOp = std::function<bool(std::uint32_t src, std::uint32_t& dst)>;

// Copies source pixels (nearest) onto the destination rectangle through op.
BOOL Blit(HDC dstDC, int x, int y, int cx, int cy, HDC srcDC, int sx, int sy, int scx, int scy,
          const PixelOp& op, bool needsSource) {
  DeviceContext* dst = FindDC(dstDC);
  if (!dst || cx < 0 || cy < 0) return FALSE;
  DeviceContext* src = needsSource ? FindDC(srcDC) : nullptr;
  if (needsSource && !src) return FALSE;
  if (needsSource && (scx <= 0 || scy <= 0)) return FALSE;
  if (!dst->canvas) return TRUE;
  std::shared_ptr<Canvas> source = src ? src->canvas : nullptr;
  if (needsSource && !source) return TRUE;
  // Copy first, so that a DC blitting onto itself reads the old pixels.
  Canvas snapshot = source ? *source : Canvas();
  int ox = src ? src->org.x : 0, oy = src ? src->org.y : 0;
  for (int j = 0; j < cy; ++j) {
    int dy = y + j + dst->org.y;
    int srcY = sy + static_cast<int>(static_cast<long long>(j) * scy / std::max(1, cy)) + oy;
    for (int i = 0; i < cx; ++i) {
      int dx = x + i + dst->org.x;
      if (!InClip(*dst, dx, dy)) continue;
      std::uint32_t s = 0;
      if (source) {
        int srcX = sx + static_cast<int>(static_cast<long long>(i) * scx / std::max(1, cx)) + ox;
        if (!snapshot.Contains(srcX, srcY)) continue;
        s = snapshot.GetRgba(srcX, srcY);
      }
      std::uint32_t d = dst->canvas->GetRgba(dx, dy);
      if (op(s, d)) dst->canvas->SetRgba(dx, dy, d);
    }
  }
  return TRUE;
}

bool RopNeedsSource(DWORD rop) {
  return rop == SRCCOPY || rop == SRCPAINT || rop == SRCAND || rop == SRCINVERT ||
         rop == NOTSRCCOPY;
}

PixelOp RopOp(DWORD rop, COLORREF brush) {
  constexpr std::uint32_t kOpaque = 0xFF000000u;
  switch (rop) {
    case SRCCOPY:
      return [](std::uint32_t s, std::uint32_t& d) {
        d = s;
        return true;
      };
    case SRCPAINT:
      return [](std::uint32_t s, std::uint32_t& d) {
        d = (d | s) | kOpaque;
        return true;
      };
    case SRCAND:
      return [](std::uint32_t s, std::uint32_t& d) {
        d = (d & s) | kOpaque;
        return true;
      };
    case SRCINVERT:
      return [](std::uint32_t s, std::uint32_t& d) {
        d = ((d ^ s) & 0xFFFFFFu) | kOpaque;
        return true;
      };
    case NOTSRCCOPY:
      return [](std::uint32_t s, std::uint32_t& d) {
        d = (~s & 0xFFFFFFu) | kOpaque;
        return true;
      };
    case DSTINVERT:
      return [](std::uint32_t, std::uint32_t& d) {
        d = (~d & 0xFFFFFFu) | kOpaque;
        return true;
      };
    case PATCOPY:
      return [brush](std::uint32_t, std::uint32_t& d) {
        d = Canvas::ToRgba(brush);
        return true;
      };
    case BLACKNESS:
      return [](std::uint32_t, std::uint32_t& d) {
        d = kOpaque;
        return true;
      };
    case WHITENESS:
      return [](std::uint32_t, std::uint32_t& d) {
        d = 0xFFFFFFFFu;
        return true;
      };
    default: return nullptr;
  }
}

void Compose(Canvas& out, HWND hwnd, int ox, int oy, const RegionShape* clip, int cx, int cy) {
  Window* w = FindWindowData(hwnd);
  if (!w) return;
  const Canvas& c = *w->canvas;
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) {
      if (w->region && !w->region->Contains(x, y)) continue;
      if (clip && !clip->Contains(x + cx, y + cy)) continue;
      out.SetRgba(ox + x, oy + y, c.GetRgba(x, y) | 0xFF000000u);
    }
  std::vector<HWND> children(w->children.rbegin(), w->children.rend());  // bottom first
  for (HWND ch : children) {
    Window* cw = FindWindowData(ch);
    if (!cw || !(cw->style & WS_VISIBLE)) continue;
    Compose(out, ch, ox + cw->rect.left, oy + cw->rect.top, nullptr, 0, 0);
  }
}

}  // namespace

GdiObject* FindGdi(HGDIOBJ obj, DWORD type) {
  GdiObject* o = StockObject(obj);
  if (!o) {
    auto& m = Gdi().objects;
    auto it = m.find(obj);
    if (it != m.end()) o = &it->second;
  }
  if (o && type && o->type != type) return nullptr;
  return o;
}

HGDIOBJ AddGdi(GdiObject obj) {
  HGDIOBJ h = NewHandle();
  Gdi().objects.emplace(h, std::move(obj));
  return h;
}

bool BrushColour(HBRUSH brush, COLORREF* colour) {
  if (brush >= 1 && brush <= static_cast<HBRUSH>(kSysColours)) {
    *colour = SysColours()[brush - 1];
    return true;
  }
  GdiObject* o = FindGdi(brush, OBJ_BRUSH);
  if (!o || o->brush.lbStyle == BS_NULL) return false;
  *colour = o->brush.lbColor & 0xFFFFFFu;
  return true;
}

bool PenColour(const DeviceContext& dc, COLORREF* colour, int* width, int* style) {
  GdiObject* o = FindGdi(dc.pen, OBJ_PEN);
  LOGPEN pen;
  if (o) pen = o->pen;
  if (pen.lopnStyle == PS_NULL) return false;
  *colour = pen.lopnColor & 0xFFFFFFu;
  if (width) *width = std::max<int>(1, pen.lopnWidth.x);
  if (style) *style = static_cast<int>(pen.lopnStyle);
  return true;
}

DeviceContext* FindDC(HDC hdc) {
  auto& m = Gdi().dcs;
  auto it = m.find(hdc);
  return it == m.end() ? nullptr : &it->second;
}

void FillLogical(DeviceContext& dc, RECT rc, COLORREF colour) {
  if (!dc.canvas) return;
  OffsetRect(&rc, dc.org.x, dc.org.y);
  RECT r;
  if (!IntersectRect(&r, &rc, &dc.clip)) return;
  dc.canvas->Fill(r, colour);
}

void PlotLogical(DeviceContext& dc, int x, int y, COLORREF colour) {
  PlotDevice(dc, x + dc.org.x, y + dc.org.y, Canvas::ToRgba(colour));
}

void ResetGdi() {
  Gdi().objects.clear();
  Gdi().dcs.clear();
  Gdi().saved.clear();
  Gdi().screenDC = 0;
}

}  // namespace platform::ui

using namespace platform::ui;

// ---- objects ------------------------------------------------------------------------

HGDIOBJ GetStockObject(int index) {
  return StockObject(kStockBase + static_cast<HGDIOBJ>(index))
             ? kStockBase + static_cast<HGDIOBJ>(index)
             : 0;
}

DWORD GetSysColor(int index) {
  return index >= 0 && index < kSysColours ? SysColours()[static_cast<std::size_t>(index)] : 0;
}

HBRUSH GetSysColorBrush(int index) {
  return index >= 0 && index < kSysColours ? kSysBrushBase + static_cast<HBRUSH>(index) : 0;
}

HPEN CreatePen(int style, int width, COLORREF colour) {
  GdiObject o;
  o.type = OBJ_PEN;
  o.pen.lopnStyle = static_cast<UINT>(style);
  o.pen.lopnWidth.x = std::max(1, width);
  o.pen.lopnColor = colour & 0xFFFFFFu;
  return AddGdi(std::move(o));
}

HBRUSH CreateSolidBrush(COLORREF colour) {
  GdiObject o;
  o.type = OBJ_BRUSH;
  o.brush.lbColor = colour & 0xFFFFFFu;
  return AddGdi(std::move(o));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
  if (!lb) return 0;
  GdiObject o;
  o.type = OBJ_BRUSH;
  o.brush = *lb;
  if (o.brush.lbStyle != BS_NULL) o.brush.lbStyle = BS_SOLID;
  return AddGdi(std::move(o));
}

HFONT CreateFontIndirectW(const LOGFONTW* lf) {
  if (!lf) return 0;
  GdiObject o;
  o.type = OBJ_FONT;
  o.font = *lf;
  o.font.lfFaceName[LF_FACESIZE - 1] = 0;
  return AddGdi(std::move(o));
}

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCWSTR faceName) {
  LOGFONTW lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = static_cast<BYTE>(italic);
  lf.lfUnderline = static_cast<BYTE>(underline);
  lf.lfStrikeOut = static_cast<BYTE>(strikeOut);
  lf.lfCharSet = static_cast<BYTE>(charSet);
  lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  lf.lfQuality = static_cast<BYTE>(quality);
  lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  for (int i = 0; faceName && faceName[i] && i < LF_FACESIZE - 1; ++i)
    lf.lfFaceName[i] = faceName[i];
  return CreateFontIndirectW(&lf);
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
  if (width < 0 || height < 0) return 0;
  GdiObject o;
  o.type = OBJ_BITMAP;
  o.bitmap = std::make_shared<Canvas>(width, height);
  return AddGdi(std::move(o));
}

HBITMAP CreateBitmap(int width, int height, UINT, UINT bitsPerPixel, const void* bits) {
  if (width < 0 || height < 0) return 0;
  GdiObject o;
  o.type = OBJ_BITMAP;
  o.bitmap = std::make_shared<Canvas>(width, height);
  if (bits && bitsPerPixel == 32) {
    const auto* p = static_cast<const std::uint8_t*>(bits);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x, p += 4) o.bitmap->SetPixel(x, y, RGB(p[2], p[1], p[0]));
  }
  return AddGdi(std::move(o));
}

int GetObjectW(HGDIOBJ obj, int size, LPVOID buffer) {
  GdiObject* o = FindGdi(obj);
  if (!o) return 0;
  auto copy = [&](const auto& value) -> int {
    int need = static_cast<int>(sizeof value);
    if (!buffer) return need;
    if (size < need) return 0;
    std::memcpy(buffer, &value, sizeof value);
    return need;
  };
  switch (o->type) {
    case OBJ_PEN: return copy(o->pen);
    case OBJ_BRUSH: return copy(o->brush);
    case OBJ_FONT: return copy(o->font);
    case OBJ_BITMAP: {
      BITMAP bm;
      bm.bmWidth = o->bitmap->Width();
      bm.bmHeight = o->bitmap->Height();
      bm.bmWidthBytes = bm.bmWidth * 4;
      if (o->bitmap->PixelLayout() != Canvas::Layout::Rgba) bm.bmBits = o->bitmap->Data();
      return copy(bm);
    }
    default: return 0;
  }
}

DWORD GetObjectType(HGDIOBJ obj) {
  if (DeviceContext* dc = FindDC(obj)) return dc->memory ? OBJ_MEMDC : OBJ_DC;
  GdiObject* o = FindGdi(obj);
  return o && o->type != kIconObject ? o->type : 0;
}

BOOL DeleteObject(HGDIOBJ obj) {
  if (StockObject(obj)) return TRUE;
  GdiObject* o = FindGdi(obj);
  if (!o || o->type == kIconObject) return FALSE;
  return Gdi().objects.erase(obj) ? TRUE : FALSE;
}

// ---- device contexts ------------------------------------------------------------------

HDC GetDC(HWND hwnd) {
  DeviceContext dc;
  if (hwnd) {
    Window* w = FindWindowData(hwnd);
    if (!w) return 0;
    dc.hwnd = hwnd;
    dc.canvas = w->canvas;
    dc.clip = CanvasBounds(dc);
  }
  return NewDC(std::move(dc));
}

HDC GetWindowDC(HWND hwnd) { return GetDC(hwnd); }

int ReleaseDC(HWND, HDC hdc) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc || dc->memory) return 0;
  DropDC(hdc);
  return 1;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  Window* w = FindWindowData(hwnd);
  if (!w || !ps) return 0;
  DeviceContext dc;
  dc.hwnd = hwnd;
  dc.paint = true;
  dc.canvas = w->canvas;
  RECT bounds = CanvasBounds(dc);
  RECT area{};
  if (w->invalid) IntersectRect(&area, &w->invalidRect, &bounds);
  dc.clip = area;
  bool erase = w->erase;
  w->invalid = false;
  w->erase = false;
  w->invalidRect = RECT{};
  HDC hdc = NewDC(std::move(dc));
  ps->hdc = hdc;
  ps->rcPaint = area;
  ps->fErase = FALSE;
  if (erase) ps->fErase = SendMessageW(hwnd, WM_ERASEBKGND, hdc, 0) ? FALSE : TRUE;
  return hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* ps) {
  if (!ps) return FALSE;
  DropDC(ps->hdc);
  return TRUE;
}

HDC CreateCompatibleDC(HDC) {
  DeviceContext dc;
  dc.memory = true;
  dc.defaultBitmap = FindGdi(kDefaultBitmap)->bitmap;
  dc.canvas = std::make_shared<Canvas>(1, 1);
  dc.bitmap = kDefaultBitmap;
  dc.clip = CanvasBounds(dc);
  return NewDC(std::move(dc));
}

BOOL DeleteDC(HDC hdc) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc || !dc->memory) return FALSE;
  return DropDC(hdc) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
  DeviceContext* dc = FindDC(hdc);
  GdiObject* o = FindGdi(obj);
  if (!dc || !o) return 0;
  HGDIOBJ old = 0;
  switch (o->type) {
    case OBJ_PEN:
      old = dc->pen;
      dc->pen = obj;
      break;
    case OBJ_BRUSH:
      old = dc->brush;
      dc->brush = obj;
      break;
    case OBJ_FONT:
      old = dc->font;
      dc->font = obj;
      break;
    case OBJ_BITMAP:
      if (!dc->memory) return 0;
      old = dc->bitmap;
      dc->bitmap = obj;
      dc->canvas = obj == kDefaultBitmap ? std::make_shared<Canvas>(1, 1) : o->bitmap;
      dc->clip = CanvasBounds(*dc);
      break;
    case OBJ_REGION: {
      // Selecting a region clips to its box.
      RECT box = o->region->box;
      OffsetRect(&box, dc->org.x, dc->org.y);
      RECT bounds = CanvasBounds(*dc);
      IntersectRect(&dc->clip, &box, &bounds);
      return SIMPLEREGION;
    }
    default: return 0;
  }
  return old;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc) return 0;
  switch (type) {
    case OBJ_PEN: return dc->pen;
    case OBJ_BRUSH: return dc->brush;
    case OBJ_FONT: return dc->font;
    case OBJ_BITMAP: return dc->bitmap;
    default: return 0;
  }
}

namespace {
std::unordered_map<HDC, std::vector<DeviceContext>>& SavedStates() { return Gdi().saved; }
}  // namespace

int SaveDC(HDC hdc) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc) return 0;
  auto& stack = SavedStates()[hdc];
  stack.push_back(*dc);
  return static_cast<int>(stack.size());
}

BOOL RestoreDC(HDC hdc, int saved) {
  DeviceContext* dc = FindDC(hdc);
  auto it = SavedStates().find(hdc);
  if (!dc || it == SavedStates().end() || it->second.empty()) return FALSE;
  auto& stack = it->second;
  int n = static_cast<int>(stack.size());
  int level = saved < 0 ? n + saved + 1 : saved;
  if (level < 1 || level > n) return FALSE;
  *dc = stack[static_cast<std::size_t>(level - 1)];
  stack.resize(static_cast<std::size_t>(level - 1));
  return TRUE;
}

HWND WindowFromDC(HDC hdc) {
  DeviceContext* dc = FindDC(hdc);
  return dc ? dc->hwnd : 0;
}

COLORREF SetTextColor(HDC hdc, COLORREF colour) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc) return CLR_INVALID;
  COLORREF old = dc->textColour;
  dc->textColour = colour & 0xFFFFFFu;
  return old;
}
COLORREF GetTextColor(HDC hdc) {
  DeviceContext* dc = FindDC(hdc);
  return dc ? dc->textColour : CLR_INVALID;
}
COLORREF SetBkColor(HDC hdc, COLORREF colour) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc) return CLR_INVALID;
  COLORREF old = dc->bkColour;
  dc->bkColour = colour & 0xFFFFFFu;
  return old;
}
COLORREF GetBkColor(HDC hdc) {
  DeviceContext* dc = FindDC(hdc);
  return dc ? dc->bkColour : CLR_INVALID;
}
int SetBkMode(HDC hdc, int mode) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  int old = dc->bkMode;
  dc->bkMode = mode;
  return old;
}
int GetBkMode(HDC hdc) {
  DeviceContext* dc = FindDC(hdc);
  return dc ? dc->bkMode : 0;
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc) return FALSE;
  if (old) *old = dc->org;
  dc->org = POINT{x, y};
  return TRUE;
}
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* old) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc) return FALSE;
  return SetViewportOrgEx(hdc, dc->org.x + dx, dc->org.y + dy, old);
}
BOOL GetViewportOrgEx(HDC hdc, POINT* org) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc || !org) return FALSE;
  *org = dc->org;
  return TRUE;
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc) return ERROR;
  RECT r{left + dc->org.x, top + dc->org.y, right + dc->org.x, bottom + dc->org.y};
  RECT out;
  if (!IntersectRect(&out, &r, &dc->clip)) {
    dc->clip = RECT{};
    return NULLREGION;
  }
  dc->clip = out;
  return SIMPLEREGION;
}

int GetClipBox(HDC hdc, RECT* rc) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc || !rc) return ERROR;
  *rc = dc->clip;
  OffsetRect(rc, -dc->org.x, -dc->org.y);
  return IsRectEmpty(&dc->clip) ? NULLREGION : SIMPLEREGION;
}

std::shared_ptr<Canvas> GetDCCanvas(HDC hdc) {
  DeviceContext* dc = FindDC(hdc);
  return dc ? dc->canvas : nullptr;
}

int SetStretchBltMode(HDC hdc, int mode) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc) return 0;
  int old = dc->stretchMode;
  dc->stretchMode = mode;
  return old;
}

// ---- drawing ------------------------------------------------------------------------

int FillRect(HDC hdc, const RECT* rc, HBRUSH brush) {
  DeviceContext* dc = FindDC(hdc);
  COLORREF c;
  if (!dc || !rc || !BrushColour(brush, &c)) return 0;
  FillLogical(*dc, *rc, c);
  return 1;
}

int FrameRect(HDC hdc, const RECT* rc, HBRUSH brush) {
  DeviceContext* dc = FindDC(hdc);
  COLORREF c;
  if (!dc || !rc || !BrushColour(brush, &c)) return 0;
  if (IsRectEmpty(rc)) return 1;
  FillLogical(*dc, RECT{rc->left, rc->top, rc->right, rc->top + 1}, c);
  FillLogical(*dc, RECT{rc->left, rc->bottom - 1, rc->right, rc->bottom}, c);
  FillLogical(*dc, RECT{rc->left, rc->top, rc->left + 1, rc->bottom}, c);
  FillLogical(*dc, RECT{rc->right - 1, rc->top, rc->right, rc->bottom}, c);
  return 1;
}

BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush) {
  DeviceContext* dc = FindDC(hdc);
  GdiObject* o = FindGdi(rgn, OBJ_REGION);
  COLORREF c;
  if (!dc || !o || !BrushColour(brush, &c)) return FALSE;
  const RegionShape& s = *o->region;
  FillShape(*dc, s.box, c, [&](int x, int y) { return s.Contains(x, y); });
  return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc) return FALSE;
  RECT rc{std::min(left, right), std::min(top, bottom), std::max(left, right),
          std::max(top, bottom)};
  COLORREF fill, line;
  int width = 1;
  bool hasPen = PenColour(*dc, &line, &width);
  if (!hasPen) {
    // Without an outline the right and bottom edges stay out, as on the original platform.
    rc.right -= 1;
    rc.bottom -= 1;
  }
  if (BrushOf(*dc, &fill)) FillLogical(*dc, rc, fill);
  if (hasPen) {
    for (int i = 0; i < width; ++i) {
      RECT r = rc;
      InflateRect(&r, -i, -i);
      if (IsRectEmpty(&r)) break;
      FillLogical(*dc, RECT{r.left, r.top, r.right, r.top + 1}, line);
      FillLogical(*dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, line);
      FillLogical(*dc, RECT{r.left, r.top, r.left + 1, r.bottom}, line);
      FillLogical(*dc, RECT{r.right - 1, r.top, r.right, r.bottom}, line);
    }
  }
  return TRUE;
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int w, int h) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc) return FALSE;
  DrawShape(*dc, ShapeOf(RegionShape::Kind::RoundRect, left, top, right, bottom, w, h));
  return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc) return FALSE;
  DrawShape(*dc, ShapeOf(RegionShape::Kind::Ellipse, left, top, right, bottom));
  return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* points, int count) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc || !points || count < 2) return FALSE;
  RegionShape s;
  s.kind = RegionShape::Kind::Polygon;
  s.points.assign(points, points + count);
  s.box = RECT{points[0].x, points[0].y, points[0].x + 1, points[0].y + 1};
  for (int i = 0; i < count; ++i) {
    RECT p{points[i].x, points[i].y, points[i].x + 1, points[i].y + 1};
    UnionRect(&s.box, &s.box, &p);
  }
  COLORREF fill;
  if (BrushOf(*dc, &fill))
    FillShape(*dc, s.box, fill, [&](int x, int y) { return s.Contains(x, y); });
  POINT old = dc->pos;
  MoveToEx(hdc, points[count - 1].x, points[count - 1].y, nullptr);
  for (int i = 0; i < count; ++i) LineTo(hdc, points[i].x, points[i].y);
  if (DeviceContext* again = FindDC(hdc)) again->pos = old;
  return TRUE;
}

BOOL MoveToEx(HDC hdc, int x, int y, POINT* old) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc) return FALSE;
  if (old) *old = dc->pos;
  dc->pos = POINT{x, y};
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc) return FALSE;
  COLORREF c;
  int width = 1, style = PS_SOLID;
  POINT from = dc->pos;
  dc->pos = POINT{x, y};
  if (!PenColour(*dc, &c, &width, &style)) return TRUE;
  int dx = std::abs(x - from.x), dy = -std::abs(y - from.y);
  int stepX = from.x < x ? 1 : -1, stepY = from.y < y ? 1 : -1;
  int err = dx + dy;
  int px = from.x, py = from.y;
  int n = 0;
  while (px != x || py != y) {  // the last point is not drawn
    bool on = style == PS_DOT ? (n % 2 == 0) : style == PS_DASH ? (n % 8 < 6) : true;
    if (on) {
      int half = (width - 1) / 2;
      for (int oy = -half; oy < width - half; ++oy)
        for (int ox = -half; ox < width - half; ++ox) PlotLogical(*dc, px + ox, py + oy, c);
    }
    ++n;
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      px += stepX;
    }
    if (e2 <= dx) {
      err += dx;
      py += stepY;
    }
  }
  return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF colour) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc || !InClip(*dc, x + dc->org.x, y + dc->org.y)) return CLR_INVALID;
  PlotLogical(*dc, x, y, colour);
  return colour & 0xFFFFFFu;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc || !dc->canvas) return CLR_INVALID;
  return dc->canvas->GetPixel(x + dc->org.x, y + dc->org.y);
}

BOOL DrawFocusRect(HDC hdc, const RECT* rc) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc || !rc || !dc->canvas) return FALSE;
  auto invert = [&](int x, int y) {
    int X = x + dc->org.x, Y = y + dc->org.y;
    if (InClip(*dc, X, Y))
      dc->canvas->SetRgba(X, Y, (~dc->canvas->GetRgba(X, Y) & 0xFFFFFFu) | 0xFF000000u);
  };
  for (int x = rc->left; x < rc->right; x += 2) {
    invert(x, rc->top);
    invert(x, rc->bottom - 1);
  }
  for (int y = rc->top + 2; y < rc->bottom - 1; y += 2) {
    invert(rc->left, y);
    invert(rc->right - 1, y);
  }
  return TRUE;
}

BOOL DrawEdge(HDC hdc, RECT* rc, UINT edge, UINT) {
  DeviceContext* dc = FindDC(hdc);
  if (!dc || !rc) return FALSE;
  auto frame = [&](RECT r, COLORREF tl, COLORREF br) {
    FillLogical(*dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, tl);
    FillLogical(*dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, tl);
    FillLogical(*dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, br);
    FillLogical(*dc, RECT{r.right - 1, r.top, r.right, r.bottom}, br);
  };
  COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  RECT r = *rc;
  if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
    bool raised = edge & BDR_RAISEDOUTER;
    frame(r, raised ? light : shadow, raised ? GetSysColor(COLOR_3DDKSHADOW) : light);
    InflateRect(&r, -1, -1);
  }
  if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
    bool raised = edge & BDR_RAISEDINNER;
    frame(r, raised ? GetSysColor(COLOR_3DLIGHT) : GetSysColor(COLOR_3DDKSHADOW),
          raised ? shadow : GetSysColor(COLOR_3DLIGHT));
  }
  return TRUE;
}

// ---- blits --------------------------------------------------------------------------

BOOL BitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int sx, int sy, DWORD rop) {
  return StretchBlt(dst, x, y, cx, cy, src, sx, sy, cx, cy, rop);
}

BOOL StretchBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int sx, int sy, int scx, int scy,
                DWORD rop) {
  DeviceContext* d = FindDC(dst);
  if (!d) return FALSE;
  COLORREF brush = 0;
  BrushOf(*d, &brush);
  PixelOp op = RopOp(rop, brush);
  if (!op) return FALSE;
  return Blit(dst, x, y, cx, cy, src, sx, sy, scx, scy, op, RopNeedsSource(rop));
}

BOOL TransparentBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int sx, int sy, int scx,
                    int scy, UINT transparent) {
  COLORREF key = transparent & 0xFFFFFFu;
  return Blit(
      dst, x, y, cx, cy, src, sx, sy, scx, scy,
      [key](std::uint32_t s, std::uint32_t& d) {
        if ((s & 0xFFFFFFu) == key) return false;
        d = s | 0xFF000000u;
        return true;
      },
      true);
}

BOOL AlphaBlend(HDC dst, int x, int y, int cx, int cy, HDC src, int sx, int sy, int scx, int scy,
                BLENDFUNCTION blend) {
  return Blit(
      dst, x, y, cx, cy, src, sx, sy, scx, scy,
      [blend](std::uint32_t s, std::uint32_t& d) {
        unsigned a = blend.SourceConstantAlpha;
        if (blend.AlphaFormat & AC_SRC_ALPHA) a = a * (s >> 24) / 255;
        if (a == 0) return false;
        std::uint32_t out = 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
          unsigned sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
          out |= ((sc * a + dc * (255 - a) + 127) / 255) << shift;
        }
        d = out;
        return true;
      },
      true);
}

Canvas RenderWindow(HWND hwnd) {
  Window* w = FindWindowData(hwnd);
  if (!w) return Canvas();
  Canvas out(w->Width(), w->Height());
  Compose(out, hwnd, 0, 0, nullptr, 0, 0);
  return out;
}
