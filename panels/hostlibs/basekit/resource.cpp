// The resource module: strings and dialog templates from a resource file.
#include "host/basekit/resource.h"

#include "platform/dialog.h"
#include "platform/file.h"
#include "platform/text.h"

#include <pugixml.hpp>

#include <cstdlib>
#include <map>
#include <memory>

extern const unsigned char kDefaultResources[];
extern const std::size_t kDefaultResourcesSize;

struct CResourceMgr::Data {
  std::map<UINT, std::u16string> strings;
  std::map<UINT, CDialogTemplate> dialogs;
  std::map<UINT, CMenuTemplate> menus;
  bool isDefault = true;
};

namespace {

// The handles of the built-in module and of a loaded one: distinct,
// non-null and never dereferenced.
char g_defaultModuleTag;
char g_loadedModuleTag;

long Number(const pugi::xml_node& n, const char* name, long def = 0) {
  pugi::xml_attribute a = n.attribute(name);
  if (!a) return def;
  return std::strtol(a.value(), nullptr, 0);
}

RECT RectOf(const pugi::xml_node& n) {
  RECT rc;
  rc.left = Number(n, "x");
  rc.top = Number(n, "y");
  rc.right = rc.left + Number(n, "width");
  rc.bottom = rc.top + Number(n, "height");
  return rc;
}

bool Parse(std::string_view xml, CResourceMgr::Data& out) {
  pugi::xml_document doc;
  if (!doc.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8))
    return false;
  pugi::xml_node root = doc.child("resources");
  if (!root) return false;
  for (pugi::xml_node s : root.children("string")) {
    long id = Number(s, "id", -1);
    if (id < 0 || id > 0xFFFF) continue;
    out.strings[static_cast<UINT>(id)] = FromUtf8(s.text().get());
  }
  for (pugi::xml_node d : root.children("dialog")) {
    long id = Number(d, "id", -1);
    if (id < 0 || id > 0xFFFF) continue;
    CDialogTemplate t;
    t.id = static_cast<UINT>(id);
    t.caption = FromUtf8(d.attribute("caption").value());
    t.style = static_cast<DWORD>(std::strtoul(d.attribute("style").value(), nullptr, 0));
    t.rect = RectOf(d);
    for (pugi::xml_node c : d.children("control")) {
      CDialogItemTemplate item;
      item.className = FromUtf8(c.attribute("class").value());
      item.id = static_cast<int>(Number(c, "id", -1));
      item.text = FromUtf8(c.attribute("text").value());
      item.style = static_cast<DWORD>(std::strtoul(c.attribute("style").value(), nullptr, 0));
      item.exStyle = static_cast<DWORD>(std::strtoul(c.attribute("exstyle").value(), nullptr, 0));
      item.rect = RectOf(c);
      item.limit = static_cast<int>(Number(c, "limit"));
      t.items.push_back(std::move(item));
    }
    out.dialogs[t.id] = std::move(t);
  }
  for (pugi::xml_node m : root.children("menu")) {
    long id = Number(m, "id", -1);
    if (id < 0 || id > 0xFFFF) continue;
    CMenuTemplate t;
    t.id = static_cast<UINT>(id);
    for (pugi::xml_node i : m.children()) {
      CMenuItemTemplate item;
      if (std::string_view(i.name()) == "separator") {
        item.separator = true;
      } else if (std::string_view(i.name()) == "item") {
        item.id = static_cast<UINT>(Number(i, "id"));
        item.text = FromUtf8(i.attribute("text").value());
        item.flags = static_cast<UINT>(Number(i, "flags"));
        item.image = static_cast<int>(Number(i, "image", -1));
      } else {
        continue;
      }
      t.items.push_back(std::move(item));
    }
    out.menus[t.id] = std::move(t);
  }
  return true;
}

}  // namespace

const CDialogItemTemplate* CDialogTemplate::Find(int controlId) const {
  for (const auto& item : items)
    if (item.id == controlId) return &item;
  return nullptr;
}

CResourceMgr::CResourceMgr() : m_data(new Data) { ResetToDefault(); }

CResourceMgr* CResourceMgr::GetInstance() {
  // Never destroyed: panels may ask for strings while the process unwinds.
  static CResourceMgr* instance = new CResourceMgr;
  return instance;
}

HINSTANCE CResourceMgr::GetDefRes() {
  HINSTANCE module =
      reinterpret_cast<HINSTANCE>(m_data->isDefault ? &g_defaultModuleTag : &g_loadedModuleTag);
  if (!m_data->dialogs.empty() &&
      !FindDialogTemplate(module, MAKEINTRESOURCEW(m_data->dialogs.begin()->first)))
    RegisterDialogs();
  return module;
}

void CResourceMgr::RegisterDialogs() {
  HINSTANCE module =
      reinterpret_cast<HINSTANCE>(m_data->isDefault ? &g_defaultModuleTag : &g_loadedModuleTag);
  for (const auto& [id, src] : m_data->dialogs) {
    DialogTemplate dst;
    dst.caption = src.caption;
    dst.style = src.style;
    dst.rect = src.rect;
    for (const auto& item : src.items) {
      DialogItemTemplate di;
      di.className = item.className;
      di.text = item.text;
      di.id = item.id;
      di.style = item.style;
      di.exStyle = item.exStyle;
      di.rect = item.rect;
      dst.items.push_back(std::move(di));
    }
    RegisterDialogTemplate(module, id, std::move(dst));
  }
}

std::u16string CResourceMgr::GetString(UINT id) const {
  auto it = m_data->strings.find(id);
  return it == m_data->strings.end() ? std::u16string() : it->second;
}

BOOL CResourceMgr::HasString(UINT id) const { return m_data->strings.count(id) ? TRUE : FALSE; }

std::vector<UINT> CResourceMgr::GetStringIds() const {
  std::vector<UINT> ids;
  for (const auto& [id, text] : m_data->strings) ids.push_back(id);
  return ids;
}

const CDialogTemplate* CResourceMgr::GetDialog(UINT id) const {
  auto it = m_data->dialogs.find(id);
  return it == m_data->dialogs.end() ? nullptr : &it->second;
}

std::vector<UINT> CResourceMgr::GetDialogIds() const {
  std::vector<UINT> ids;
  for (const auto& [id, dlg] : m_data->dialogs) ids.push_back(id);
  return ids;
}

const CMenuTemplate* CResourceMgr::GetMenu(UINT id) const {
  auto it = m_data->menus.find(id);
  return it == m_data->menus.end() ? nullptr : &it->second;
}

BOOL CResourceMgr::LoadResourceText(std::string_view utf8Xml) {
  Data fresh;
  if (!Parse(utf8Xml, fresh)) return FALSE;
  fresh.isDefault = false;
  *m_data = std::move(fresh);
  RegisterDialogs();
  return TRUE;
}

BOOL CResourceMgr::LoadResourceFile(LPCWSTR path) {
  if (!path) return FALSE;
  std::string bytes;
  if (!ReadWholeFile(ToFileSystemPath(path), bytes)) return FALSE;
  return LoadResourceText(bytes);
}

void CResourceMgr::ResetToDefault() {
  Data fresh;
  Parse(std::string_view(reinterpret_cast<const char*>(kDefaultResources), kDefaultResourcesSize),
        fresh);
  fresh.isDefault = true;
  *m_data = std::move(fresh);
  RegisterDialogs();
}
