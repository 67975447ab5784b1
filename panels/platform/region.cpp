#include "platform/region.h"

#include "platform/ui_internal.h"

#include <algorithm>

namespace platform::ui {
namespace {

bool InEllipse(double px, double py, double cx, double cy, double rx, double ry) {
  if (rx <= 0 || ry <= 0) return false;
  double dx = (px - cx) / rx, dy = (py - cy) / ry;
  return dx * dx + dy * dy <= 1.0;
}

bool InPolygon(const std::vector<POINT>& pts, int fillMode, double px, double py) {
  int winding = 0;
  int crossings = 0;
  std::size_t n = pts.size();
  for (std::size_t i = 0; i < n; ++i) {
    const POINT& a = pts[i];
    const POINT& b = pts[(i + 1) % n];
    if ((a.y <= py) != (b.y <= py)) {
      double x = a.x + (py - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y);
      if (x > px) {
        ++crossings;
        winding += b.y > a.y ? 1 : -1;
      }
    }
  }
  return fillMode == WINDING ? winding != 0 : (crossings & 1) != 0;
}

RECT Normalised(int l, int t, int r, int b) {
  return RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

std::shared_ptr<const RegionShape> Shape(HRGN rgn) {
  GdiObject* o = FindGdi(rgn, OBJ_REGION);
  return o ? o->region : nullptr;
}

HRGN NewRegion(std::shared_ptr<RegionShape> shape) {
  GdiObject o;
  o.type = OBJ_REGION;
  o.region = std::move(shape);
  return AddGdi(std::move(o));
}

int KindOf(const RegionShape& s) {
  if (IsRectEmpty(&s.box)) return NULLREGION;
  return s.kind == RegionShape::Kind::Rect ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

bool RegionShape::Contains(int x, int y) const {
  if (x < box.left || y < box.top || x >= box.right || y >= box.bottom) return false;
  double px = x + 0.5, py = y + 0.5;
  switch (kind) {
    case Kind::Empty: return false;
    case Kind::Rect: return true;
    case Kind::Ellipse:
      return InEllipse(px, py, (rc.left + rc.right) / 2.0, (rc.top + rc.bottom) / 2.0,
                       (rc.right - rc.left) / 2.0, (rc.bottom - rc.top) / 2.0);
    case Kind::RoundRect: {
      double rx = std::min(w, rc.right - rc.left) / 2.0;
      double ry = std::min(h, rc.bottom - rc.top) / 2.0;
      double cx = px < rc.left + rx ? rc.left + rx : (px > rc.right - rx ? rc.right - rx : px);
      double cy = py < rc.top + ry ? rc.top + ry : (py > rc.bottom - ry ? rc.bottom - ry : py);
      if (cx == px || cy == py) return true;  // not in a corner
      return InEllipse(px, py, cx, cy, rx, ry);
    }
    case Kind::Polygon: return InPolygon(points, fillMode, px, py);
    case Kind::Combine: {
      bool ina = a && a->Contains(x, y);
      bool inb = b && b->Contains(x, y);
      switch (op) {
        case RGN_AND: return ina && inb;
        case RGN_OR: return ina || inb;
        case RGN_XOR: return ina != inb;
        case RGN_DIFF: return ina && !inb;
        default: return ina;
      }
    }
  }
  return false;
}

std::shared_ptr<const RegionShape> OffsetShape(const std::shared_ptr<const RegionShape>& s, int dx,
                                               int dy) {
  if (!s) return s;
  auto c = std::make_shared<RegionShape>(*s);
  OffsetRect(&c->rc, dx, dy);
  OffsetRect(&c->box, dx, dy);
  for (auto& p : c->points) {
    p.x += dx;
    p.y += dy;
  }
  c->a = OffsetShape(s->a, dx, dy);
  c->b = OffsetShape(s->b, dx, dy);
  return c;
}

}  // namespace platform::ui

using namespace platform::ui;

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  auto s = std::make_shared<RegionShape>();
  s->kind = RegionShape::Kind::Rect;
  s->rc = s->box = Normalised(left, top, right, bottom);
  return NewRegion(s);
}

HRGN CreateRectRgnIndirect(const RECT* rc) {
  return rc ? CreateRectRgn(rc->left, rc->top, rc->right, rc->bottom) : 0;
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int w, int h) {
  auto s = std::make_shared<RegionShape>();
  s->kind = RegionShape::Kind::RoundRect;
  s->rc = s->box = Normalised(left, top, right, bottom);
  s->w = std::max(0, w);
  s->h = std::max(0, h);
  return NewRegion(s);
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  auto s = std::make_shared<RegionShape>();
  s->kind = RegionShape::Kind::Ellipse;
  s->rc = s->box = Normalised(left, top, right, bottom);
  return NewRegion(s);
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
  if (!points || count < 0) return 0;
  auto s = std::make_shared<RegionShape>();
  s->kind = RegionShape::Kind::Polygon;
  s->fillMode = fillMode == WINDING ? WINDING : ALTERNATE;
  s->points.assign(points, points + count);
  if (count >= 3) {
    RECT box{points[0].x, points[0].y, points[0].x, points[0].y};
    for (int i = 1; i < count; ++i) {
      box.left = std::min(box.left, points[i].x);
      box.top = std::min(box.top, points[i].y);
      box.right = std::max(box.right, points[i].x);
      box.bottom = std::max(box.bottom, points[i].y);
    }
    s->box = box;
  }
  return NewRegion(s);
}

int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode) {
  GdiObject* d = FindGdi(dst, OBJ_REGION);
  auto a = Shape(src1);
  auto b = Shape(src2);
  if (!d || !a || (mode != RGN_COPY && !b) || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (mode == RGN_COPY) {
    d->region = a;
    return KindOf(*a);
  }
  auto s = std::make_shared<RegionShape>();
  s->kind = RegionShape::Kind::Combine;
  s->op = mode;
  s->a = a;
  s->b = b;
  switch (mode) {
    case RGN_AND: IntersectRect(&s->box, &a->box, &b->box); break;
    case RGN_DIFF: s->box = a->box; break;
    default: UnionRect(&s->box, &a->box, &b->box); break;
  }
  d->region = s;
  return KindOf(*s);
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
  GdiObject* o = FindGdi(rgn, OBJ_REGION);
  if (!o) return ERROR;
  o->region = OffsetShape(o->region, dx, dy);
  return KindOf(*o->region);
}

int GetRgnBox(HRGN rgn, RECT* rc) {
  auto s = Shape(rgn);
  if (!s || !rc) return ERROR;
  *rc = s->box;
  return KindOf(*s);
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
  auto s = Shape(rgn);
  return s && s->Contains(x, y) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN a, HRGN b) {
  auto sa = Shape(a), sb = Shape(b);
  if (!sa || !sb) return FALSE;
  RECT box;
  UnionRect(&box, &sa->box, &sb->box);
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x)
      if (sa->Contains(x, y) != sb->Contains(x, y)) return FALSE;
  return TRUE;
}

int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw) {
  Window* w = FindWindowData(hwnd);
  if (!w) return 0;
  if (rgn) {
    auto s = Shape(rgn);
    if (!s) return 0;
    w->region = s;
    DeleteObject(rgn);  // the system owns it now
  } else {
    w->region.reset();
  }
  if (redraw) InvalidateRect(hwnd, nullptr, TRUE);
  return 1;
}

int GetWindowRgn(HWND hwnd, HRGN rgn) {
  Window* w = FindWindowData(hwnd);
  GdiObject* o = FindGdi(rgn, OBJ_REGION);
  if (!w || !o || !w->region) return ERROR;
  o->region = w->region;
  return KindOf(*w->region);
}
