// Dialogs built from templates, modal and modeless.
//
// Templates are C++ descriptions in pixels (there are no dialog units).
// Numbered templates are registered by whoever supplies the resources (the
// host's resource module) with RegisterDialogTemplate and found by module
// and number; a module of null finds a template of that number in any
// module. A modal dialog runs like this: the dialog window and its controls
// are created, WM_INITDIALOG is sent (a TRUE answer puts the focus on the
// first WS_TABSTOP control), the owner is disabled, the modal driver acts
// (modal.h) and the posted messages are pumped; a dialog not ended by then
// receives WM_COMMAND IDCANCEL and, if still open, ends with IDCANCEL. Then
// the owner is enabled again, the dialog destroyed and its result returned.
#pragma once

#include "platform/modal.h"

#include <string>
#include <vector>

using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

constexpr DWORD DS_MODALFRAME = 0x80;
constexpr DWORD DS_SETFONT = 0x40;
constexpr DWORD DS_CENTER = 0x0800;

struct DialogItemTemplate {
  std::u16string className;  // "Button", "Edit", "Static" or a registered class
  std::u16string text;
  int id = 0;
  DWORD style = WS_CHILD | WS_VISIBLE;
  DWORD exStyle = 0;
  RECT rect;  // in the dialog's client co-ordinates
};

struct DialogTemplate {
  std::u16string caption;
  DWORD style = WS_POPUP | WS_VISIBLE;
  DWORD exStyle = 0;
  RECT rect;                 // position relative to the owner's top-left (screen for no owner)
  std::u16string className;  // empty: the standard dialog class
  std::vector<DialogItemTemplate> items;
};

// The dialog class's procedure: hands each message to the dialog procedure
// (DWLP_DLGPROC) and does the standard work for what it leaves (FALSE).
// WM_CLOSE becomes WM_COMMAND IDCANCEL.
LRESULT DefDlgProcW(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam);

void RegisterDialogTemplate(HINSTANCE module, UINT id, DialogTemplate dlgTemplate);
const DialogTemplate* FindDialogTemplate(HINSTANCE module, LPCWSTR name);

// -1 when the template is missing or the dialog cannot be created.
INT_PTR DialogBoxParamW(HINSTANCE module, LPCWSTR templateName, HWND owner, DLGPROC proc,
                        LPARAM initParam);
INT_PTR DialogBoxIndirectParamW(HINSTANCE module, const DialogTemplate* dlgTemplate, HWND owner,
                                DLGPROC proc, LPARAM initParam);
// Modeless: returns the dialog window (0 on failure); DestroyWindow ends it.
HWND CreateDialogParamW(HINSTANCE module, LPCWSTR templateName, HWND owner, DLGPROC proc,
                        LPARAM initParam);
HWND CreateDialogIndirectParamW(HINSTANCE module, const DialogTemplate* dlgTemplate, HWND owner,
                                DLGPROC proc, LPARAM initParam);
// Marks a modal dialog ended with the result (it is destroyed when its run
// returns); for a modeless dialog it just hides it.
BOOL EndDialog(HWND hdlg, INT_PTR result);
// Whether EndDialog was called for the dialog, and with what.
bool IsDialogEnded(HWND hdlg, INT_PTR* result = nullptr);

BOOL SetDlgItemTextW(HWND hdlg, int id, LPCWSTR text);
UINT GetDlgItemTextW(HWND hdlg, int id, LPWSTR buffer, int maxCount);
BOOL SetDlgItemInt(HWND hdlg, int id, UINT value, BOOL isSigned);
UINT GetDlgItemInt(HWND hdlg, int id, BOOL* translated, BOOL isSigned);
LRESULT SendDlgItemMessageW(HWND hdlg, int id, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL CheckDlgButton(HWND hdlg, int id, UINT check);
UINT IsDlgButtonChecked(HWND hdlg, int id);
