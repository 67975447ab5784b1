// skinctl: CGT_BitmapButton, the image button of the host's toolbars.
//
// Draws, in this order: the background (the background image stretched over
// the button, else the background colour, else nothing in transparent mode
// where the parent's background shows), the icon (one frame of a horizontal
// strip of `states` equal frames: 0 normal, 1 hover, 2 pressed, 3 disabled;
// pixels of the transparent colour left out), the text beside the icon as
// the alignment says, and a one-pixel border in the border colour while the
// mouse is over it. The hand cursor shows over it when asked. Clicks are
// reported as a button's (BN_CLICKED to the parent) and to the click handler.
#pragma once

#include "platform/framework.h"

#include <functional>
#include <memory>
#include <string>

class CQWPicture;

// Text positions relative to the icon.
constexpr int GTBB_TEXT_LEFT = 0;
constexpr int GTBB_TEXT_RIGHT = 1;
constexpr int GTBB_TEXT_TOP = 2;
constexpr int GTBB_TEXT_BOTTOM = 3;

class CGT_BitmapButton : public CButton {
 public:
  CGT_BitmapButton();
  ~CGT_BitmapButton() override;

  BOOL Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id);

  BOOL SetIconFile(LPCWSTR path, int states = 4);  // FALSE when it does not load (no icon then)
  BOOL SetBackImage(LPCWSTR path);                 // FALSE when it does not load
  void SetBkColor(COLORREF colour);                // CLR_INVALID: none
  void SetTextColor(COLORREF colour);
  void SetBorderColor(COLORREF colour);  // CLR_INVALID: no hover border
  void SetTransparent(BOOL on, COLORREF transparent = RGB(255, 0, 255));
  void SetText(const std::u16string& text, int align = GTBB_TEXT_BOTTOM);
  void SetHandCursor(BOOL on) { m_handCursor = on != FALSE; }
  void SetClickHandler(std::function<void()> handler) { m_onClick = std::move(handler); }

  std::u16string GetText() const { return m_text; }
  BOOL HasIcon() const { return m_icon != nullptr; }
  BOOL HasBackImage() const { return m_back != nullptr; }
  BOOL IsHover() const { return m_hover; }
  BOOL IsTransparent() const { return m_transparent; }
  COLORREF GetTransparentColor() const { return m_transparentColor; }
  COLORREF GetBorderColor() const { return m_border; }
  COLORREF GetBkColor() const { return m_bkColor; }

  // Paints what lies behind the button (its background image or colour) on
  // `dc` over `rc`: how a panel draws its background "through" the button.
  void DrawTransparentBack(CDC* dc, const RECT& rc);

  void OnPaint() override;
  BOOL OnEraseBkgnd(CDC* dc) override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnMouseLeave() override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;

 private:
  std::shared_ptr<CQWPicture> m_icon;
  std::shared_ptr<CQWPicture> m_back;
  int m_states = 4;
  COLORREF m_bkColor = CLR_INVALID;
  COLORREF m_textColor = RGB(0, 0, 0);
  COLORREF m_border = CLR_INVALID;
  bool m_transparent = false;
  COLORREF m_transparentColor = RGB(255, 0, 255);
  std::u16string m_text;
  int m_align = GTBB_TEXT_BOTTOM;
  bool m_handCursor = false;
  bool m_hover = false;
  bool m_pressed = false;
  std::function<void()> m_onClick;
};
