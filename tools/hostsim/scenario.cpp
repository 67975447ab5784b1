#include "hostsim/scenario.h"
#include "hostsim/snapshots.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "hostsim/host_session.h"
#include "platform/file.h"
#include "platform/message.h"
#include "platform/text.h"
#include "platform/window.h"

namespace {

bool SplitWords(const std::string& line, CScenarioLine& out, std::string& error) {
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (c == '#') break;
    std::string word;
    bool quoted = false, hadQuote = false;
    while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t' && line[i] != '\r'))) {
      if (line[i] == '"') {
        quoted = !quoted;
        hadQuote = true;
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
    out.words.push_back(word);
    out.quoted.push_back(hadQuote);
  }
  return true;
}

std::vector<CScenarioCommand> BuildTable() {
  std::vector<CScenarioCommand> table;
  AddInputCommands(table);
  AddModalCommands(table);
  AddWorldCommands(table);
  AddExpectCommands(table);
  return table;
}

}  // namespace

const std::vector<CScenarioCommand>& ScenarioCommands() {
  static const std::vector<CScenarioCommand> table = BuildTable();
  return table;
}

const CScenarioCommand* FindScenarioCommand(const std::vector<std::string>& words) {
  if (words.empty()) return nullptr;
  const bool expect = words[0] == "expect";
  if (expect && words.size() < 2) return nullptr;
  const std::string name = expect ? "expect " + words[1] : words[0];
  for (const CScenarioCommand& c : ScenarioCommands()) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

std::optional<long long> ScenarioNumber(const std::string& s) {
  if (s.empty() || std::isspace(static_cast<unsigned char>(s[0]))) return std::nullopt;
  char* end = nullptr;
  const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
  errno = 0;
  const long long v = std::strtoll(s.c_str(), &end, hex ? 16 : 10);
  if (!end || *end || errno == ERANGE) return std::nullopt;
  return v;
}

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
    const std::string where = "line " + std::to_string(number) + ": ";
    if (!SplitWords(text.substr(start, end - start), line, why)) {
      error = where + why;
      return false;
    }
    if (!line.words.empty()) {
      const CScenarioCommand* c = FindScenarioCommand(line.words);
      if (!c) {
        error = line.words[0] == "expect" ? where + "bad expectation \"" +
                                                (line.words.size() > 1 ? line.words[1] : "") + "\""
                                          : where + "unknown command \"" + line.words[0] + "\"";
        return false;
      }
      const std::size_t skip = line.words[0] == "expect" ? 2 : 1;
      const std::size_t args = line.words.size() - skip;
      if (args < c->minArgs || args > c->maxArgs) {
        error = where + "wrong number of words for \"" + c->name + "\"; usage: " + c->usage;
        return false;
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
      m_error = "line " + std::to_string(line.number) + ": " + m_error;
      return false;
    }
    if (m_recorder) m_recorder->AfterLine(line.words);
  }
  return true;
}

bool CScenarioRunner::Step(const CScenarioLine& line) {
  const CScenarioCommand* c = FindScenarioCommand(line.words);
  if (!c) return Error("unknown command \"" + line.words[0] + "\"");
  m_line = &line;
  const std::size_t skip = line.words[0] == "expect" ? 2 : 1;
  const std::vector<std::string> args(line.words.begin() + static_cast<std::ptrdiff_t>(skip),
                                      line.words.end());
  if (args.size() < c->minArgs || args.size() > c->maxArgs)
    return Error(std::string("wrong number of words; usage: ") + c->usage);
  m_line = &line;
  m_error.clear();
  m_malformed = false;
  if (!c->run(*this, args)) {
    // A malformed line names its syntax; a step that could not be carried
    // out (no such panel, ...) says why.
    if (m_error.empty()) m_error = "cannot be carried out";
    if (m_malformed) m_error += std::string("; usage: ") + c->usage;
    return false;
  }
  if (line.words[0] == "expect") {
    // "expect nomenu" counts from the previous expectation of any kind.
    m_marks.menus = m_session.Modal().MenusShown();
  }
  return true;
}

bool CScenarioRunner::Quoted(std::size_t arg) const {
  const std::size_t skip = m_line->words[0] == "expect" ? 2 : 1;
  return arg + skip < m_line->quoted.size() && m_line->quoted[arg + skip];
}

bool CScenarioRunner::Error(const std::string& message) {
  m_error = message;
  return false;
}

bool CScenarioRunner::Fail(const std::string& what) {
  ++m_failures;
  m_session.Print("FAIL line " + std::to_string(m_line->number) + ": " + what);
  return true;
}

bool CScenarioRunner::Malformed(const std::string& message) {
  m_error = message;
  m_malformed = true;
  return false;
}

bool CScenarioRunner::Number(const std::string& word, long long& out) {
  auto n = ScenarioNumber(word);
  if (!n) return Malformed("not a number: \"" + word + "\"");
  out = *n;
  return true;
}

CHostPanel* CScenarioRunner::Panel(const std::string& name) {
  CHostPanel* p = m_session.Panel(FromUtf8(name));
  if (!p) Error("no panel \"" + name + "\"");
  return p;
}

HWND CScenarioRunner::Window(const std::string& name) {
  if (name == "main") return m_session.MainWindow();
  CHostPanel* p = Panel(name);
  if (!p) return 0;
  HWND h = p->plugin->GetPluginWnd();
  if (!h || !IsWindow(h)) {
    Error("panel \"" + name + "\" has no window");
    return 0;
  }
  return h;
}

void CScenarioRunner::Settle() {
  PumpMessages();
  m_session.RunDeferred();
}

bool CScenarioRunner::Value(const std::string& s, std::uintptr_t& v) {
  auto keep = [&](std::vector<unsigned char> bytes) {
    // A stray text read stops here, 8-bit or UTF-16 at any alignment.
    bytes.insert(bytes.end(), 3, 0);
    m_buffers.push_back(std::move(bytes));
    v = reinterpret_cast<std::uintptr_t>(m_buffers.back().data());
  };
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
  } else if (s.rfind("bytes:", 0) == 0) {
    std::vector<BYTE> bytes;
    if (!ParseHex(s.substr(6), bytes)) return Malformed("bad hex in \"" + s + "\"");
    keep(std::move(bytes));
  } else if (s.rfind("file:", 0) == 0) {
    std::ifstream in(m_session.ProgramPath(s.substr(5)), std::ios::binary);
    if (!in) return Error("cannot read \"" + s.substr(5) + "\"");
    keep(std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {}));
  } else if (s.rfind("pos:", 0) == 0) {
    const std::size_t colon = s.find(':', 4);
    CHostData* data = colon == std::string::npos
                          ? nullptr
                          : m_session.Data().Get(FromUtf8(s.substr(4, colon - 4)));
    if (!data) return Error("no data object in \"" + s + "\"");
    v = data->FindById(FromUtf8(s.substr(colon + 1)));
    if (!v) return Error("no record \"" + s.substr(colon + 1) + "\"");
  } else {
    long long n;
    if (!Number(s, n)) return false;
    v = static_cast<std::uintptr_t>(n);
  }
  return true;
}
