#include "platform/cgdiobj.h"

#include "platform/bitmap.h"
#include "platform/cdc.h"

#include <memory>
#include <unordered_map>

// Non-owning wrappers handed out by FromHandle and SelectObject.
struct GdiTemporaries {
  template <typename T>
  static T* Get(HGDIOBJ obj) {
    if (!obj) return nullptr;
    static std::unordered_map<HGDIOBJ, std::unique_ptr<T>> map;
    auto it = map.find(obj);
    if (it != map.end()) return it->second.get();
    auto w = std::make_unique<T>();
    w->m_hObject = obj;
    w->owns_ = false;
    T* raw = w.get();
    map.emplace(obj, std::move(w));
    return raw;
  }
};

CGdiObject::~CGdiObject() {
  if (owns_ && m_hObject) ::DeleteObject(m_hObject);
}

BOOL CGdiObject::Attach(HGDIOBJ obj) {
  if (m_hObject || !obj) return FALSE;
  m_hObject = obj;
  owns_ = true;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  m_hObject = 0;
  return h;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  BOOL r = owns_ ? ::DeleteObject(m_hObject) : TRUE;
  m_hObject = 0;
  return r;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ obj) { return GdiTemporaries::Get<CGdiObject>(obj); }
CPen* CPen::FromHandle(HPEN pen) { return GdiTemporaries::Get<CPen>(pen); }
CBrush* CBrush::FromHandle(HBRUSH brush) { return GdiTemporaries::Get<CBrush>(brush); }
CFont* CFont::FromHandle(HFONT font) { return GdiTemporaries::Get<CFont>(font); }
CBitmap* CBitmap::FromHandle(HBITMAP bitmap) { return GdiTemporaries::Get<CBitmap>(bitmap); }
CRgn* CRgn::FromHandle(HRGN rgn) { return GdiTemporaries::Get<CRgn>(rgn); }

BOOL CPen::CreatePen(int style, int width, COLORREF colour) {
  return Attach(::CreatePen(style, width, colour));
}
BOOL CBrush::CreateSolidBrush(COLORREF colour) { return Attach(::CreateSolidBrush(colour)); }
BOOL CBrush::CreateSysColorBrush(int index) {
  return Attach(::CreateSolidBrush(GetSysColor(index)));
}
BOOL CFont::CreateFontIndirect(const LOGFONTW* lf) { return Attach(::CreateFontIndirectW(lf)); }

BOOL CFont::CreatePointFont(int pointSize, LPCWSTR faceName, CDC*) {
  LOGFONTW lf;
  lf.lfHeight = -(pointSize * 96 / 720);  // tenths of a point at 96 pixels per inch
  for (int i = 0; faceName && faceName[i] && i < LF_FACESIZE - 1; ++i)
    lf.lfFaceName[i] = faceName[i];
  return CreateFontIndirect(&lf);
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight,
                       BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                       BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily, LPCWSTR faceName) {
  return Attach(::CreateFontW(height, width, escapement, orientation, weight, italic, underline,
                              strikeOut, charSet, outPrecision, clipPrecision, quality,
                              pitchAndFamily, faceName));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  return Attach(::CreateCompatibleBitmap(dc ? dc->m_hDC : 0, width, height));
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                           const void* bits) {
  return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}

BOOL CBitmap::LoadFromFile(LPCWSTR path, int cx, int cy) {
  return Attach(::LoadImageW(nullptr, path, IMAGE_BITMAP, cx, cy, LR_LOADFROMFILE));
}

CSize CBitmap::GetSize() const {
  BITMAP bm;
  if (!GetBitmap(&bm)) return CSize();
  return CSize(bm.bmWidth, bm.bmHeight);
}

BOOL CRgn::CreateRectRgn(int l, int t, int r, int b) { return Attach(::CreateRectRgn(l, t, r, b)); }
BOOL CRgn::CreateRectRgnIndirect(const RECT* rc) { return Attach(::CreateRectRgnIndirect(rc)); }
BOOL CRgn::CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) {
  return Attach(::CreateRoundRectRgn(l, t, r, b, w, h));
}
BOOL CRgn::CreateEllipticRgn(int l, int t, int r, int b) {
  return Attach(::CreateEllipticRgn(l, t, r, b));
}
BOOL CRgn::CreatePolygonRgn(const POINT* points, int count, int mode) {
  return Attach(::CreatePolygonRgn(points, count, mode));
}
int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode) {
  return ::CombineRgn(m_hObject, a ? a->m_hObject : 0, b ? b->m_hObject : 0, mode);
}
