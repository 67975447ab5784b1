// CQWBaseWndPlugin: the background every windowed panel paints behind itself.
#include "host/plughost.h"
#include "host/skinctl/colorconverter.h"
#include "platform/bitmap.h"
#include "platform/gdi.h"
#include "platform/input.h"

CQWBaseWndPlugin::CQWBaseWndPlugin() { CQWBaseWndPlugin::Empty(); }

CQWBaseWndPlugin::~CQWBaseWndPlugin() {
  if (m_hBackBitmap) DeleteObject(m_hBackBitmap);
  // A panel's window goes with the panel; one already destroyed by its
  // parent is left alone.
  if (m_hPluginWnd && IsWindow(m_hPluginWnd)) DestroyWindow(m_hPluginWnd);
}

const CQWAttrArray& CQWBaseWndPlugin::GetAttrArray() {
  static const CQWAttrArray attrs = QWExtendAttrs(
      CQWBasePlugin::GetAttrArray(),
      {
          QW_PLUGIN_ATTR(ATTR_COLOR, CQWBaseWndPlugin, m_clrBack, u"backcolor", u"背景颜色"),
          QW_PLUGIN_ATTR(ATTR_TEXT, CQWBaseWndPlugin, m_strBackImage, u"backimage", u"背景图片"),
          QW_PLUGIN_ATTR(ATTR_BOOL, CQWBaseWndPlugin, m_bTransparent, u"transparent", u"透明"),
          QW_PLUGIN_ATTR(ATTR_COLOR, CQWBaseWndPlugin, m_clrTrans, u"transcolor", u"透明色"),
          QW_PLUGIN_ATTR(ATTR_COLOR, CQWBaseWndPlugin, m_clrBorder, u"bordercolor", u"边框颜色"),
          QW_PLUGIN_ATTR(ATTR_NUMBER, CQWBaseWndPlugin, m_nCorner, u"corner", u"圆角大小"),
      });
  return attrs;
}

void CQWBaseWndPlugin::Empty() {
  CQWBasePlugin::Empty();
  m_clrBack = RGB(255, 255, 255);
  m_strBackImage.clear();
  m_bTransparent = FALSE;
  m_clrTrans = RGB(255, 0, 255);
  m_clrBorder = RGB(160, 160, 160);
  m_nCorner = 0;
}

void CQWBaseWndPlugin::UpdateWithBaseColor(COLORREF) {
  if (m_hPluginWnd && IsWindow(m_hPluginWnd)) InvalidateRect(m_hPluginWnd, nullptr, TRUE);
}

COLORREF CQWBaseWndPlugin::GetDrawBackColor() const {
  // The same rule as the skinned dialogs and the converted images.
  return CColorConverter::GetColor(GetBaseColor(), m_clrBack);
}

void CQWBaseWndPlugin::DrawPluginBack(HDC dc, const RECT& rc) {
  if (!dc) return;
  if (!m_strBackImage.empty()) {
    const std::u16string path = m_strWorkDir + u"bmp\\" + m_strBackImage;
    if (path != m_strBackLoaded) {
      if (m_hBackBitmap) DeleteObject(m_hBackBitmap);
      m_hBackBitmap = static_cast<HBITMAP>(
          LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
      m_strBackLoaded = path;
    }
    if (m_hBackBitmap) {
      SIZE size;
      GetBitmapDimensionEx(m_hBackBitmap, &size);
      HDC mem = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(mem, m_hBackBitmap);
      SetStretchBltMode(dc, 3);
      StretchBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, mem, 0, 0, size.cx,
                 size.cy, SRCCOPY);
      SelectObject(mem, old);
      DeleteDC(mem);
      return;
    }
  }
  HBRUSH brush = CreateSolidBrush(GetDrawBackColor());
  FillRect(dc, &rc, brush);
  DeleteObject(brush);
}

BOOL CQWBaseWndPlugin::DrawPlugin(HDC dc, const RECT& rc) {
  DrawPluginBack(dc, rc);
  return TRUE;
}

namespace {

LRESULT PanelWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
      break;
    }
    case WM_ERASEBKGND: return 1;  // the paint below covers everything
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      auto* owner = reinterpret_cast<CQWBaseWndPlugin*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
      RECT rc;
      GetClientRect(hwnd, &rc);
      if (owner) owner->DrawPlugin(dc, rc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_NCDESTROY: SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0); break;
    default: break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

BOOL CQWBaseWndPlugin::CreatePanelWindow(const char16_t* className, HWND parent, const RECT* rc,
                                         UINT id) {
  const RECT r = rc ? *rc : RECT{};
  if (m_hPluginWnd && IsWindow(m_hPluginWnd)) {
    SetParent(m_hPluginWnd, parent);
    MoveWindow(m_hPluginWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    return FALSE;
  }
  WNDCLASSW wc;
  if (!GetClassInfoW(nullptr, className, &wc)) {
    wc = WNDCLASSW{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = PanelWndProc;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
  }
  m_hPluginWnd =
      CreateWindowExW(0, className, u"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, r.left, r.top,
                      r.right - r.left, r.bottom - r.top, parent, static_cast<HMENU>(id), nullptr,
                      static_cast<CQWBaseWndPlugin*>(this));
  return m_hPluginWnd != 0;
}
