// Commands that act as the host or as the person at the screen.
#include <filesystem>
#include <map>

#include "hostsim/host_session.h"
#include "hostsim/scenario.h"
#include "hostsim/snapshots.h"
#include "platform/input.h"
#include "platform/message.h"
#include "platform/text.h"
#include "platform/timer.h"

namespace {

using Args = std::vector<std::string>;

std::optional<UINT> KeyCode(const std::string& name) {
  static const std::map<std::string, UINT> keys = {
      {"enter", VK_RETURN},   {"return", VK_RETURN}, {"escape", VK_ESCAPE}, {"esc", VK_ESCAPE},
      {"delete", VK_DELETE},  {"space", VK_SPACE},   {"tab", VK_TAB},       {"up", VK_UP},
      {"down", VK_DOWN},      {"left", VK_LEFT},     {"right", VK_RIGHT},   {"f2", VK_F2},
      {"backspace", VK_BACK}, {"home", VK_HOME},     {"end", VK_END},       {"pageup", VK_PRIOR},
      {"pagedown", VK_NEXT},
  };
  std::string lower;
  for (char c : name)
    lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  if (auto it = keys.find(lower); it != keys.end()) return it->second;
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
    return static_cast<UINT>(std::toupper(static_cast<unsigned char>(name[0])));
  if (auto n = ScenarioNumber(name); n && *n > 0 && *n < 256) return static_cast<UINT>(*n);
  return std::nullopt;
}

bool Point(CScenarioRunner& r, const std::string& x, const std::string& y, POINT& pt) {
  long long vx, vy;
  if (!r.Number(x, vx) || !r.Number(y, vy)) return false;
  pt = POINT{static_cast<LONG>(vx), static_cast<LONG>(vy)};
  return true;
}

// The window the pointer acts on and the point in it: PANEL X Y, PANEL
// "ITEM TEXT" (the centre of that tree item) or popup X Y.
bool Target(CScenarioRunner& r, const Args& a, HWND& h, POINT& pt) {
  if (a[0] == "popup") {
    h = r.Session().PopupWindow();
    if (!h) return r.Error("no pop-up window is shown");
  } else if (a.size() == 2) {
    CHostTreeItem item;
    if (!r.Panel(a[0])) return false;
    if (!r.Session().FindTreeItem(FromUtf8(a[0]), FromUtf8(a[1]), item))
      return r.Error("panel \"" + a[0] + "\" has no tree item \"" + a[1] + "\"");
    if (!item.visible) return r.Error("tree item \"" + a[1] + "\" is not on screen");
    h = item.tree;
    pt = POINT{(item.rect.left + item.rect.right) / 2, (item.rect.top + item.rect.bottom) / 2};
    return true;
  } else {
    h = r.Window(a[0]);
    if (!h) return false;
  }
  if (a.size() != 3) return r.Malformed("a point needs X and Y");
  return Point(r, a[1], a[2], pt);
}

bool Pointer(CScenarioRunner& r, const Args& a, HWND (*act)(HWND, POINT)) {
  HWND h;
  POINT pt;
  if (!Target(r, a, h, pt)) return false;
  act(h, pt);
  r.Settle();
  return true;
}

HWND Click(HWND h, POINT pt) { return ClickAt(h, pt); }
HWND DoubleClick(HWND h, POINT pt) { return DoubleClickAt(h, pt); }
HWND RightClick(HWND h, POINT pt) { return RightClickAt(h, pt); }
HWND Hover(HWND h, POINT pt) { return MouseMoveTo(h, pt); }

bool CmdNotify(CScenarioRunner& r, const Args& a) {
  long long id;
  std::uintptr_t wp = 0, lp = 0;
  if (!r.Number(a[0], id) || (a.size() > 1 && !r.Value(a[1], wp)) ||
      (a.size() > 2 && !r.Value(a[2], lp)))
    return false;
  r.Session().Notify(static_cast<UINT>(id), wp, static_cast<LPARAM>(lp));
  return true;
}

bool CmdClick(CScenarioRunner& r, const Args& a) { return Pointer(r, a, Click); }
bool CmdDblClick(CScenarioRunner& r, const Args& a) { return Pointer(r, a, DoubleClick); }
bool CmdRClick(CScenarioRunner& r, const Args& a) { return Pointer(r, a, RightClick); }
bool CmdHover(CScenarioRunner& r, const Args& a) { return Pointer(r, a, Hover); }

bool CmdDrag(CScenarioRunner& r, const Args& a) {
  HWND h = r.Window(a[0]);
  POINT from, to;
  if (!h || !Point(r, a[1], a[2], from) || !Point(r, a[3], a[4], to)) return false;
  // Pressed, moved in steps (drag thresholds and drag hooks see a path),
  // released at the end.
  MouseDownAt(h, from);
  constexpr int kSteps = 4;
  for (int i = 1; i <= kSteps; ++i) {
    MouseMoveTo(
        h, POINT{from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps});
  }
  MouseUpAt(h, to);
  r.Settle();
  return true;
}

bool CmdWheel(CScenarioRunner& r, const Args& a) {
  HWND h = r.Window(a[0]);
  long long delta;
  if (!h || !r.Number(a[1], delta)) return false;
  RECT rc;
  GetClientRect(h, &rc);
  MouseWheelAt(h, POINT{rc.right / 2, rc.bottom / 2}, static_cast<int>(delta));
  r.Settle();
  return true;
}

bool CmdKey(CScenarioRunner& r, const Args& a, bool type) {
  HWND h = a[0] == "popup" ? r.Session().PopupWindow() : r.Window(a[0]);
  if (!h) return a[0] == "popup" ? r.Error("no pop-up window is shown") : false;
  std::optional<UINT> vk;
  if (!type && !(vk = KeyCode(a[1]))) return r.Malformed("unknown key \"" + a[1] + "\"");
  // Keys go to the focus; move it into the window unless it is there already.
  HWND focus = GetFocus();
  if (focus != h && !IsChild(h, focus)) SetFocus(h);
  if (type) TypeText(FromUtf8(a[1]));
  else KeyPress(*vk);
  r.Settle();
  return true;
}
bool CmdKeyPress(CScenarioRunner& r, const Args& a) { return CmdKey(r, a, false); }
bool CmdType(CScenarioRunner& r, const Args& a) { return CmdKey(r, a, true); }

bool CmdAdvance(CScenarioRunner& r, const Args& a) {
  long long ms;
  if (!r.Number(a[0], ms)) return false;
  if (ms < 0) return r.Malformed("the clock only moves on");
  AdvanceClock(static_cast<DWORD>(ms));
  r.Settle();
  return true;
}

bool CmdShow(CScenarioRunner& r, const Args& a) {
  CHostPanel* p = r.Panel(a[0]);
  if (!p) return false;
  p->plugin->ShowPlugin(TRUE);
  r.Settle();
  return true;
}

bool CmdHide(CScenarioRunner& r, const Args& a) {
  CHostPanel* p = r.Panel(a[0]);
  if (!p) return false;
  p->plugin->HidePlugin();
  r.Settle();
  return true;
}

bool CmdMove(CScenarioRunner& r, const Args& a) {
  CHostPanel* p = r.Panel(a[0]);
  long long x, y, cx, cy;
  if (!p || !r.Number(a[1], x) || !r.Number(a[2], y) || !r.Number(a[3], cx) || !r.Number(a[4], cy))
    return false;
  p->rect = RECT{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + cx),
                 static_cast<LONG>(y + cy)};
  p->plugin->MovePlugin(p->rect);
  r.Settle();
  return true;
}

bool Rgb(CScenarioRunner& r, const Args& a, std::size_t at, COLORREF& out) {
  long long c[3];
  for (int i = 0; i < 3; ++i) {
    if (!r.Number(a[at + i], c[i])) return false;
    if (c[i] < 0 || c[i] > 255) return r.Malformed("a colour part is 0 to 255");
  }
  out = RGB(static_cast<BYTE>(c[0]), static_cast<BYTE>(c[1]), static_cast<BYTE>(c[2]));
  return true;
}

bool CmdBaseColor(CScenarioRunner& r, const Args& a) {
  COLORREF c = 0;
  if (!Rgb(r, a, 0, c)) return false;
  r.Session().SetBaseColor(c);
  return true;
}

bool CmdStatus(CScenarioRunner& r, const Args& a) {
  // A friend's status changes in the host's data; the host reports the
  // friend and then its group, whose counts changed with it.
  CHostData* data = r.Session().Data().Get(u"MurFriendData");
  const QWPOS pos = data ? data->FindById(FromUtf8(a[0])) : 0;
  long long code;
  if (!r.Number(a[1], code)) return false;
  if (!pos) return r.Error("no friend \"" + a[0] + "\"");
  data->Find(pos)->status = static_cast<int>(code);
  r.Session().Notify(1365, pos, 0);
  if (QWPOS group = data->GetParentPosition(pos)) r.Session().Notify(1365, group, 0);
  r.Settle();
  return true;
}

bool CmdDump(CScenarioRunner& r, const Args& a) {
  std::vector<std::string> lines;
  if (a[0] == "popup") {
    HWND h = r.Session().PopupWindow();
    if (!h) return r.Error("no pop-up window is shown");
    lines = r.Session().DumpWindow(h);
  } else {
    if (!r.Panel(a[0])) return false;
    lines = r.Session().DumpPanel(FromUtf8(a[0]));
  }
  for (const std::string& l : lines) r.Session().Print(l);
  return true;
}

bool CmdEcho(CScenarioRunner& r, const Args& a) {
  std::string text;
  for (std::size_t i = 0; i < a.size(); ++i) text += (i ? " " : "") + a[i];
  r.Session().Print(text);
  return true;
}

bool CmdSnapshot(CScenarioRunner& r, const Args& a) {
  HWND h = r.Window(a[0]);
  if (!h) return false;
  if (a[1].size() < 5 || a[1].substr(a[1].size() - 4) != ".png")
    return r.Malformed("a snapshot is a .png file");
  const std::string path = r.Session().ProgramPath(a[1]);
  if (path.empty())
    return r.Malformed("\"" + a[1] + "\" is not a path inside the program directory");
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  PumpMessages();
  std::string error;
  if (!WriteHostSnapshot(h, path, error)) return r.Error(error);
  r.Session().Print("snapshot " + a[0] + " " + a[1]);
  if (CSnapshotRecorder* gallery = r.Recorder()) gallery->Written(path);
  return true;
}

}  // namespace

void AddInputCommands(std::vector<CScenarioCommand>& t) {
  t.push_back({"notify", "notify ID [W [L]]", 1, 3, CmdNotify});
  t.push_back(
      {"click", "click PANEL X Y | click PANEL \"ITEM TEXT\" | click popup X Y", 2, 3, CmdClick});
  t.push_back({"dblclick", "dblclick PANEL X Y | dblclick PANEL \"ITEM TEXT\"", 2, 3, CmdDblClick});
  t.push_back({"rclick", "rclick PANEL X Y | rclick PANEL \"ITEM TEXT\"", 2, 3, CmdRClick});
  t.push_back({"hover", "hover PANEL X Y | hover PANEL \"ITEM TEXT\"", 2, 3, CmdHover});
  t.push_back({"drag", "drag PANEL X1 Y1 X2 Y2", 5, 5, CmdDrag});
  t.push_back({"wheel", "wheel PANEL DELTA", 2, 2, CmdWheel});
  t.push_back({"key", "key PANEL KEY | key popup KEY", 2, 2, CmdKeyPress});
  t.push_back({"type", "type PANEL \"TEXT\"", 2, 2, CmdType});
  t.push_back({"advance", "advance MS", 1, 1, CmdAdvance});
  t.push_back({"show", "show PANEL", 1, 1, CmdShow});
  t.push_back({"hide", "hide PANEL", 1, 1, CmdHide});
  t.push_back({"move", "move PANEL X Y W H", 5, 5, CmdMove});
  t.push_back({"basecolor", "basecolor R G B", 3, 3, CmdBaseColor});
  t.push_back({"status", "status ID CODE", 2, 2, CmdStatus});
  t.push_back({"dump", "dump PANEL | dump popup", 1, 1, CmdDump});
  t.push_back({"echo", "echo TEXT...", 0, 99, CmdEcho});
  t.push_back({"snapshot", "snapshot PANEL|main FILE.png", 2, 2, CmdSnapshot});
}
