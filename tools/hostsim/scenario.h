// Scenarios: a small line language that drives a host session.
//
// One command per line; "#" starts a comment; words are separated by blanks
// and a word in double quotes may hold blanks ("\"" and "\\" inside); quotes
// may also stand inside a word (ID="TEXT"). Every command and expectation is
// one row of the command table (ScenarioCommands()), with its usage line;
// error messages and the README quote the same line.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/windef.h"

class CHostSession;
class CSnapshotRecorder;
struct CHostPanel;
class CScenarioRunner;

struct CScenarioLine {
  int number = 0;
  std::vector<std::string> words;  // UTF-8, quotes removed
  std::vector<bool> quoted;        // per word: it held a quoted part
};

struct CScenario {
  std::vector<CScenarioLine> lines;
};

// One command of the language. Expectations are named "expect WORD".
struct CScenarioCommand {
  const char* name;
  const char* usage;             // the syntax, as the README shows it
  std::size_t minArgs, maxArgs;  // words after the name
  // Carries the command out with the words after its name; false (with the
  // runner's error set) when it cannot be carried out or is malformed.
  bool (*run)(CScenarioRunner& r, const std::vector<std::string>& args);
};

const std::vector<CScenarioCommand>& ScenarioCommands();
const CScenarioCommand* FindScenarioCommand(const std::vector<std::string>& words);

// Splits a scenario text; false with a message naming the line on bad input
// (unknown command, wrong word count, unterminated quote).
bool ParseScenario(const std::string& text, CScenario& out, std::string& error);

class CScenarioRunner {
 public:
  explicit CScenarioRunner(CHostSession& session) : m_session(session) {}
  // Runs every line; failed expectations are printed ("FAIL line N: ...")
  // and counted; a line that cannot be carried out stops the run.
  bool Run(const CScenario& scenario);
  int Failures() const { return m_failures; }
  const std::string& Error() const { return m_error; }
  // Told of every line before and after it runs (hostsim --snapshots).
  void SetRecorder(CSnapshotRecorder* recorder) { m_recorder = recorder; }
  CSnapshotRecorder* Recorder() const { return m_recorder; }

  // ---- for the command handlers ----
  CHostSession& Session() { return m_session; }
  const CScenarioLine& Line() const { return *m_line; }
  bool Quoted(std::size_t arg) const;  // the argument's word was quoted
  // Sets the error: the step cannot be carried out (no such panel...);
  // always false.
  bool Error(const std::string& message);
  // The same for a malformed line (not a number, unknown keyword); the
  // message gets the command's usage line. Always false.
  bool Malformed(const std::string& message);
  // Counts a failed expectation and prints it; always true (the run goes on).
  bool Fail(const std::string& what);
  bool Number(const std::string& word, long long& out);
  // A notification argument: a number, owner, main, workdir, text:, ansi:,
  // pos:DATA:ID, bytes:HEX or file:PATH.
  bool Value(const std::string& word, std::uintptr_t& out);
  CHostPanel* Panel(const std::string& name);
  HWND Window(const std::string& panel);  // the panel's window, or 0 with the error set
  void Settle();                          // posted messages, then deferred host work

  // Where expectations have looked so far.
  struct Marks {
    std::size_t requests = 0, notices = 0, lines = 0, menus = 0, mainMessages = 0, urls = 0;
  };
  Marks& Mark() { return m_marks; }

 private:
  bool Step(const CScenarioLine& line);

  CHostSession& m_session;
  CSnapshotRecorder* m_recorder = nullptr;
  const CScenarioLine* m_line = nullptr;
  int m_failures = 0;
  std::string m_error;
  bool m_malformed = false;
  Marks m_marks;
  std::vector<std::vector<char16_t>> m_texts;  // texts passed by address
  std::deque<std::string> m_ansiTexts;  // a deque: short texts live inside, and must not move
  std::vector<std::vector<unsigned char>> m_buffers;  // bytes: and file: arguments
};

// The command groups, each in its own file.
void AddInputCommands(std::vector<CScenarioCommand>& table);
void AddModalCommands(std::vector<CScenarioCommand>& table);
void AddWorldCommands(std::vector<CScenarioCommand>& table);
void AddExpectCommands(std::vector<CScenarioCommand>& table);

// Shared word helpers.
std::optional<long long> ScenarioNumber(const std::string& word);
