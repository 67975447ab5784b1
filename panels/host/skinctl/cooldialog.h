// skinctl: CCoolDialog, the skinned dialog base.
//
// Built from a dialog template of the resource module (CResourceMgr): the
// templates are registered with the platform under the resource module's
// handle, so DoModal and Create find them by number. At initialisation the
// text limits of the template's edits and combo boxes are applied. The
// background is painted into a memory bitmap (DrawMemBack: the back colour,
// then CustomDraw), copied to the window, and OnBackDrawed follows; a corner
// radius above 0 gives the window a rounded region.
#pragma once

#include "platform/framework.h"

class CCoolDialog : public CDialog {
 public:
  CCoolDialog() = default;
  explicit CCoolDialog(UINT templateId, CWnd* parent = nullptr);
  ~CCoolDialog() override;

  INT_PTR DoModal() override;
  // Modeless (a child when the template says WS_CHILD).
  BOOL Create(UINT templateId, CWnd* parent = nullptr) override;

  BOOL OnInitDialog() override;
  int OnCreate(LPCREATESTRUCTW cs) override;
  void OnDestroy() override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnPaint() override;
  BOOL OnEraseBkgnd(CDC* dc) override;

  // The skin changed: colours re-read and the window repainted.
  virtual void OnSkinUpdated();
  // The smallest size the dialog lays out well in (the template's size).
  virtual CRect GetMinRect() const;

  void SetBackColor(COLORREF colour);
  COLORREF GetBackColor() const { return m_backColor; }
  void SetCornerRadius(int radius);  // 0: a plain rectangle
  int GetCornerRadius() const { return m_cornerRadius; }

 protected:
  // Paints the whole background on `dc`.
  virtual void DrawDlgBack(CDC* dc);
  // Paints the background into the memory DC of the client size.
  virtual void DrawMemBack(CDC* memDC, const CRect& client);
  // For derived dialogs: extra drawing over the background.
  virtual void CustomDraw(CDC* memDC, const CRect& client);
  // After the background reached the window.
  virtual void OnBackDrawed(CDC* dc);
  void ApplyRegion();

  COLORREF m_backColor = RGB(235, 242, 249);
  int m_cornerRadius = 0;
};

// Registers every dialog template of the resource module with the platform
// (done by CCoolDialog on first use; again after the resource module changed).
void RegisterResourceDialogs();
