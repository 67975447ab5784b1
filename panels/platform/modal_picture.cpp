#include "platform/modal_picture.h"

#include "platform/bitmap.h"
#include "platform/drawtext.h"
#include "platform/gdi.h"
#include "platform/ui_internal.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// A flat, light theme.
constexpr COLORREF kBackdrop = RGB(238, 241, 245);
constexpr COLORREF kPanel = RGB(255, 255, 255);
constexpr COLORREF kBorder = RGB(208, 214, 224);
constexpr COLORREF kText = RGB(31, 41, 55);
constexpr COLORREF kGrey = RGB(160, 170, 184);
constexpr COLORREF kHilite = RGB(226, 236, 252);
constexpr COLORREF kAccent = RGB(47, 111, 235);
constexpr COLORREF kRule = RGB(229, 231, 235);

constexpr int kItemHeight = 26;
constexpr int kSeparatorHeight = 9;
constexpr int kPad = 4;         // above the first and below the last item
constexpr int kGutter = 30;     // room for the check mark
constexpr int kRightRoom = 30;  // room for the submenu arrow
constexpr int kMinWidth = 140;
constexpr int kShadow = 6;

// Blends `colour` over a pixel with coverage `alpha` (0..1).
void Blend(Canvas& c, int x, int y, COLORREF colour, double alpha) {
  if (!c.Contains(x, y) || alpha <= 0) return;
  alpha = std::min(alpha, 1.0);
  const COLORREF d = c.GetPixel(x, y);
  auto mix = [alpha](int s, int t) {
    return static_cast<BYTE>(std::lround(s * alpha + t * (1 - alpha)));
  };
  c.SetPixel(x, y,
             RGB(mix(GetRValue(colour), GetRValue(d)), mix(GetGValue(colour), GetGValue(d)),
                 mix(GetBValue(colour), GetBValue(d))));
}

// A soft shadow under a rectangle, falling a little to the lower right.
void Shadow(Canvas& c, const RECT& rc) {
  for (int y = rc.top - kShadow; y < rc.bottom + kShadow + 2; ++y)
    for (int x = rc.left - kShadow; x < rc.right + kShadow + 1; ++x) {
      const int dx = std::max({rc.left - x + 1, x - rc.right + 1, 0});
      const int dy = std::max({rc.top - y + 2, y - rc.bottom, 0});
      const double d = std::hypot(dx, dy);
      if (d > 0 && d < kShadow) Blend(c, x, y, RGB(15, 23, 42), 0.10 * (1 - d / kShadow));
    }
}

// An anti-aliased stroke, for the tick and the arrow.
void Stroke(Canvas& c, double ax, double ay, double bx, double by, double width, COLORREF colour) {
  const int x0 = static_cast<int>(std::floor(std::min(ax, bx) - width)),
            x1 = static_cast<int>(std::ceil(std::max(ax, bx) + width));
  const int y0 = static_cast<int>(std::floor(std::min(ay, by) - width)),
            y1 = static_cast<int>(std::ceil(std::max(ay, by) + width));
  const double ex = bx - ax, ey = by - ay, len2 = ex * ex + ey * ey;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      const double t =
          len2 > 0 ? std::clamp(((px - ax) * ex + (py - ay) * ey) / len2, 0.0, 1.0) : 0.0;
      const double d = std::hypot(px - (ax + t * ex), py - (ay + t * ey)) - width / 2;
      Blend(c, x, y, colour, 0.5 - d);
    }
}

void FillCircle(Canvas& c, double cx, double cy, double r, COLORREF colour) {
  for (int y = static_cast<int>(cy - r - 1); y <= static_cast<int>(cy + r + 1); ++y)
    for (int x = static_cast<int>(cx - r - 1); x <= static_cast<int>(cx + r + 1); ++x)
      Blend(c, x, y, colour, 0.5 - (std::hypot(x + 0.5 - cx, y + 0.5 - cy) - r));
}

// A canvas with a DC drawing on it, using the default GUI font.
class Surface {
 public:
  Surface(int width, int height, COLORREF fill) {
    bitmap_ = CreateBitmapFromCanvas(Canvas(width, height, Canvas::ToRgba(fill)));
    canvas_ = GetBitmapCanvas(bitmap_);
    dc_ = CreateCompatibleDC(0);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    oldFont_ = SelectObject(dc_, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc_, TRANSPARENT);
  }
  ~Surface() {
    SelectObject(dc_, oldFont_);
    SelectObject(dc_, oldBitmap_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  HDC dc() const { return dc_; }
  Canvas& canvas() { return *canvas_; }
  Canvas Take() const { return *canvas_; }

  void Text(const std::u16string& text, RECT rc, COLORREF colour, UINT format) {
    SetTextColor(dc_, colour);
    DrawTextW(dc_, reinterpret_cast<LPCWSTR>(text.c_str()), -1, &rc, format);
  }

 private:
  HBITMAP bitmap_ = 0;
  std::shared_ptr<Canvas> canvas_;
  HDC dc_ = 0;
  HGDIOBJ oldBitmap_ = 0, oldFont_ = 0;
};

int TextWidth(HDC dc, const std::u16string& text) {
  RECT rc{0, 0, 0, 0};
  if (text.empty()) return 0;
  DrawTextW(dc, reinterpret_cast<LPCWSTR>(text.c_str()), -1, &rc, DT_SINGLELINE | DT_CALCRECT);
  return rc.right - rc.left;
}

// An item's label and its accelerator ("Open\tCtrl+O").
std::pair<std::u16string, std::u16string> SplitLabel(const std::u16string& text) {
  const auto tab = text.find(u'\t');
  if (tab == std::u16string::npos) return {text, u""};
  return {text.substr(0, tab), text.substr(tab + 1)};
}

int ItemHeight(const MenuItemView& item) { return item.separator ? kSeparatorHeight : kItemHeight; }

SIZE MeasureMenu(HDC dc, const std::vector<MenuItemView>& items) {
  int label = 0, accel = 0, height = 2 * kPad;
  for (const MenuItemView& item : items) {
    height += ItemHeight(item);
    const auto [l, a] = SplitLabel(item.ownerDraw && item.text.empty() ? u"\u2026" : item.text);
    label = std::max(label, TextWidth(dc, l));
    accel = std::max(accel, TextWidth(dc, a));
  }
  const int width = kGutter + label + (accel ? accel + 24 : 0) + kRightRoom;
  return SIZE{std::max(kMinWidth, width), height};
}

// True when `id` is the chosen command somewhere in `item`.
bool Leads(const MenuItemView& item, UINT id) {
  if (!id) return false;
  if (!item.separator && item.submenu.empty() && item.id == id) return true;
  for (const MenuItemView& sub : item.submenu)
    if (Leads(sub, id)) return true;
  return false;
}

struct Placed {
  const std::vector<MenuItemView>* items;
  RECT rc;
};

// Lays out the menu at (x, y) and every open submenu on the chosen path.
void Place(HDC dc, const std::vector<MenuItemView>& items, int x, int y, UINT chosen,
           std::vector<Placed>& out) {
  const SIZE size = MeasureMenu(dc, items);
  out.push_back({&items, RECT{x, y, x + size.cx, y + size.cy}});
  int top = y + kPad;
  for (const MenuItemView& item : items) {
    if (!item.submenu.empty() && Leads(item, chosen)) {
      Place(dc, item.submenu, x + size.cx - 3, top - kPad, chosen, out);
      break;
    }
    top += ItemHeight(item);
  }
}

void DrawMenu(Surface& s, const Placed& p, UINT chosen) {
  Canvas& c = s.canvas();
  Shadow(c, p.rc);
  c.Fill(p.rc, kBorder);
  c.Fill(RECT{p.rc.left + 1, p.rc.top + 1, p.rc.right - 1, p.rc.bottom - 1}, kPanel);
  int top = p.rc.top + kPad;
  for (const MenuItemView& item : *p.items) {
    const int h = ItemHeight(item);
    if (item.separator) {
      c.Fill(RECT{p.rc.left + 8, top + h / 2, p.rc.right - 8, top + h / 2 + 1}, kRule);
      top += h;
      continue;
    }
    const RECT row{p.rc.left + 3, top, p.rc.right - 3, top + h};
    const bool lit = Leads(item, chosen);
    if (lit) c.Fill(row, kHilite);
    const COLORREF ink = item.enabled ? kText : kGrey;
    const double cy = top + h / 2.0;
    if (item.checked) {
      const COLORREF tick = item.enabled ? kAccent : kGrey;
      Stroke(c, p.rc.left + 10.5, cy, p.rc.left + 14, cy + 3.5, 1.8, tick);
      Stroke(c, p.rc.left + 14, cy + 3.5, p.rc.left + 20.5, cy - 4, 1.8, tick);
    }
    const auto [label, accel] =
        SplitLabel(item.ownerDraw && item.text.empty() ? u"\u2026" : item.text);
    RECT text{p.rc.left + kGutter, top, p.rc.right - kRightRoom, top + h};
    s.Text(label, text, ink, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (!accel.empty())
      s.Text(accel, text, item.enabled ? kGrey : kGrey, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    if (!item.submenu.empty()) {
      const double ax = p.rc.right - 15.0;
      Stroke(c, ax, cy - 4, ax + 4, cy, 1.6, ink);
      Stroke(c, ax + 4, cy, ax, cy + 4, 1.6, ink);
    }
    top += h;
  }
}

RECT Bounds(const std::vector<Placed>& placed) {
  RECT b = placed.front().rc;
  for (const Placed& p : placed) {
    b.left = std::min(b.left, p.rc.left);
    b.top = std::min(b.top, p.rc.top);
    b.right = std::max(b.right, p.rc.right);
    b.bottom = std::max(b.bottom, p.rc.bottom);
  }
  return b;
}

// The menus placed at `origin`, drawn over `under` (which sits at (0, 0) of
// the result; the result grows to hold every menu and its shadow).
Canvas Compose(const PopupMenuView& menu, UINT chosen, const Canvas* under, POINT origin) {
  std::vector<Placed> placed;
  {
    Surface probe(1, 1, kBackdrop);
    Place(probe.dc(), menu.items, origin.x, origin.y, chosen, placed);
  }
  RECT b = Bounds(placed);
  RECT all{std::min<LONG>(0, b.left - kShadow), std::min<LONG>(0, b.top - kShadow),
           b.right + kShadow + 2, b.bottom + kShadow + 2};
  if (under) {
    all.right = std::max<LONG>(all.right, under->Width());
    all.bottom = std::max<LONG>(all.bottom, under->Height());
  }
  Surface s(all.right - all.left, all.bottom - all.top, kBackdrop);
  if (under)
    for (int y = 0; y < under->Height(); ++y)
      for (int x = 0; x < under->Width(); ++x)
        s.canvas().SetRgba(x - all.left, y - all.top, under->GetRgba(x, y) | 0xFF000000u);
  for (Placed& p : placed) {
    OffsetRect(&p.rc, -all.left, -all.top);
    DrawMenu(s, p, chosen);
  }
  return s.Take();
}

}  // namespace

Canvas RenderPopupMenu(const PopupMenuView& menu, UINT chosen) {
  return Compose(menu, chosen, nullptr, POINT{kShadow + 4, kShadow + 4});
}

Canvas RenderPopupMenuOverOwner(const PopupMenuView& menu, UINT chosen) {
  const HWND root = menu.owner ? GetAncestor(menu.owner, GA_ROOT) : 0;
  if (!root || !IsWindow(root)) return RenderPopupMenu(menu, chosen);
  platform::ui::PaintPending(static_cast<std::size_t>(-1));
  const Canvas under = RenderWindow(root);
  RECT wr{};
  GetWindowRect(root, &wr);
  return Compose(menu, chosen, &under, POINT{menu.pt.x - wr.left, menu.pt.y - wr.top});
}

namespace {

struct BoxButton {
  const char16_t* label;
  int id;
};

std::vector<BoxButton> ButtonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{u"确定", IDOK}, {u"取消", IDCANCEL}};
    case MB_ABORTRETRYIGNORE: return {{u"中止", IDABORT}, {u"重试", IDRETRY}, {u"忽略", IDIGNORE}};
    case MB_YESNOCANCEL: return {{u"是", IDYES}, {u"否", IDNO}, {u"取消", IDCANCEL}};
    case MB_YESNO: return {{u"是", IDYES}, {u"否", IDNO}};
    case MB_RETRYCANCEL: return {{u"重试", IDRETRY}, {u"取消", IDCANCEL}};
    default: return {{u"确定", IDOK}};
  }
}

}  // namespace

Canvas RenderMessageBox(const MessageBoxView& box) {
  constexpr int kCaption = 30, kMargin = 16, kIcon = 28, kButtonW = 76, kButtonH = 28, kGap = 8;
  const UINT icon = box.type & 0xF0;
  const std::vector<BoxButton> buttons = ButtonsOf(box.type);
  int textWidth = 0, textHeight = 0;
  {
    Surface probe(1, 1, kPanel);
    RECT rc{0, 0, 320, 0};
    DrawTextW(probe.dc(), reinterpret_cast<LPCWSTR>(box.text.c_str()), -1, &rc,
              DT_WORDBREAK | DT_CALCRECT);
    textWidth = rc.right - rc.left;
    textHeight = rc.bottom - rc.top;
  }
  const int buttonsWidth = static_cast<int>(buttons.size()) * (kButtonW + kGap) - kGap;
  const int bodyLeft = kMargin + (icon ? kIcon + 12 : 0);
  const int width = std::max({260, bodyLeft + textWidth + kMargin, buttonsWidth + 2 * kMargin});
  const int body = std::max(textHeight, icon ? kIcon : 0);
  const int height = kCaption + kMargin + body + kMargin + kButtonH + kMargin;
  const int ox = kShadow + 4, oy = kShadow + 4;
  Surface s(width + 2 * ox, height + 2 * oy, kBackdrop);
  Canvas& c = s.canvas();
  const RECT frame{ox, oy, ox + width, oy + height};
  Shadow(c, frame);
  c.Fill(frame, kBorder);
  c.Fill(RECT{ox + 1, oy + 1, ox + width - 1, oy + height - 1}, kPanel);
  c.Fill(RECT{ox + 1, oy + 1, ox + width - 1, oy + kCaption}, RGB(246, 248, 251));
  c.Fill(RECT{ox + 1, oy + kCaption, ox + width - 1, oy + kCaption + 1}, kRule);
  s.Text(box.caption, RECT{ox + 12, oy, ox + width - 12, oy + kCaption}, kText,
         DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
  const int top = oy + kCaption + kMargin;
  if (icon) {
    const COLORREF colour = icon == MB_ICONHAND          ? RGB(239, 68, 68)
                            : icon == MB_ICONEXCLAMATION ? RGB(245, 158, 11)
                                                         : kAccent;
    const char16_t* mark = icon == MB_ICONHAND          ? u"×"
                           : icon == MB_ICONEXCLAMATION ? u"!"
                           : icon == MB_ICONQUESTION    ? u"?"
                                                        : u"i";
    FillCircle(c, ox + kMargin + kIcon / 2.0, top + kIcon / 2.0, kIcon / 2.0, colour);
    s.Text(mark, RECT{ox + kMargin, top, ox + kMargin + kIcon, top + kIcon}, RGB(255, 255, 255),
           DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  }
  s.Text(box.text,
         RECT{ox + bodyLeft, top + (body - textHeight) / 2, ox + width - kMargin, top + body},
         kText, DT_WORDBREAK);
  int bx = ox + width - kMargin - buttonsWidth;
  const int by = oy + height - kMargin - kButtonH;
  for (const BoxButton& b : buttons) {
    const RECT rc{bx, by, bx + kButtonW, by + kButtonH};
    const bool def = b.id == box.defaultButton;
    c.Fill(rc, def ? kAccent : kBorder);
    if (!def) c.Fill(RECT{rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1}, kPanel);
    s.Text(b.label, rc, def ? RGB(255, 255, 255) : kText, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    bx += kButtonW + kGap;
  }
  return s.Take();
}
