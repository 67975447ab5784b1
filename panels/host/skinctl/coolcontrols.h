// skinctl: the skinned controls. Each is the platform control of its kind
// (attach with SubclassDlgItem, or Create) drawn in the skin's colours.
#pragma once

#include "platform/framework.h"

#include <functional>
#include <string>
#include <vector>

class CCoolButton : public CButton {
 public:
  void SetColors(COLORREF text, COLORREF face, COLORREF border);
  void OnPaint() override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnMouseLeave() override;
  BOOL IsHover() const { return m_hover; }

 protected:
  COLORREF m_text = RGB(0, 0, 0);
  COLORREF m_face = RGB(225, 235, 245);
  COLORREF m_border = RGB(120, 150, 180);
  bool m_hover = false;
};

class CCoolStatic : public CStatic {
 public:
  void SetTextColor(COLORREF colour);
  COLORREF GetTextColor() const { return m_text; }
  // Transparent statics leave the parent's background showing.
  void SetTransparent(BOOL on) { m_transparent = on != FALSE; }
  void OnPaint() override;

 private:
  COLORREF m_text = RGB(0, 0, 0);
  COLORREF m_back = RGB(255, 255, 255);
  bool m_transparent = true;
};

class CCoolEdit : public CEdit {
 public:
  void SetColors(COLORREF text, COLORREF border);
  COLORREF GetTextColor() const { return m_text; }
  void OnPaint() override;

 private:
  COLORREF m_text = RGB(0, 0, 0);
  COLORREF m_border = RGB(120, 150, 180);
};

// Combo box messages and notifications.
constexpr UINT CB_GETEDITSEL = 0x0140;
constexpr UINT CB_LIMITTEXT = 0x0141;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_SHOWDROPDOWN = 0x014F;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr int CB_ERR = -1;
constexpr WORD CBN_SELCHANGE = 1;
constexpr WORD CBN_EDITCHANGE = 5;
constexpr WORD CBN_DROPDOWN = 7;
constexpr DWORD CBS_DROPDOWN = 0x0002;
constexpr DWORD CBS_DROPDOWNLIST = 0x0003;

// The window class "ComboBox": an edit part and a list. The drop-down list
// opens as a pop-up menu of the entries (through the modal driver); choosing
// one selects it and reports CBN_SELCHANGE. Typing reports CBN_EDITCHANGE.
// Registered by skinctl on first use (RegisterComboBoxClass).
class CCoolComboBox : public CWnd {
 public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  int AddString(LPCWSTR text);
  int InsertString(int index, LPCWSTR text);
  int DeleteString(int index);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;
  int SetCurSel(int index);
  std::u16string GetLBText(int index) const;
  int FindStringExact(int start, LPCWSTR text) const;
  void LimitText(int max);
  // Opens the list (as a click on the arrow does); returns the chosen index or -1.
  int ShowDropDown();
};

void RegisterComboBoxClass();

// A link-style button: hand cursor, underlined text in the link colours,
// opens its address (or reports BN_CLICKED when it has none).
class CCoolHyperLink : public CButton {
 public:
  void SetURL(const std::u16string& url) { m_url = url; }
  const std::u16string& GetURL() const { return m_url; }
  void SetColors(COLORREF normal, COLORREF hover);
  void OnPaint() override;
  void OnMouseMove(UINT flags, CPoint point) override;
  void OnMouseLeave() override;
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;

  // Opens a web address with the platform's shell "open" verb; `show` is
  // the show command (SW_...). FALSE for an empty address or when the
  // platform cannot open it. The last address opened is kept for tests.
  static BOOL GotoURL(LPCWSTR url, int show);
  static std::u16string GetLastOpenedURL();
  // How addresses are opened: the host installs the platform's way (a
  // browser); without one GotoURL only records the address.
  static void SetURLOpener(std::function<BOOL(const std::u16string& url, int show)> opener);

 private:
  std::u16string m_url;
  COLORREF m_normal = RGB(0, 0, 238);
  COLORREF m_hover = RGB(238, 0, 0);
  bool m_hoverState = false;
};
