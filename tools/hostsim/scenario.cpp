#include "hostsim/scenario.h"
#include "hostsim/snapshots.h"

#include <cstdlib>
#include <map>
#include <optional>

#include "hostsim/host_session.h"
#include "platform/input.h"
#include "platform/message.h"
#include "platform/text.h"
#include "platform/timer.h"

namespace {

// Word counts (after the command) each command accepts.
struct Arity {
  std::size_t min, max;
};
const std::map<std::string, Arity> kCommands = {
    {"notify", {1, 3}},  {"click", {3, 3}},      {"dblclick", {3, 3}}, {"rclick", {3, 3}},
    {"key", {2, 2}},     {"type", {2, 2}},       {"menu", {1, 1}},     {"msgbox", {1, 1}},
    {"dialog", {1, 1}},  {"color", {1, 3}},      {"answer", {2, 5}},   {"noprocessor", {1, 1}},
    {"advance", {1, 1}}, {"show", {1, 1}},       {"hide", {1, 1}},     {"move", {5, 5}},
    {"basecolor", {3, 3}}, {"dump", {1, 1}},     {"echo", {0, 99}},    {"expect", {1, 4}},
    {"status", {2, 2}},
};
const std::map<std::string, Arity> kExpectations = {
    {"request", {1, 3}}, {"norequest", {0, 0}}, {"notify", {1, 3}},
    {"menuitem", {1, 2}}, {"nomenu", {0, 0}},   {"line", {1, 1}},
};

bool SplitWords(const std::string& line, std::vector<std::string>& words, std::string& error) {
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (c == '#') break;
    std::string word;
    bool quoted = false;
    while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t' && line[i] != '\r'))) {
      if (line[i] == '"') {
        quoted = !quoted;
        ++i;
      } else if (quoted && line[i] == '\\' && i + 1 < line.size()) {
        word.push_back(line[i + 1]);
        i += 2;
      } else {
        word.push_back(line[i++]);
      }
    }
    if (quoted) {
      error = "unterminated quote";
      return false;
    }
    words.push_back(word);
  }
  return true;
}

std::optional<long long> ToNumber(const std::string& s) {
  if (s.empty()) return std::nullopt;
  char* end = nullptr;
  const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
  const long long v = std::strtoll(s.c_str(), &end, hex ? 16 : 10);
  if (!end || *end) return std::nullopt;
  return v;
}

std::optional<UINT> KeyCode(const std::string& name) {
  static const std::map<std::string, UINT> keys = {
      {"enter", VK_RETURN}, {"return", VK_RETURN}, {"escape", VK_ESCAPE}, {"esc", VK_ESCAPE},
      {"delete", VK_DELETE}, {"space", VK_SPACE},  {"tab", VK_TAB},       {"up", VK_UP},
      {"down", VK_DOWN},    {"left", VK_LEFT},     {"right", VK_RIGHT},   {"f2", VK_F2},
      {"backspace", VK_BACK}, {"home", VK_HOME},   {"end", VK_END},
  };
  std::string lower;
  for (char c : name) lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  if (auto it = keys.find(lower); it != keys.end()) return it->second;
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
    return static_cast<UINT>(std::toupper(static_cast<unsigned char>(name[0])));
  if (auto n = ToNumber(name); n && *n > 0 && *n < 256) return static_cast<UINT>(*n);
  return std::nullopt;
}

// "hex bytes", "int:N" or "text:..." as bytes.
bool ValueBytes(const std::string& value, std::vector<BYTE>& out) {
  if (value.rfind("int:", 0) == 0) {
    auto n = ToNumber(value.substr(4));
    if (!n) return false;
    out.clear();
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<BYTE>(static_cast<std::uint32_t>(*n) >> (8 * i)));
    return true;
  }
  if (value.rfind("text:", 0) == 0) {
    out.clear();
    for (char16_t c : FromUtf8(value.substr(5))) {
      out.push_back(static_cast<BYTE>(c & 0xff));
      out.push_back(static_cast<BYTE>(c >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    return true;
  }
  return ParseHex(value, out);
}

// "area1@OFF=VALUE": which area, offset and bytes.
bool ParsePatch(const std::string& word, int& area, std::size_t& offset, std::vector<BYTE>& bytes) {
  if (word.rfind("area1@", 0) == 0) area = 1;
  else if (word.rfind("area2@", 0) == 0) area = 2;
  else return false;
  const std::size_t eq = word.find('=');
  if (eq == std::string::npos) return false;
  auto off = ToNumber(word.substr(6, eq - 6));
  if (!off || *off < 0) return false;
  offset = static_cast<std::size_t>(*off);
  return ValueBytes(word.substr(eq + 1), bytes);
}

// An area expectation: "-" (not requested), whole hex, or OFF:HEX.
bool AreaMatches(const CHostArea& area, const std::string& spec) {
  if (spec == "-") return !area.present;
  if (!area.present) return false;
  const std::size_t colon = spec.find(':');
  std::vector<BYTE> want;
  if (colon == std::string::npos || spec.rfind("int:", 0) == 0 || spec.rfind("text:", 0) == 0) {
    if (!ValueBytes(spec, want)) return false;
    if (spec.rfind("int:", 0) == 0 || spec.rfind("text:", 0) == 0) {
      return area.bytes.size() >= want.size() && std::equal(want.begin(), want.end(), area.bytes.begin());
    }
    return area.bytes == want;
  }
  auto off = ToNumber(spec.substr(0, colon));
  if (!off || *off < 0 || !ValueBytes(spec.substr(colon + 1), want)) return false;
  const std::size_t o = static_cast<std::size_t>(*off);
  return o + want.size() <= area.bytes.size() &&
         std::equal(want.begin(), want.end(), area.bytes.begin() + static_cast<std::ptrdiff_t>(o));
}

}  // namespace

bool ParseScenario(const std::string& text, CScenario& out, std::string& error) {
  out.lines.clear();
  std::size_t start = 0;
  int number = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    ++number;
    CScenarioLine line;
    line.number = number;
    std::string why;
    if (!SplitWords(text.substr(start, end - start), line.words, why)) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    }
    if (!line.words.empty()) {
      auto it = kCommands.find(line.words[0]);
      if (it == kCommands.end()) {
        error = "line " + std::to_string(number) + ": unknown command \"" + line.words[0] + "\"";
        return false;
      }
      const std::size_t args = line.words.size() - 1;
      if (args < it->second.min || args > it->second.max) {
        error = "line " + std::to_string(number) + ": wrong number of words for \"" + line.words[0] + "\"";
        return false;
      }
      if (line.words[0] == "expect") {
        auto e = kExpectations.find(line.words[1]);
        if (e == kExpectations.end() || args - 1 < e->second.min || args - 1 > e->second.max) {
          error = "line " + std::to_string(number) + ": bad expectation \"" + line.words[1] + "\"";
          return false;
        }
      }
      out.lines.push_back(std::move(line));
    }
    if (end == text.size()) break;
    start = end + 1;
  }
  return true;
}

bool CScenarioRunner::Run(const CScenario& scenario) {
  for (const CScenarioLine& line : scenario.lines) {
    if (m_recorder) m_recorder->BeforeLine(line.number, line.words);
    if (!Step(line)) {
      m_session.Print("ERROR line " + std::to_string(line.number) + ": " + m_error);
      return false;
    }
    if (m_recorder) m_recorder->AfterLine(line.words);
  }
  return true;
}

void CScenarioRunner::Fail(const CScenarioLine& line, const std::string& what) {
  ++m_failures;
  m_session.Print("FAIL line " + std::to_string(line.number) + ": " + what);
}

bool CScenarioRunner::Step(const CScenarioLine& line) {
  const auto& w = line.words;
  const std::string& cmd = w[0];
  auto panelOf = [&](const std::string& name) -> CHostPanel* {
    CHostPanel* p = m_session.Panel(FromUtf8(name));
    if (!p) m_error = "no panel \"" + name + "\"";
    return p;
  };
  auto windowOf = [&](const std::string& name) -> HWND {
    CHostPanel* p = panelOf(name);
    if (!p) return 0;
    HWND h = p->plugin->GetPluginWnd();
    if (!h || !IsWindow(h)) {
      m_error = "panel \"" + name + "\" has no window";
      return 0;
    }
    return h;
  };
  auto number = [&](const std::string& s, long long& v) {
    auto n = ToNumber(s);
    if (!n) m_error = "not a number: \"" + s + "\"";
    else v = *n;
    return n.has_value();
  };
  auto value = [&](const std::string& s, std::uintptr_t& v) -> bool {
    if (s == "owner") {
      v = reinterpret_cast<std::uintptr_t>(m_session.Data().OwnerRecord().data());
    } else if (s == "main") {
      v = m_session.MainWindow();
    } else if (s == "workdir" || s.rfind("text:", 0) == 0) {
      std::u16string t = s == "workdir" ? m_session.WorkDir() : FromUtf8(s.substr(5));
      m_texts.emplace_back(t.begin(), t.end());
      m_texts.back().push_back(0);
      v = reinterpret_cast<std::uintptr_t>(m_texts.back().data());
    } else if (s.rfind("ansi:", 0) == 0) {
      m_ansiTexts.push_back(ToAnsi(FromUtf8(s.substr(5))));
      v = reinterpret_cast<std::uintptr_t>(m_ansiTexts.back().c_str());
    } else if (s.rfind("pos:", 0) == 0) {
      const std::size_t colon = s.find(':', 4);
      CHostData* data = colon == std::string::npos ? nullptr : m_session.Data().Get(FromUtf8(s.substr(4, colon - 4)));
      if (!data) {
        m_error = "no data object in \"" + s + "\"";
        return false;
      }
      v = data->FindById(FromUtf8(s.substr(colon + 1)));
      if (!v) {
        m_error = "no record \"" + s.substr(colon + 1) + "\"";
        return false;
      }
    } else {
      long long n;
      if (!number(s, n)) return false;
      v = static_cast<std::uintptr_t>(n);
    }
    return true;
  };
  auto settle = [&] {
    PumpMessages();
    m_session.RunDeferred();
  };

  if (cmd == "notify") {
    long long id;
    std::uintptr_t wp = 0, lp = 0;
    if (!number(w[1], id) || (w.size() > 2 && !value(w[2], wp)) || (w.size() > 3 && !value(w[3], lp)))
      return false;
    m_session.Notify(static_cast<UINT>(id), wp, static_cast<LPARAM>(lp));
  } else if (cmd == "click" || cmd == "dblclick" || cmd == "rclick") {
    HWND h = windowOf(w[1]);
    long long x, y;
    if (!h || !number(w[2], x) || !number(w[3], y)) return false;
    POINT pt{static_cast<LONG>(x), static_cast<LONG>(y)};
    if (cmd == "click") ClickAt(h, pt);
    else if (cmd == "dblclick") DoubleClickAt(h, pt);
    else RightClickAt(h, pt);
    settle();
  } else if (cmd == "key" || cmd == "type") {
    HWND h = windowOf(w[1]);
    if (!h) return false;
    // Keys go to the focus; move it into the panel unless it is there already.
    HWND focus = GetFocus();
    if (focus != h && !IsChild(h, focus)) SetFocus(h);
    if (cmd == "type") {
      TypeText(FromUtf8(w[2]));
    } else {
      auto vk = KeyCode(w[2]);
      if (!vk) {
        m_error = "unknown key \"" + w[2] + "\"";
        return false;
      }
      KeyPress(*vk);
    }
    settle();
  } else if (cmd == "menu") {
    if (w[1] == "none") m_session.Modal().QueueMenu(std::monostate{});
    else if (auto n = ToNumber(w[1])) m_session.Modal().QueueMenu(static_cast<UINT>(*n));
    else m_session.Modal().QueueMenu(FromUtf8(w[1]));
  } else if (cmd == "msgbox") {
    static const std::map<std::string, int> answers = {{"ok", IDOK}, {"cancel", IDCANCEL},
                                                       {"yes", IDYES}, {"no", IDNO}};
    long long n;
    if (auto it = answers.find(w[1]); it != answers.end()) n = it->second;
    else if (!number(w[1], n)) return false;
    m_session.Modal().QueueMessageBox(static_cast<int>(n));
  } else if (cmd == "dialog") {
    if (w[1] != "ok" && w[1] != "cancel") {
      m_error = "dialog takes ok or cancel";
      return false;
    }
    m_session.Modal().QueueDialog(w[1] == "ok" ? IDOK : IDCANCEL);
  } else if (cmd == "color") {
    if (w.size() == 2) {
      if (w[1] != "cancel") {
        m_error = "color takes R G B or cancel";
        return false;
      }
      m_session.Modal().QueueColor(std::nullopt);
    } else {
      long long r, g, b;
      if (!number(w[1], r) || !number(w[2], g) || !number(w[3], b)) return false;
      m_session.Modal().QueueColor(RGB(static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b)));
    }
  } else if (cmd == "answer") {
    CHostAnswer answer;
    long long result;
    if (!number(w[2], result)) return false;
    answer.result = static_cast<int>(result);
    bool once = false;
    for (std::size_t i = 3; i < w.size(); ++i) {
      if (w[i] == "once") {
        once = true;
        continue;
      }
      int area;
      std::size_t offset;
      std::vector<BYTE> bytes;
      if (!ParsePatch(w[i], area, offset, bytes)) {
        m_error = "bad answer part \"" + w[i] + "\"";
        return false;
      }
      (area == 1 ? answer.area1 : answer.area2).emplace_back(offset, std::move(bytes));
    }
    if (once) m_session.Requests().QueueAnswer(FromUtf8(w[1]), std::move(answer));
    else m_session.Requests().SetStandingAnswer(FromUtf8(w[1]), std::move(answer));
  } else if (cmd == "noprocessor") {
    m_session.Requests().Forget(FromUtf8(w[1]));
  } else if (cmd == "advance") {
    long long ms;
    if (!number(w[1], ms) || ms < 0) return false;
    AdvanceClock(static_cast<DWORD>(ms));
    settle();
  } else if (cmd == "show" || cmd == "hide") {
    CHostPanel* p = panelOf(w[1]);
    if (!p) return false;
    if (cmd == "show") p->plugin->ShowPlugin(TRUE);
    else p->plugin->HidePlugin();
    settle();
  } else if (cmd == "move") {
    CHostPanel* p = panelOf(w[1]);
    long long x, y, cx, cy;
    if (!p || !number(w[2], x) || !number(w[3], y) || !number(w[4], cx) || !number(w[5], cy)) return false;
    p->rect = RECT{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + cx), static_cast<LONG>(y + cy)};
    p->plugin->MovePlugin(p->rect);
    settle();
  } else if (cmd == "basecolor") {
    long long r, g, b;
    if (!number(w[1], r) || !number(w[2], g) || !number(w[3], b)) return false;
    m_session.SetBaseColor(RGB(static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b)));
  } else if (cmd == "status") {
    // A friend's status changes in the host's data; the host reports the
    // friend and then its group, whose counts changed with it.
    CHostData* data = m_session.Data().Get(u"MurFriendData");
    const QWPOS pos = data ? data->FindById(FromUtf8(w[1])) : 0;
    long long code;
    if (!pos || !number(w[2], code)) {
      if (!pos) m_error = "no friend \"" + w[1] + "\"";
      return false;
    }
    data->Find(pos)->status = static_cast<int>(code);
    m_session.Notify(1365, pos, 0);
    if (QWPOS group = data->GetParentPosition(pos)) m_session.Notify(1365, group, 0);
    settle();
  } else if (cmd == "dump") {
    if (!panelOf(w[1])) return false;
    for (const std::string& l : m_session.DumpPanel(FromUtf8(w[1]))) m_session.Print(l);
  } else if (cmd == "echo") {
    std::string text;
    for (std::size_t i = 1; i < w.size(); ++i) text += (i > 1 ? " " : "") + w[i];
    m_session.Print(text);
  } else if (cmd == "expect") {
    return Expect(line);
  }
  return true;
}

bool CScenarioRunner::Expect(const CScenarioLine& line) {
  const auto& w = line.words;
  const std::string& what = w[1];
  if (what == "request" || what == "norequest") {
    const auto& log = m_session.Requests().Log();
    if (what == "norequest") {
      if (log.size() > m_requestMark) Fail(line, "unexpected " + FormatRequest(log[m_requestMark]));
      m_requestMark = log.size();
      return true;
    }
    std::string areas[2] = {"", ""};
    for (std::size_t i = 3; i < w.size(); ++i) {
      if (w[i].rfind("area1=", 0) == 0) areas[0] = w[i].substr(6);
      else if (w[i].rfind("area2=", 0) == 0) areas[1] = w[i].substr(6);
      else {
        m_error = "bad request expectation \"" + w[i] + "\"";
        return false;
      }
    }
    std::string seen;
    for (std::size_t i = m_requestMark; i < log.size(); ++i) {
      const CHostRequestRecord& r = log[i];
      seen += " " + ToUtf8(r.name);
      if (ToUtf8(r.name) != w[2]) continue;
      if (!areas[0].empty() && !AreaMatches(r.area1, areas[0])) continue;
      if (!areas[1].empty() && !AreaMatches(r.area2, areas[1])) continue;
      m_requestMark = i + 1;
      return true;
    }
    Fail(line, "no matching request " + w[2] + (seen.empty() ? " (none made)" : " (made:" + seen + ")"));
    return true;
  }
  if (what == "notify") {
    long long id;
    auto n = ToNumber(w[2]);
    if (!n) {
      m_error = "not a number: \"" + w[2] + "\"";
      return false;
    }
    id = *n;
    std::optional<long long> wp, lp;
    if (w.size() > 3) wp = ToNumber(w[3]);
    if (w.size() > 4) lp = ToNumber(w[4]);
    const auto& notices = m_session.Notices();
    for (std::size_t i = m_noticeMark; i < notices.size(); ++i) {
      const CHostNotice& x = notices[i];
      if (x.id != static_cast<UINT>(id)) continue;
      if (wp && static_cast<long long>(x.wparam) != *wp) continue;
      if (lp && static_cast<long long>(x.lparam) != *lp) continue;
      m_noticeMark = i + 1;
      return true;
    }
    Fail(line, "no notification " + w[2] + " from a panel");
    return true;
  }
  if (what == "menuitem") {
    const PopupMenuView* menu = m_session.Modal().LastMenu();
    auto id = ToNumber(w[2]);
    const MenuItemView* item = menu && id ? menu->Find(static_cast<UINT>(*id)) : nullptr;
    if (!item) {
      Fail(line, "the last menu has no item " + w[2]);
      return true;
    }
    if (w.size() > 3) {
      const std::string& state = w[3];
      const bool ok = (state == "checked" && item->checked) || (state == "unchecked" && !item->checked) ||
                      (state == "grayed" && !item->enabled) || (state == "enabled" && item->enabled);
      if (!ok) Fail(line, "item " + w[2] + " is not " + state);
    }
    return true;
  }
  if (what == "nomenu") {
    if (m_session.Modal().MenusShown() != m_menuMark) Fail(line, "a menu was shown");
    m_menuMark = m_session.Modal().MenusShown();
    return true;
  }
  if (what == "line") {
    const auto& t = m_session.Transcript();
    for (std::size_t i = m_lineMark; i < t.size(); ++i) {
      if (t[i] == w[2]) {
        m_lineMark = i + 1;
        return true;
      }
    }
    Fail(line, "no line \"" + w[2] + "\"");
    return true;
  }
  m_error = "bad expectation";
  return false;
}
