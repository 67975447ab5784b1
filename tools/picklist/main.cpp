// picklist: opens a pick-list window over a database and plays a person's
// actions on it, printing what the window shows and what it does to the
// caller's grid.

#include <charconv>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "picklist/picklist.h"
#include "tui.h"

namespace {

const char* const kUsage =
    "usage: picklist --db PATH --window f_list|w_list --list NAME [--where COND] [--row N] [--col "
    "N]\n"
    "                [--null TEXT]\n"
    "       picklist --db PATH --window f_list|w_list --list NAME [--where COND] [--row N] [--col "
    "N] tui\n"
    "PATH is an SQLite file or a PostgreSQL connection string (postgresql://... or host=... "
    "dbname=...).\n"
    "                [--type TEXT] [--query] [--select N] [--ok] [--dblclick] [--enter] [--exit] "
    "...\n"
    "Actions run in the order given. Output, one item per line: title, the statement in\n"
    "force, the rows, the caller grid's setitem and triggerevent calls, closed.\n"
    "A null cell prints as TEXT with --null, else empty. A failed retrieve prints the\n"
    "database's message on standard error and exits 1. tui opens the window in the terminal\n"
    "(Tab, arrows or Ctrl-N/Ctrl-P, Enter, Escape, mouse) and prints the same lines once it "
    "closes.\n";

[[noreturn]] void bad(const std::string& message) {
  std::cerr << "picklist: " << message << '\n';
  std::exit(2);
}

template <class T>
T number(const std::string& option, const std::string& text) {
  T value{};
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || p != text.data() + text.size())
    bad(option + " needs a whole number in range, not '" + text + "'");
  return value;
}

// While the terminal screen is up, output lines wait here and are printed
// once it is gone.
std::vector<std::string>* g_held = nullptr;

void out_line(const std::string& line) {
  if (g_held) g_held->push_back(line);
  else std::cout << line << '\n';
}

// The caller's grid: prints every call it receives.
class PrintingGrid : public picklist::CallerGrid {
 public:
  int setitem(long row, int column, const std::optional<std::string>& text) override {
    out_line("setitem(" + std::to_string(row) + ", " + std::to_string(column) + ", " +
             (text ? "\"" + *text + "\"" : std::string("null")) + ")");
    return 1;
  }
  int triggerevent(int code) override {
    out_line("triggerevent(" + std::to_string(code) + ")");
    return 1;
  }
};

std::optional<std::string> null_text;

// Prints what the window shows; a failed retrieve ends the run.
void print_rows(const picklist::PickWindow& w) {
  std::cout << "select: " << w.select_statement() << '\n';
  std::cout << "rows: " << w.rowcount() << '\n';
  for (long r = 1; r <= w.rowcount(); ++r) {
    std::cout << r << ": ";
    bool first = true;
    for (const auto& cell : w.row(r)) {
      if (!first) std::cout << '|';
      first = false;
      if (cell) std::cout << *cell;
      else if (null_text) std::cout << *null_text;
    }
    std::cout << '\n';
  }
  std::string error = w.last_error();
  if (!error.empty()) {
    std::cout.flush();
    std::cerr << "picklist: retrieve failed: " << error << '\n';
    std::exit(1);
  }
}

struct Action {
  std::string option;
  std::string value;
};

}  // namespace

int main(int argc, char** argv) {
  std::string db, window, list;
  std::optional<std::string> where;
  std::int16_t row = 1, col = 1;
  std::vector<Action> actions;
  bool tui = false;

  for (int i = 1; i < argc; ++i) {
    std::string opt = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) bad(opt + " needs a value");
      return argv[++i];
    };
    if (opt == "--help" || opt == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (opt == "--db") {
      db = value();
    } else if (opt == "--window") {
      window = value();
    } else if (opt == "--list") {
      list = value();
    } else if (opt == "--where") {
      where = value();
    } else if (opt == "--null") {
      null_text = value();
    } else if (opt == "--row") {
      row = number<std::int16_t>(opt, value());
    } else if (opt == "--col") {
      col = number<std::int16_t>(opt, value());
    } else if (opt == "--type") {
      actions.push_back({opt, value()});
    } else if (opt == "--select") {
      std::string n = value();
      number<long>(opt, n);
      actions.push_back({opt, n});
    } else if (opt == "tui") {
      tui = true;
    } else if (opt == "--query" || opt == "--ok" || opt == "--dblclick" || opt == "--enter" ||
               opt == "--exit") {
      actions.push_back({opt, ""});
    } else {
      bad("unknown argument '" + opt + "' (see --help)");
    }
  }
  if (db.empty()) bad("--db PATH is required");
  if (window != "f_list" && window != "w_list") bad("--window must be f_list or w_list");
  if (list.empty()) bad("--list NAME is required");
  if (tui && !actions.empty()) bad("tui takes no scripted actions");

  std::string error;
  if (!picklist::connect(db, &error)) bad("cannot open database " + db + ": " + error);
  picklist::set_diagnostic_output([](const std::string& line) { out_line(line); });

  PrintingGrid grid;
  picklist::trans_parm parm;
  parm.dw_parm = &grid;
  parm.dw_name = list;
  parm.row_parm = row;
  parm.col_parm = col;
  parm.where_parm = where;

  auto w = picklist::open(
      window == "f_list" ? picklist::WindowKind::f_list : picklist::WindowKind::w_list, &parm);
  w->on_closed([] { out_line("closed"); });
  if (tui) {
    std::vector<std::string> held;
    g_held = &held;
    bool ok = picklist_tool::run_terminal(*w);
    g_held = nullptr;
    if (!ok) bad("no terminal to show the window on");
    for (const auto& line : held) std::cout << line << '\n';
    std::cout.flush();
    picklist::disconnect();
    return 0;
  }
  std::cout << "title: " << w->title() << '\n';
  print_rows(*w);

  for (const Action& a : actions) {
    if (!w->is_open()) {
      std::cerr << "picklist: the window is closed, " << a.option << " ignored\n";
      continue;
    }
    if (a.option == "--type") {
      w->set_query_text(a.value);
    } else if (a.option == "--query") {
      w->click_query();
      print_rows(*w);
    } else if (a.option == "--select") {
      if (!w->select_row(std::stol(a.value)))
        std::cerr << "picklist: no row " << a.value << " to select\n";
    } else if (a.option == "--ok") {
      w->click_ok();
    } else if (a.option == "--dblclick") {
      w->double_click(w->current_row());
    } else if (a.option == "--enter") {
      w->press_enter();
    } else if (a.option == "--exit") {
      w->click_exit();
    }
  }
  std::cout.flush();
  picklist::disconnect();
  return 0;
}
