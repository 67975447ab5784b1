// CQWBasePlugin: the managers, the attributes read from the layout, and the
// window operations that every plug-in shares.
#include <algorithm>
#include <cstdlib>

#include "host/plughost.h"
#include "host/skinctl/colorconverter.h"
#include "platform/text.h"

CQWAttrArray QWExtendAttrs(const CQWAttrArray& base, std::initializer_list<PLUGIN_ATTR> own) {
  CQWAttrArray out = base;
  out.insert(out.end(), own.begin(), own.end());
  return out;
}

namespace {

bool ParseInt(const std::u16string& text, long long& out) {
  std::string s = ToUtf8(text);
  s.erase(0, s.find_first_not_of(" \t"));
  s.erase(s.find_last_not_of(" \t") + 1);
  if (s.empty()) return false;
  char* end = nullptr;
  const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
  out = std::strtoll(s.c_str(), &end, hex ? 16 : 10);
  return end && *end == '\0';
}

// Colours are written "#RRGGBB", "RGB(r,g,b)", "r,g,b", or as the number of
// the COLORREF itself (0x00BBGGRR, decimal or "0x").
bool ParseColor(const std::u16string& text, COLORREF& out) {
  std::u16string t = ToLowerW(text);
  t.erase(std::remove(t.begin(), t.end(), u' '), t.end());
  if (t.size() == 7 && t[0] == u'#') {
    long long v;
    if (!ParseInt(u"0x" + t.substr(1), v)) return false;
    out = RGB(static_cast<BYTE>(v >> 16), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v));
    return true;
  }
  if (t.rfind(u"rgb(", 0) == 0 && t.back() == u')') t = t.substr(4, t.size() - 5);
  if (t.find(u',') != std::u16string::npos) {
    long long c[3];
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i) {
      const std::size_t comma = t.find(u',', start);
      if ((i < 2) != (comma != std::u16string::npos)) return false;
      if (!ParseInt(t.substr(start, comma - start), c[i]) || c[i] < 0 || c[i] > 255) return false;
      start = comma + 1;
    }
    out = RGB(static_cast<BYTE>(c[0]), static_cast<BYTE>(c[1]), static_cast<BYTE>(c[2]));
    return true;
  }
  long long v;
  if (!ParseInt(t, v) || v < 0 || v > 0xffffff) return false;
  out = static_cast<COLORREF>(v);
  return true;
}

bool ParseBool(const std::u16string& text, BOOL& out) {
  const std::u16string t = ToLowerW(text);
  if (t == u"1" || t == u"yes" || t == u"true" || t == u"on") out = TRUE;
  else if (t == u"0" || t == u"no" || t == u"false" || t == u"off" || t.empty()) out = FALSE;
  else {
    long long v;
    if (!ParseInt(t, v)) return false;
    out = v != 0;
  }
  return true;
}

std::u16string NumberText(long long v) { return FromUtf8(std::to_string(v)); }

}  // namespace

// ---- construction -------------------------------------------------------------

namespace {
QWPluginEndHook g_endHook = nullptr;
void* g_endContext = nullptr;
}  // namespace

void QWSetPluginEndHook(QWPluginEndHook hook, void* context) {
  g_endHook = hook;
  g_endContext = context;
}

CQWBasePlugin::CQWBasePlugin() = default;

CQWBasePlugin::~CQWBasePlugin() {
  if (g_endHook) g_endHook(this, m_strType.c_str(), g_endContext);
}

const CQWAttrArray& CQWBasePlugin::buildAttrArray() {
  static const CQWAttrArray attrs = {
      QW_PLUGIN_ATTR(ATTR_TEXT, CQWBasePlugin, m_strName, u"name", u"名称"),
      QW_PLUGIN_ATTR(ATTR_BOOL, CQWBasePlugin, m_bVisible, u"visible", u"可见"),
  };
  return attrs;
}

const CQWAttrArray& CQWBasePlugin::GetAttrArray() { return buildAttrArray(); }

const CQWEnumAttrMap& CQWBasePlugin::GetEnumAttrMap() {
  static const CQWEnumAttrMap none;
  return none;
}

// ---- interface ---------------------------------------------------------------------

RECT CQWBasePlugin::GetMinRect() {
  RECT rc;
  rc.right = m_nMinWidth;
  rc.bottom = m_nMinHeight;
  return rc;
}

BOOL CQWBasePlugin::IsVisible() {
  if (m_hPluginWnd && IsWindow(m_hPluginWnd)) return IsWindowVisible(m_hPluginWnd);
  return m_bVisible;
}

void CQWBasePlugin::SetDataProcessMgr(CQWDataProcessorManager* mgr) { m_pDataProcessMgr = mgr; }
const char16_t* CQWBasePlugin::GetPluginName() { return m_strName.c_str(); }
void CQWBasePlugin::SetContainer(CQWContainer* container) { m_pContainer = container; }
CQWContainer* CQWBasePlugin::GetContainer() { return m_pContainer; }

BOOL CQWBasePlugin::EnablePlugin(BOOL enable) {
  m_bEnabled = enable;
  if (m_hPluginWnd && IsWindow(m_hPluginWnd)) EnableWindow(m_hPluginWnd, enable);
  return TRUE;
}

BOOL CQWBasePlugin::ShowPlugin(BOOL show) {
  m_bVisible = show;
  if (m_hPluginWnd && IsWindow(m_hPluginWnd)) ShowWindow(m_hPluginWnd, show ? SW_SHOW : SW_HIDE);
  return TRUE;
}

BOOL CQWBasePlugin::HidePlugin() { return ShowPlugin(FALSE); }

void CQWBasePlugin::SetPluginManager(CQWPluginManager* mgr) { m_pPluginMgr = mgr; }
void CQWBasePlugin::SetMsgManager(CQWMsgManager* mgr) { m_pMsgMgr = mgr; }

BOOL CQWBasePlugin::MovePlugin(const RECT& rc) {
  if (!m_hPluginWnd || !IsWindow(m_hPluginWnd)) return FALSE;
  return MoveWindow(m_hPluginWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
}

BOOL CQWBasePlugin::CreatePlugin(HWND, const RECT*) { return FALSE; }

BOOL CQWBasePlugin::LoadInfo(const CXmlNode& node) {
  if (node.IsNull()) return FALSE;
  const auto values = node.Attributes();
  for (const PLUGIN_ATTR& attr : GetAttrArray()) {
    for (const auto& [key, value] : values) {
      if (lstrcmpiW(key.c_str(), attr.szKey) == 0) {
        SetAttrText(attr, value);  // a value that does not parse keeps the default
        break;
      }
    }
  }
  LoadChildNode(node);
  return TRUE;
}

LRESULT CQWBasePlugin::OnNotify(UINT, WPARAM, LPARAM) { return 0; }
void CQWBasePlugin::SetDataManager(CQWDataManager* mgr) { m_pDataMgr = mgr; }

void CQWBasePlugin::SetBaseColor(COLORREF color) {
  // The colour is the client's, not this panel's: every panel, skinned
  // dialog and converted image reads it from the one store.
  CColorConverter::SetBaseColor(color);
  UpdateWithBaseColor(CColorConverter::GetBaseColor());
}

COLORREF CQWBasePlugin::GetBaseColor() const { return CColorConverter::GetBaseColor(); }

BOOL CQWBasePlugin::DrawPlugin(HDC, const RECT&) { return FALSE; }

void CQWBasePlugin::SetWorkDir(const char16_t* dir) {
  m_strWorkDir = dir ? dir : u"";
  // Paths are formed as work directory + "bmp\" + name: keep the separator.
  if (!m_strWorkDir.empty() && m_strWorkDir.back() != u'\\' && m_strWorkDir.back() != u'/')
    m_strWorkDir.push_back(u'\\');
}

BOOL CQWBasePlugin::SaveInfo(const CXmlNode& node) {
  if (node.IsNull()) return FALSE;
  pugi::xml_node raw = node.Raw();
  for (const PLUGIN_ATTR& attr : GetAttrArray()) {
    const std::string key = ToUtf8(attr.szKey);
    pugi::xml_attribute a = raw.attribute(key.c_str());
    if (!a) a = raw.append_attribute(key.c_str());
    a.set_value(ToUtf8(GetAttrText(attr)).c_str());
  }
  SaveChildNode(node);
  return TRUE;
}

const ATTR_ENUM* CQWBasePlugin::GetAttrEnumInfo(int index) {
  const CQWEnumAttrMap& map = GetEnumAttrMap();
  if (index < 0 || static_cast<std::size_t>(index) >= map.size()) return nullptr;
  return &map[index];
}

int CQWBasePlugin::GetAttrEnumCount() { return static_cast<int>(GetEnumAttrMap().size()); }

const PLUGIN_ATTR* CQWBasePlugin::GetAttr(int index) {
  const CQWAttrArray& attrs = GetAttrArray();
  if (index < 0 || static_cast<std::size_t>(index) >= attrs.size()) return nullptr;
  return &attrs[index];
}

int CQWBasePlugin::GetAttrCount() { return static_cast<int>(GetAttrArray().size()); }
const char16_t* CQWBasePlugin::GetPluginType() { return m_strType.c_str(); }

// ---- protected steps ----------------------------------------------------------------

void CQWBasePlugin::UnRegisterMsg() {}
void CQWBasePlugin::RegisterMsg() {}

void CQWBasePlugin::Empty() {
  m_strName.clear();
  m_bVisible = TRUE;
}

BOOL CQWBasePlugin::LoadChildNode(const CXmlNode&) { return TRUE; }
BOOL CQWBasePlugin::SaveChildNode(const CXmlNode&) { return TRUE; }
void CQWBasePlugin::UpdateWithBaseColor(COLORREF) {}

void CQWBasePlugin::RegisterIds(const std::vector<UINT>& ids) {
  if (!m_pMsgMgr) return;
  for (UINT id : ids) m_pMsgMgr->RegisterMsg(id, this);
}

void CQWBasePlugin::UnRegisterIds(const std::vector<UINT>& ids) {
  if (!m_pMsgMgr) return;
  for (UINT id : ids) m_pMsgMgr->UnRegisterMsg(id, this);
}

LRESULT CQWBasePlugin::SendNotify(UINT id, WPARAM wparam, LPARAM lparam) {
  return m_pMsgMgr ? m_pMsgMgr->SendMsg(id, wparam, lparam) : 0;
}

BOOL CQWBasePlugin::ShowInContainer(BOOL show) {
  if (!m_pContainer || m_strName.empty()) return FALSE;
  const int index = m_pContainer->FindIndex(m_strName.c_str());
  if (index < 0) return FALSE;
  return m_pContainer->ShowIndex(index, show);
}

// ---- attribute values ---------------------------------------------------------------

std::u16string CQWBasePlugin::GetAttrText(const PLUGIN_ATTR& attr) {
  void* member = attr.pMember ? attr.pMember(this) : nullptr;
  if (!member) return {};
  switch (attr.nType) {
    case ATTR_TEXT: return *static_cast<std::u16string*>(member);
    case ATTR_COLOR: {
      const COLORREF c = *static_cast<COLORREF*>(member);
      char buf[16];
      std::snprintf(buf, sizeof buf, "#%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
      return FromUtf8(buf);
    }
    case ATTR_CHOICE: {
      const int v = *static_cast<int*>(member);
      for (const ATTR_ENUM& e : GetEnumAttrMap()) {
        if (lstrcmpiW(e.szKey, attr.szKey) != 0) continue;
        for (const ENUM_INFO& info : e.items) {
          if (info.nValue == v) return info.szName;
        }
      }
      return NumberText(v);
    }
    default: return NumberText(*static_cast<int*>(member));
  }
}

bool CQWBasePlugin::SetAttrText(const PLUGIN_ATTR& attr, const std::u16string& text) {
  void* member = attr.pMember ? attr.pMember(this) : nullptr;
  if (!member) return false;
  switch (attr.nType) {
    case ATTR_TEXT: *static_cast<std::u16string*>(member) = text; return true;
    case ATTR_BOOL: {
      BOOL b;
      if (!ParseBool(text, b)) return false;
      *static_cast<BOOL*>(member) = b;
      return true;
    }
    case ATTR_COLOR: {
      COLORREF c;
      if (!ParseColor(text, c)) return false;
      *static_cast<COLORREF*>(member) = c;
      return true;
    }
    case ATTR_CHOICE:
      for (const ATTR_ENUM& e : GetEnumAttrMap()) {
        if (lstrcmpiW(e.szKey, attr.szKey) != 0) continue;
        for (const ENUM_INFO& info : e.items) {
          if (lstrcmpiW(info.szName, text.c_str()) == 0) {
            *static_cast<int*>(member) = info.nValue;
            return true;
          }
        }
      }
      [[fallthrough]];  // a choice may also be written as its number
    case ATTR_NUMBER:
    default: {
      long long v;
      if (!ParseInt(text, v) || v < INT32_MIN || v > INT32_MAX) return false;
      *static_cast<int*>(member) = static_cast<int>(v);
      return true;
    }
  }
}
