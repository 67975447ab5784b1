// The skinned dialog: templates of the resource module, background and region.
#include "host/skinctl/cooldialog.h"

#include "host/basekit/resource.h"
#include "host/skinctl/colorconverter.h"
#include "host/skinctl/coolcontrols.h"

void RegisterResourceDialogs() {
  RegisterComboBoxClass();
  CResourceMgr::GetInstance()->RegisterDialogs();
}

namespace {

void EnsureRegistered() {
  // The platform forgets classes when the UI is reset; the resource module
  // registers its templates again itself when they are missing.
  RegisterComboBoxClass();
  CResourceMgr::GetInstance()->GetDefRes();
}

}  // namespace

CCoolDialog::CCoolDialog(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

CCoolDialog::~CCoolDialog() {
  if (m_hWnd) DestroyWindow();
}

INT_PTR CCoolDialog::DoModal() {
  EnsureRegistered();
  return CDialog::DoModal();
}

BOOL CCoolDialog::Create(UINT templateId, CWnd* parent) {
  EnsureRegistered();
  m_nIDTemplate = templateId;
  m_pParentWnd = parent;
  return CDialog::Create(templateId, parent);
}

BOOL CCoolDialog::OnInitDialog() {
  BOOL result = CDialog::OnInitDialog();
  if (const CDialogTemplate* t = CResourceMgr::GetInstance()->GetDialog(m_nIDTemplate)) {
    for (const auto& item : t->items) {
      if (item.limit <= 0) continue;
      HWND ctrl = ::GetDlgItem(m_hWnd, item.id);
      if (!ctrl) continue;
      UINT msg = item.className == u"ComboBox" ? CB_LIMITTEXT : EM_LIMITTEXT;
      ::SendMessageW(ctrl, msg, static_cast<WPARAM>(item.limit), 0);
    }
  }
  ApplyRegion();
  return result;
}

int CCoolDialog::OnCreate(LPCREATESTRUCTW cs) { return CDialog::OnCreate(cs); }
void CCoolDialog::OnDestroy() { CDialog::OnDestroy(); }

void CCoolDialog::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  ApplyRegion();
  Invalidate(FALSE);
}

void CCoolDialog::OnPaint() {
  CPaintDC dc(this);
  DrawDlgBack(&dc);
}

BOOL CCoolDialog::OnEraseBkgnd(CDC*) { return TRUE; }  // OnPaint covers everything

void CCoolDialog::DrawDlgBack(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  if (client.IsRectEmpty()) return;
  CDC mem;
  mem.CreateCompatibleDC(dc);
  CBitmap bmp;
  bmp.CreateCompatibleBitmap(dc, client.Width(), client.Height());
  CBitmap* old = mem.SelectObject(&bmp);
  DrawMemBack(&mem, client);
  dc->BitBlt(0, 0, client.Width(), client.Height(), &mem, 0, 0, SRCCOPY);
  mem.SelectObject(old);
  OnBackDrawed(dc);
}

void CCoolDialog::DrawMemBack(CDC* memDC, const CRect& client) {
  memDC->FillSolidRect(&client,
                       CColorConverter::GetColor(CColorConverter::GetBaseColor(), m_backColor));
  CustomDraw(memDC, client);
}

void CCoolDialog::CustomDraw(CDC*, const CRect&) {}
void CCoolDialog::OnBackDrawed(CDC*) {}

void CCoolDialog::OnSkinUpdated() {
  ApplyRegion();
  if (m_hWnd) RedrawWindow(nullptr, 0, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

CRect CCoolDialog::GetMinRect() const {
  const CDialogTemplate* t = CResourceMgr::GetInstance()->GetDialog(m_nIDTemplate);
  if (!t) return CRect();
  return CRect(0, 0, t->rect.right - t->rect.left, t->rect.bottom - t->rect.top);
}

void CCoolDialog::SetBackColor(COLORREF colour) {
  m_backColor = colour;
  if (m_hWnd) Invalidate(FALSE);
}

void CCoolDialog::SetCornerRadius(int radius) {
  m_cornerRadius = radius < 0 ? 0 : radius;
  ApplyRegion();
}

void CCoolDialog::ApplyRegion() {
  if (!m_hWnd) return;
  CRect client;
  GetClientRect(&client);
  CRgn rgn;
  if (m_cornerRadius > 0)
    rgn.CreateRoundRectRgn(0, 0, client.Width() + 1, client.Height() + 1, m_cornerRadius,
                           m_cornerRadius);
  else rgn.CreateRectRgn(0, 0, client.Width(), client.Height());
  // The window owns the region from now on.
  SetWindowRgn(static_cast<HRGN>(rgn.Detach()), TRUE);
}
