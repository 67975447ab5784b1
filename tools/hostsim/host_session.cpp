#include "hostsim/host_session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "hostsim/host_decode.h"
#include "platform/controls.h"
#include "platform/cwinapp.h"
#include "platform/gdi.h"
#include "platform/message.h"
#include "platform/module.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "platform/window.h"

// Set by the build when the tree control is there to be dumped.
#ifdef HOSTSIM_HAS_TREEUI
#include "host/treeui/yrtreectrl.h"
#endif

#ifndef HOSTSIM_DEFAULT_LIBRARY
#define HOSTSIM_DEFAULT_LIBRARY "libList.so"
#endif

// ---- text forms -------------------------------------------------------------------

std::string HostValueText(std::uintptr_t value) {
  // Addresses differ from run to run; a transcript must not.
  if (value > 0xffffffffu) return "ptr";
  return std::to_string(static_cast<std::int64_t>(static_cast<std::int32_t>(value)));
}

std::string HostQuote(const std::u16string& text) { return "\"" + ToUtf8(text) + "\""; }

namespace {

void PrintMenuItems(CHostSession& s, const std::vector<MenuItemView>& items, int depth) {
  const std::string indent(2 * depth, ' ');
  for (const MenuItemView& item : items) {
    if (item.separator) {
      s.Print(indent + "----");
      continue;
    }
    std::string line = indent;
    if (!item.submenu.empty() || item.submenuHandle) line += "popup " + HostQuote(item.text);
    else line += std::to_string(item.id) + " " + HostQuote(item.text);
    if (!item.enabled) line += " grayed";
    if (item.checked) line += " checked";
    s.Print(line);
    if (!item.submenu.empty()) PrintMenuItems(s, item.submenu, depth + 1);
  }
}

LRESULT HostMainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  // The panels talk to the host's main window with its own messages.
  if (msg >= WM_USER) {
    if (auto* session = reinterpret_cast<CHostSession*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
      session->RecordMainMessage(msg, wp, lp);
    return 0;
  }
  if (msg == WM_ERASEBKGND) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillRect(static_cast<HDC>(wp), &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return 1;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

bool ParseRect(const std::u16string& text, RECT& rc) {
  int v[4];
  if (std::sscanf(ToUtf8(text).c_str(), "%d ,%d ,%d ,%d", &v[0], &v[1], &v[2], &v[3]) != 4)
    return false;
  if (v[2] < 0 || v[3] < 0) return false;
  rc = RECT{v[0], v[1], v[0] + v[2], v[1] + v[3]};
  return true;
}

}  // namespace

// ---- modal driver ---------------------------------------------------------------------

UINT CHostModal::OnPopupMenu(const PopupMenuView& menu) {
  m_last = menu;
  m_hasLast = true;
  ++m_menuCount;
  m_session.Print("menu");
  PrintMenuItems(m_session, menu.items, 1);
  UINT chosen = 0;
  if (!m_menus.empty()) {
    MenuAnswer a = std::move(m_menus.front());
    m_menus.pop_front();
    if (auto* id = std::get_if<UINT>(&a)) {
      chosen = *id;
    } else if (auto* text = std::get_if<std::u16string>(&a)) {
      if (const MenuItemView* item = menu.FindText(*text)) chosen = item->id;
    }
  }
  if (chosen && !menu.Find(chosen)) chosen = 0;  // a person can only pick what is there
  m_session.Print(chosen ? "menu choose " + std::to_string(chosen) : std::string("menu dismissed"));
  return chosen;
}

int CHostModal::OnMessageBox(const MessageBoxView& box) {
  int answer = box.defaultButton;
  if (!m_boxes.empty()) {
    answer = m_boxes.front();
    m_boxes.pop_front();
  }
  m_session.Print("msgbox " + HostQuote(box.caption) + " " + HostQuote(box.text) +
                  " type=" + std::to_string(box.type) + " answer=" + std::to_string(answer));
  return answer;
}

void CHostModal::OnDialog(const DialogView& dialog) {
  m_session.Print("dialog " + std::to_string(dialog.templateId) + " " + HostQuote(dialog.caption));
  if (m_dialogs.empty()) return;  // left open: cancelled as without a driver
  const DialogAnswer answer = std::move(m_dialogs.front());
  m_dialogs.pop_front();
  for (const CHostDialogSetting& s : answer.settings) {
    HWND control = GetDlgItem(dialog.dialog, s.id);
    if (!control) {
      m_session.Print("dialog has no control " + std::to_string(s.id));
      continue;
    }
    if (s.check >= 0) SendMessageW(control, BM_SETCHECK, s.check ? BST_CHECKED : BST_UNCHECKED, 0);
    else SetWindowTextW(control, s.text.c_str());
  }
  SendMessageW(dialog.dialog, WM_COMMAND, static_cast<WPARAM>(answer.command), 0);
}

std::optional<COLORREF> CHostModal::OnChooseColor(const ChooseColorView& dialog) {
  std::optional<COLORREF> answer;
  if (!m_colors.empty()) {
    answer = m_colors.front();
    m_colors.pop_front();
  }
  char buf[64];
  std::snprintf(buf, sizeof buf,
                "color dialog initial=%u answer=", static_cast<unsigned>(dialog.initial));
  m_session.Print(buf + (answer ? std::to_string(*answer) : std::string("cancel")));
  return answer;
}

// ---- session ------------------------------------------------------------------------------

CHostSession::CHostSession(std::ostream* transcript) : m_out(transcript), m_modal(*this) {
  m_previousDriver = SetModalDriver(&m_modal);
  WNDCLASSW wc;
  if (!GetClassInfoW(nullptr, u"HostSimMain", &wc)) {
    wc = WNDCLASSW{};
    wc.lpfnWndProc = HostMainProc;
    wc.style = CS_DBLCLKS;
    wc.lpszClassName = u"HostSimMain";
    RegisterClassW(&wc);
  }
  m_main = CreateWindowExW(0, u"HostSimMain", u"hostsim",
                           WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 320, 720, 0, 0,
                           nullptr, nullptr);
  SetWindowLongPtrW(m_main, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  // The panels reach the host's main window through AfxGetMainWnd.
  m_mainWnd.Attach(m_main);
  AfxSetMainWnd(&m_mainWnd);
  // Addresses the panels open (the shell's "open", which hyperlinks use too)
  // are recorded, never opened.
  m_previousOpener = SetShellOpener([this](const std::u16string& file, const std::u16string&, int) {
    RecordUrl(file);
    return true;
  });
  m_msg.SetObserver([this](UINT id, WPARAM w, LPARAM l) {
    m_notices.push_back({id, w, l});
    Print("notify " + std::to_string(id) + " " + HostValueText(w) + " " +
          HostValueText(static_cast<std::uintptr_t>(l)));
  });
  m_requests.SetObserver([this](const CHostRequestRecord& r) {
    Print(FormatRequest(r));
    if (m_decode) {
      for (const std::string& line : DecodeRequest(r)) Print("  " + line);
    }
  });
  InstallHostAnswers();
}

CHostSession::~CHostSession() {
  UnloadLibrary();
  SetShellOpener(m_previousOpener);
  if (AfxGetMainWnd() == &m_mainWnd) AfxSetMainWnd(nullptr);
  m_mainWnd.Detach();
  if (m_main && IsWindow(m_main)) DestroyWindow(m_main);
  SetModalDriver(m_previousDriver);
  LeaveWorld();
}

void CHostSession::RecordMainMessage(UINT id, WPARAM wparam, LPARAM lparam) {
  m_mainMessages.push_back({id, wparam, lparam});
  Print("mainmsg " + std::to_string(id) + " " + HostValueText(wparam) + " " +
        HostValueText(static_cast<std::uintptr_t>(lparam)));
}

void CHostSession::RecordUrl(const std::u16string& url) {
  m_urls.push_back(url);
  Print("url " + HostQuote(url));
}

void CHostSession::Print(const std::string& line) {
  m_transcript.push_back(line);
  if (m_out) *m_out << line << "\n";
}

bool CHostSession::Fail(const std::string& error) {
  m_error = error;
  return false;
}

std::u16string CHostSession::DefaultLibraryPath() {
  if (const char* env = std::getenv("LIST_LIBRARY"); env && *env) return FromUtf8(env);
  return FromUtf8(HOSTSIM_DEFAULT_LIBRARY);
}

bool CHostSession::LoadLibrary(const std::u16string& path) {
  if (m_module) return true;
  HMODULE module = LoadLibraryW(path.c_str());
  if (!module) return Fail("cannot load " + ToUtf8(path) + ": " + GetLoaderErrorText());
  // Through the generic function type: the loader knows nothing of signatures.
  using Generic = void (*)();
  auto get = reinterpret_cast<CQWBasePlugin* (*)(const char16_t*)>(
      reinterpret_cast<Generic>(GetProcAddress(module, "GetPlugin")));
  auto free = reinterpret_cast<void (*)(CQWBasePlugin*)>(
      reinterpret_cast<Generic>(GetProcAddress(module, "FreePlugin")));
  if (!get || !free) {
    FreeLibrary(module);
    return Fail(ToUtf8(path) + " does not export GetPlugin and FreePlugin");
  }
  m_module = module;
  m_getPlugin = get;
  m_freePlugin = free;
  return true;
}

void CHostSession::UnloadLibrary() {
  FreeAllPanels();
  if (m_module) {
    FreeLibrary(m_module);
    m_module = nullptr;
    m_getPlugin = nullptr;
    m_freePlugin = nullptr;
  }
  // Last: the library may have held a stand-in whose calls belong here too.
  ReleaseStandIns();
}

CQWBasePlugin* CHostSession::GetPlugin(const char16_t* name) {
  return m_getPlugin ? m_getPlugin(name) : nullptr;
}

void CHostSession::FreePlugin(CQWBasePlugin* plugin) {
  if (m_freePlugin) m_freePlugin(plugin);
}

CHostPanel* CHostSession::AddPanel(const std::u16string& type, const std::u16string& name,
                                   const RECT& rc, const CXmlNode& node) {
  return AddPanelFrom(GetPlugin(type.c_str()), nullptr, type, name, rc, node);
}

CHostPanel* CHostSession::AddPanelFrom(CQWBasePlugin* plugin, void (*freePlugin)(CQWBasePlugin*),
                                       const std::u16string& type, const std::u16string& name,
                                       const RECT& rc, const CXmlNode& node) {
  if (!plugin) {
    Fail("the library makes no plug-in \"" + ToUtf8(type) + "\"");
    return nullptr;
  }
  auto panel = std::make_unique<CHostPanel>();
  panel->type = type;
  panel->name = name.empty() ? type : name;
  panel->rect = rc;
  panel->plugin = plugin;
  panel->freePlugin = freePlugin;
  // The host's calling order: setters, layout, notifications, window.
  plugin->SetWorkDir(m_workDir.c_str());
  plugin->SetMsgManager(&m_msg);
  plugin->SetDataManager(&m_data);
  plugin->SetDataProcessMgr(&m_requests);
  plugin->SetContainer(this);
  plugin->SetPluginManager(this);
  if (!node.IsNull()) plugin->LoadInfo(node);
  CQWPluginCaller::RegisterMsg(plugin);
  panel->created = plugin->CreatePlugin(m_main, &rc);
  plugin->MovePlugin(rc);
  // A page the layout keeps hidden waits for the container to show it.
  const bool visible = node.IsNull() || node.Attribute(u"visible", u"1") != u"0";
  if (visible) plugin->ShowPlugin(TRUE);
  else plugin->HidePlugin();
  m_panels.push_back(std::move(panel));
  PumpMessages();
  RunDeferred();
  return m_panels.back().get();
}

CHostPanel* CHostSession::Panel(const std::u16string& name) {
  for (auto& p : m_panels) {
    if (p->name == name) return p.get();
  }
  for (auto& p : m_panels) {  // a type names its first panel
    if (lstrcmpiW(p->type.c_str(), name.c_str()) == 0) return p.get();
  }
  return nullptr;
}

void CHostSession::FreePanel(const std::u16string& name) {
  auto it =
      std::find_if(m_panels.begin(), m_panels.end(), [&](auto& p) { return p->name == name; });
  if (it == m_panels.end()) return;
  CQWBasePlugin* plugin = (*it)->plugin;
  auto freePlugin = (*it)->freePlugin;
  m_panels.erase(it);
  CQWPluginCaller::UnRegisterMsg(plugin);
  if (freePlugin) freePlugin(plugin);
  else FreePlugin(plugin);
  // A panel that forgot to unregister is never called again.
  m_msg.Forget(plugin);
}

void CHostSession::FreeAllPanels() {
  while (!m_panels.empty()) FreePanel(m_panels.back()->name);
}

LRESULT CHostSession::Notify(UINT id, WPARAM wparam, LPARAM lparam) {
  const LRESULT r = m_msg.Deliver(id, wparam, lparam);
  PumpMessages();
  RunDeferred();
  return r;
}

void CHostSession::RunDeferred() {
  // Work may defer more work; run until none is left.
  for (int rounds = 0; !m_deferred.empty() && rounds < 100; ++rounds) {
    auto work = std::move(m_deferred);
    m_deferred.clear();
    for (auto& w : work) w();
    PumpMessages();
  }
}

void CHostSession::SetBaseColor(COLORREF colour) {
  for (auto& p : m_panels) p->plugin->SetBaseColor(colour);
  PumpMessages();
}

int CHostSession::FindIndex(const char16_t* name) {
  if (!name) return -1;
  for (std::size_t i = 0; i < m_panels.size(); ++i) {
    if (m_panels[i]->name == name || lstrcmpiW(m_panels[i]->type.c_str(), name) == 0)
      return static_cast<int>(i);
  }
  return -1;
}

BOOL CHostSession::ShowIndex(int index, BOOL show) {
  if (index < 0 || static_cast<std::size_t>(index) >= m_panels.size()) return FALSE;
  CHostPanel& p = *m_panels[index];
  Print("container show " + ToUtf8(p.name) + " " + std::to_string(show));
  if (show) p.plugin->ShowPlugin(TRUE);
  else p.plugin->HidePlugin();
  return TRUE;
}

CQWBasePlugin* CHostSession::FindPlugin(const char16_t* name) {
  const int i = FindIndex(name);
  return i < 0 ? nullptr : m_panels[i]->plugin;
}

// ---- layouts and fixtures ------------------------------------------------------------------

bool CHostSession::LoadLayoutFile(const std::u16string& path) {
  auto doc = std::make_unique<CXmlDocument>();
  if (!doc->LoadFile(path))
    return Fail("cannot read layout " + ToUtf8(path) + ": " + doc->ErrorText());
  m_layouts.push_back(std::move(doc));
  return LoadLayout(*m_layouts.back());
}

bool CHostSession::LoadLayoutText(const std::string& utf8) {
  auto doc = std::make_unique<CXmlDocument>();
  if (!doc->LoadBytes(utf8)) return Fail("cannot read layout: " + doc->ErrorText());
  m_layouts.push_back(std::move(doc));
  return LoadLayout(*m_layouts.back());
}

bool CHostSession::LoadLayout(const CXmlDocument& doc) {
  CXmlNode root = doc.Root();
  if (root.Name() != u"layout") return Fail("a layout's top element must be <layout>");
  const int width = std::atoi(ToUtf8(root.Attribute(u"width", u"320")).c_str());
  const int height = std::atoi(ToUtf8(root.Attribute(u"height", u"720")).c_str());
  if (width > 0 && height > 0) MoveWindow(m_main, 0, 0, width, height, TRUE);
  if (root.HasAttribute(u"workdir")) m_workDir = root.Attribute(u"workdir");
  for (const CXmlNode& n : root.Children()) {
    if (n.Name() == u"module") {
      if (!LoadModule(n)) return false;
      continue;
    }
    if (n.Name() != u"panel") return Fail("unknown layout element <" + ToUtf8(n.Name()) + ">");
    RECT rc;
    if (!ParseRect(n.Attribute(u"rect", u"0,0,0,0"), rc))
      return Fail("bad rect in panel " + ToUtf8(n.Attribute(u"name")));
    if (n.HasAttribute(u"module")) {
      if (!AddModulePanel(n, rc)) return false;
    } else if (!AddPanel(n.Attribute(u"type"), n.Attribute(u"name"), rc, n)) {
      return false;
    }
  }
  return true;
}

bool CHostSession::LoadFixtureFile(const std::u16string& path) {
  std::string error;
  if (!m_data.LoadFixture(path, error)) return Fail(error);
  return true;
}

// ---- the host's own answers -------------------------------------------------------------------

void CHostSession::InstallHostAnswers() {
  // Default group names: area 2 offset 0 is 1 to ask, 0 to set; area 1
  // offset 0 names the data kind, the name follows at offset 4.
  m_requests.SetHandler(u"sys/DefGroup", [this](CHostPacket& p, LPARAM) {
    CHostArea& a1 = p.Area(1);
    CHostArea& a2 = p.Area(2);
    if (!a1.present) return 0;
    const int kind = static_cast<int>(HostGetU32(a1.bytes.data(), a1.bytes.size(), 0));
    const bool ask = a2.present && HostGetU32(a2.bytes.data(), a2.bytes.size(), 0) == 1;
    if (ask) {
      HostPutText(a1.bytes, 4, m_data.DefaultGroups()[kind], 64);
    } else {
      m_data.DefaultGroups()[kind] = HostGetText(a1.bytes.data(), a1.bytes.size(), 4, 64);
    }
    return 1;
  });
  m_requests.SetHandler(u"sys/EnterPriseParam", [this](CHostPacket& p, LPARAM) {
    CHostArea& a1 = p.Area(1);
    if (!a1.present) return 0;
    const std::u16string key = HostGetText(a1.bytes.data(), a1.bytes.size(), 0, 64) + u"/" +
                               HostGetText(a1.bytes.data(), a1.bytes.size(), 128, 64);
    auto it = m_data.EnterpriseParams().find(key);
    HostPutText(a1.bytes, 256, it == m_data.EnterpriseParams().end() ? u"" : it->second, 64);
    return 1;
  });
  // The host's message box: shown through the platform, so the modal driver answers.
  m_requests.SetHandler(u"sys/Msgbox", [](CHostPacket& p, LPARAM) {
    CHostArea& a1 = p.Area(1);
    if (!a1.present) return 2;
    const auto* b = a1.bytes.data();
    const std::size_t n = a1.bytes.size();
    return MessageBoxW(static_cast<HWND>(HostGetU32(b, n, 652)),
                       HostGetText(b, n, 132, 260).c_str(), HostGetText(b, n, 4, 64).c_str(),
                       HostGetU32(b, n, 0));
  });
  // Group list: the host announces each group after the request returns.
  m_requests.SetHandler(u"GetQunList", [this](CHostPacket&, LPARAM) {
    Defer([this] {
      CHostData* qun = m_data.Get(u"MurQunData");
      if (!qun) return;
      QWPOS prev = 0;
      for (QWPOS pos : qun->Children(0)) {
        Notify(14440, pos, static_cast<LPARAM>(prev));
        prev = pos;
      }
    });
    return 1;
  });
  // Friend list: the host refills the friend data (what the logon reset
  // dropped) and reports it ready.
  m_requests.SetHandler(u"Ui/GetMurFriendList", [this](CHostPacket&, LPARAM) {
    Defer([this] {
      if (CHostData* friends = m_data.Get(u"MurFriendData")) friends->RestoreFromServer();
      Notify(1405);
    });
    return 1;
  });
}
