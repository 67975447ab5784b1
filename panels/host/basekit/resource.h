// basekit: the host's resource module.
//
// The strings and dialog templates that the panels name by number live in a
// data file of the host (UTF-8 XML). The default one is built into basekit;
// a skin may bring its own file, which then replaces it. Format:
//
//   <resources>
//     <string id="60031">发送消息</string>
//     <dialog id="594" caption="..." x="0" y="0" width="220" height="90">
//       <control class="Edit" id="1000" x=".." y=".." width=".." height=".."
//                text="" style="0x50810080" limit="63"/>
//     </dialog>
//   </resources>
//
// Dialog and control rectangles are in pixels; "style" and "exstyle" are
// numbers (decimal or 0x hexadecimal); "limit" is an edit's text limit.
#pragma once

#include "platform/windef.h"

#include <string>
#include <string_view>
#include <vector>

struct CDialogItemTemplate {
  std::u16string className;  // "Button", "Edit", "Static", "ComboBox", ...
  int id = -1;
  std::u16string text;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect;
  int limit = 0;  // edit and combo box text limit, 0 none
};

struct CDialogTemplate {
  UINT id = 0;
  std::u16string caption;
  DWORD style = 0;
  RECT rect;
  std::vector<CDialogItemTemplate> items;

  // The template of a control id, or null.
  const CDialogItemTemplate* Find(int controlId) const;
};

struct CMenuItemTemplate {
  UINT id = 0;
  std::u16string text;
  UINT flags = 0;  // MF_ flags (grayed, checked...)
  int image = -1;  // menu image index
  bool separator = false;
};

struct CMenuTemplate {
  UINT id = 0;
  std::vector<CMenuItemTemplate> items;
};

class CResourceMgr {
 public:
  static CResourceMgr* GetInstance();

  // The handle of the current resource module (the default one unless a
  // skin's file was loaded); never null. The panels make it their resource
  // handle at start, and the platform's LoadStringW answers from it.
  HINSTANCE GetDefRes();

  // The text of a string id; empty when the module has none.
  std::u16string GetString(UINT id) const;
  BOOL HasString(UINT id) const;
  std::vector<UINT> GetStringIds() const;
  // A dialog template, or null.
  const CDialogTemplate* GetDialog(UINT id) const;
  std::vector<UINT> GetDialogIds() const;
  // A pop-up menu template (<menu id=".."><item id=".." text=".." flags=".."
  // image=".."/><separator/></menu>), or null.
  const CMenuTemplate* GetMenu(UINT id) const;

  // Replaces the current module by the file at `path` (a skin's resources).
  // FALSE, and the current module kept, when the file is missing or not a
  // well-formed resource file.
  BOOL LoadResourceFile(LPCWSTR path);
  BOOL LoadResourceText(std::string_view utf8Xml);
  // Back to the built-in module.
  void ResetToDefault();
  // Registers every dialog template with the platform under GetDefRes(), so
  // that the framework's dialogs find them by number. Done whenever the
  // module changes and, when the platform lost them, by GetDefRes.
  void RegisterDialogs();

  struct Data;  // the parsed module, opaque

 private:
  CResourceMgr();
  Data* m_data;
};
