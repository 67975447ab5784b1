// The simulated host: a main window, the host's managers and data, the
// panel library loaded with the module loader, and the panels of a layout
// driven in the host's calling order. Tools and panel tests both use it.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "host/plughost.h"
#include "hostsim/host_data.h"
#include "hostsim/host_msg.h"
#include "hostsim/host_requests.h"
#include "platform/cwnd.h"
#include "platform/modal.h"
#include "platform/shell.h"
#include "platform/xml.h"

class CHostSession;

// One panel of the layout.
struct CHostPanel {
  std::u16string type;  // the plug-in name asked of the library
  std::u16string name;  // the layout's name for it ("name" attribute)
  RECT rect;
  CQWBasePlugin* plugin = nullptr;
  BOOL created = FALSE;  // what CreatePlugin answered
  // The module's FreePlugin when the panel came from another module than
  // the library (layout attribute "module").
  void (*freePlugin)(CQWBasePlugin*) = nullptr;
};

// A control of a dialog set before the dialog is answered.
struct CHostDialogSetting {
  int id = 0;
  std::u16string text;  // used when check < 0
  int check = -1;       // 1 checked, 0 unchecked
};

// A tree item as a scenario sees it.
struct CHostTreeItem {
  HWND tree = 0;
  bool visible = false;  // on screen: rect is its text cell in the tree's client area
  RECT rect{};
  int image = 0;
  bool selected = false, expanded = false;
};

// Answers the panels' modal user interface from queued answers and writes
// what was shown to the transcript.
class CHostModal : public ModalDriver {
 public:
  explicit CHostModal(CHostSession& session) : m_session(session) {}
  UINT OnPopupMenu(const PopupMenuView& menu) override;
  int OnMessageBox(const MessageBoxView& box) override;
  void OnDialog(const DialogView& dialog) override;
  std::optional<COLORREF> OnChooseColor(const ChooseColorView& dialog) override;

  // A command id, or an item text; nothing dismisses the menu.
  using MenuAnswer = std::variant<std::monostate, UINT, std::u16string>;
  void QueueMenu(MenuAnswer answer) { m_menus.push_back(std::move(answer)); }
  void QueueMessageBox(int answer) { m_boxes.push_back(answer); }
  // IDOK or IDCANCEL, sent to the dialog as a command after the settings.
  void QueueDialog(int command, std::vector<CHostDialogSetting> settings = {}) {
    m_dialogs.push_back({command, std::move(settings)});
  }
  void QueueColor(std::optional<COLORREF> colour) { m_colors.push_back(colour); }

  const PopupMenuView* LastMenu() const { return m_hasLast ? &m_last : nullptr; }
  std::size_t MenusShown() const { return m_menuCount; }
  std::size_t PendingAnswers() const {
    return m_menus.size() + m_boxes.size() + m_dialogs.size() + m_colors.size();
  }

 private:
  CHostSession& m_session;
  std::deque<MenuAnswer> m_menus;
  std::deque<int> m_boxes;
  struct DialogAnswer {
    int command;
    std::vector<CHostDialogSetting> settings;
  };
  std::deque<DialogAnswer> m_dialogs;
  std::deque<std::optional<COLORREF>> m_colors;
  PopupMenuView m_last;
  bool m_hasLast = false;
  std::size_t m_menuCount = 0;
};

// A notification that a panel sent through the message manager.
struct CHostNotice {
  UINT id;
  WPARAM wparam;
  LPARAM lparam;
};

class CHostSession : public CQWContainer, public CQWPluginManager {
 public:
  explicit CHostSession(std::ostream* transcript = nullptr);
  ~CHostSession() override;
  CHostSession(const CHostSession&) = delete;
  CHostSession& operator=(const CHostSession&) = delete;

  // The library built next to the host ("LIST_LIBRARY" in the environment
  // overrides it).
  static std::u16string DefaultLibraryPath();
  bool LoadLibrary(const std::u16string& path = DefaultLibraryPath());
  // Frees every panel still held, then unloads the library.
  void UnloadLibrary();
  bool IsLoaded() const { return m_module != nullptr; }
  // The library's entry points, as the loader gave them.
  CQWBasePlugin* GetPlugin(const char16_t* name);
  void FreePlugin(CQWBasePlugin* plugin);

  // A layout: <layout width height workdir basecolor> with <panel type name
  // rect="x,y,w,h" attribute...> children (their own children are the
  // panel's child elements). Creates and drives every panel.
  bool LoadLayoutFile(const std::u16string& path);
  bool LoadLayoutText(const std::string& utf8);
  bool LoadFixtureFile(const std::u16string& path);

  // A clean world for a run: a fresh temporary folder holding the program
  // directory (`copyFrom`'s files copied in, or `programDir` used as it is)
  // and the registry store. The program path, the registry store and the
  // current directory point into it until the session ends; the folder is
  // then removed unless kept.
  bool CreateWorld(const std::string& copyFrom, const std::string& programDir = "");
  void KeepWorld(bool keep) { m_keepWorld = keep; }
  const std::string& ProgramDir() const { return m_programDir; }
  // A path relative to the program directory ("\" or "/" separators) as a
  // file-system path; empty for an absolute path or one that climbs out.
  std::string ProgramPath(const std::string& relative) const;
  // Where <module file="..."/> takes stand-in modules from.
  void SetModuleSource(const std::string& dir) { m_moduleSource = dir; }
  static std::string DefaultModuleSource();

  // One panel through the whole calling order up to CreatePlugin and
  // ShowPlugin; node holds its attributes (a null node: defaults).
  CHostPanel* AddPanel(const std::u16string& type, const std::u16string& name, const RECT& rc,
                       const CXmlNode& node = CXmlNode());
  // The same for a plug-in another module made; freePlugin gives it back.
  CHostPanel* AddPanelFrom(CQWBasePlugin* plugin, void (*freePlugin)(CQWBasePlugin*),
                           const std::u16string& type, const std::u16string& name, const RECT& rc,
                           const CXmlNode& node = CXmlNode());
  CHostPanel* Panel(const std::u16string& name);
  const std::vector<std::unique_ptr<CHostPanel>>& Panels() const { return m_panels; }
  // UnRegisterMsg, then FreePlugin.
  void FreePanel(const std::u16string& name);
  void FreeAllPanels();

  // The host's own notification to every registered panel.
  LRESULT Notify(UINT id, WPARAM wparam = 0, LPARAM lparam = 0);
  // Work the host does after a request has returned (lists it sends in
  // answer to "GetQunList", ...); run by RunDeferred.
  void Defer(std::function<void()> work) { m_deferred.push_back(std::move(work)); }
  void RunDeferred();
  void SetBaseColor(COLORREF colour);
  void SetWorkDir(const std::u16string& dir) { m_workDir = dir; }
  const std::u16string& WorkDir() const { return m_workDir; }

  CHostMsgManager& Messages() { return m_msg; }
  CHostRequests& Requests() { return m_requests; }
  CHostDataManager& Data() { return m_data; }
  CHostModal& Modal() { return m_modal; }
  HWND MainWindow() const { return m_main; }
  const std::vector<CHostNotice>& Notices() const { return m_notices; }
  // Messages sent or posted to the main window (WM_USER and above).
  const std::vector<CHostNotice>& MainMessages() const { return m_mainMessages; }
  void RecordMainMessage(UINT id, WPARAM wparam, LPARAM lparam);
  // Addresses the panels asked the platform to open.
  const std::vector<std::u16string>& OpenedUrls() const { return m_urls; }
  void RecordUrl(const std::u16string& url);
  // The pop-up window a panel shows (colour pop-up, result list), or 0.
  HWND PopupWindow() const;
  // The first item with exactly this text in the panel's trees.
  bool FindTreeItem(const std::u16string& panel, const std::u16string& text, CHostTreeItem& out);
  // A window and its children, one line each.
  std::vector<std::string> DumpWindow(HWND hwnd);
  // Prints decoded request fields after each request line.
  void SetDecode(bool on) { m_decode = on; }

  // Transcript lines, in order; each is also written to the stream given.
  void Print(const std::string& line);
  const std::vector<std::string>& Transcript() const { return m_transcript; }
  const std::string& LastError() const { return m_error; }

  // One line per item of each tree in the panel (indented by depth: text and
  // image index); for panels without a tree, their windows.
  std::vector<std::string> DumpPanel(const std::u16string& name);

  // CQWContainer: pages are the panels, found by their layout name.
  int FindIndex(const char16_t* name) override;
  BOOL ShowIndex(int index, BOOL show) override;
  // CQWPluginManager.
  CQWBasePlugin* FindPlugin(const char16_t* name) override;

 private:
  bool LoadLayout(const CXmlDocument& doc);
  bool LoadModule(const CXmlNode& node);
  CHostPanel* AddModulePanel(const CXmlNode& node, const RECT& rc);
  bool Fail(const std::string& error);
  void InstallHostAnswers();
  void LeaveWorld();
  void ReleaseStandIns();

  std::ostream* m_out;
  CHostMsgManager m_msg;
  CHostRequests m_requests;
  CHostDataManager m_data;
  CHostModal m_modal;
  ModalDriver* m_previousDriver = nullptr;
  HMODULE m_module = nullptr;
  CQWBasePlugin* (*m_getPlugin)(const char16_t*) = nullptr;
  void (*m_freePlugin)(CQWBasePlugin*) = nullptr;
  HWND m_main = 0;
  CWnd m_mainWnd;  // m_main as the application's main window
  ShellOpener m_previousOpener;
  std::u16string m_workDir;
  std::vector<std::unique_ptr<CXmlDocument>> m_layouts;
  std::vector<std::unique_ptr<CHostPanel>> m_panels;
  std::vector<CHostNotice> m_notices;
  std::vector<CHostNotice> m_mainMessages;
  std::vector<std::u16string> m_urls;
  bool m_decode = false;
  // The world.
  std::string m_worldRoot, m_programDir, m_previousCwd, m_moduleSource;
  bool m_keepWorld = false;
  std::vector<HMODULE> m_standIns;  // held so their recorder stays installed
  std::vector<std::function<void()>> m_deferred;
  std::vector<std::string> m_transcript;
  std::string m_error;
};

// Writes the window as it is drawn now to a PNG file; kept apart so that a
// richer rendering can take its place.
bool WriteHostSnapshot(HWND hwnd, const std::string& path, std::string& error);

// Text forms used in transcripts.
std::string HostValueText(std::uintptr_t value);  // decimal, or "ptr" for an address
std::string HostQuote(const std::u16string& text);
