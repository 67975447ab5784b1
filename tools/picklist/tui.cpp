#include "tui.h"

#include <curses.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cwchar>

namespace picklist_tool {

namespace {

// Next code point of UTF-8 text; a bad byte stands for itself.
char32_t next_code_point(const std::string& s, std::size_t& i, std::size_t& len) {
  auto b = static_cast<unsigned char>(s[i]);
  len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 1;
  if (i + len > s.size()) len = 1;
  char32_t cp = len == 1 ? b : b & (0x7f >> len);
  for (std::size_t k = 1; k < len; ++k) {
    auto c = static_cast<unsigned char>(s[i + k]);
    if ((c >> 6) != 2) {
      len = 1;
      return b;
    }
    cp = (cp << 6) | (c & 0x3f);
  }
  return cp;
}

int cells_of(char32_t cp) {
  int w = ::wcwidth(static_cast<wchar_t>(cp));
  return w < 0 ? 1 : w;
}

}  // namespace

int text_width(const std::string& utf8) {
  int w = 0;
  for (std::size_t i = 0, len = 0; i < utf8.size(); i += len)
    w += cells_of(next_code_point(utf8, i, len));
  return w;
}

std::string fit(const std::string& utf8, int cells) {
  std::string out;
  int w = 0;
  for (std::size_t i = 0, len = 0; i < utf8.size(); i += len) {
    int cw = cells_of(next_code_point(utf8, i, len));
    if (w + cw > cells) break;
    out.append(utf8, i, len);
    w += cw;
  }
  if (w < cells) out.append(static_cast<std::size_t>(cells - w), ' ');
  return out;
}

PickScreen::PickScreen(picklist::PickWindow& window)
    : window_(window), field_(window.query_text()) {}

void PickScreen::activate(Focus f) {
  switch (f) {
    case Focus::grid: window_.press_enter(); break;
    case Focus::field:
    case Focus::query:
      window_.set_query_text(field_);
      window_.click_query();
      top_ = 1;
      focus_ = Focus::grid;  // the query gives the grid the focus
      break;
    case Focus::ok: window_.click_ok(); break;
    case Focus::exit: window_.click_exit(); break;
  }
}

void PickScreen::move_row(long delta) {
  long n = window_.rowcount();
  if (n == 0) return;
  long r = std::clamp(window_.current_row() + delta, 1L, n);
  window_.select_row(r);
  keep_visible();
}

void PickScreen::keep_visible() {
  long r = window_.current_row();
  if (r < top_) top_ = r;
  if (r >= top_ + grid_rows_) top_ = r - grid_rows_ + 1;
  if (top_ < 1) top_ = 1;
}

void PickScreen::key(Key k) {
  if (done()) return;
  constexpr int kFocusCount = 5;
  switch (k) {
    case Key::up:
      if (focus_ == Focus::grid) move_row(-1);
      break;
    case Key::down:
      if (focus_ == Focus::grid) move_row(1);
      break;
    case Key::page_up: move_row(-std::max(1, grid_rows_ - 1)); break;
    case Key::page_down: move_row(std::max(1, grid_rows_ - 1)); break;
    case Key::home: move_row(-window_.rowcount()); break;
    case Key::end: move_row(window_.rowcount()); break;
    case Key::tab: focus_ = static_cast<Focus>((static_cast<int>(focus_) + 1) % kFocusCount); break;
    case Key::back_tab:
      focus_ = static_cast<Focus>((static_cast<int>(focus_) + kFocusCount - 1) % kFocusCount);
      break;
    case Key::enter: activate(focus_); break;
    case Key::escape: window_.click_exit(); break;
    case Key::backspace:
      if (focus_ == Focus::field && !field_.empty()) {
        // Back over one whole UTF-8 character.
        std::size_t at = field_.size() - 1;
        while (at > 0 && (static_cast<unsigned char>(field_[at]) >> 6) == 2) --at;
        field_.resize(at);
      }
      break;
  }
}

void PickScreen::type(const std::string& utf8) {
  if (done()) return;
  if (focus_ != Focus::field) focus_ = Focus::field;  // typing goes to the code field
  field_ += utf8;
}

void PickScreen::click(int row, int col, bool double_click) {
  if (done()) return;
  for (const Area& a : areas_) {
    if (a.row != row || col < a.from || col >= a.to) continue;
    focus_ = a.what;
    if (a.what == Focus::query || a.what == Focus::ok || a.what == Focus::exit) activate(a.what);
    return;
  }
  long r = top_ + (row - grid_top_);
  if (row >= grid_top_ && row < grid_top_ + grid_rows_ && r >= 1 && r <= window_.rowcount()) {
    focus_ = Focus::grid;
    if (double_click) window_.double_click(r);
    else window_.select_row(r);
  }
}

std::vector<PickScreen::Line> PickScreen::render(int rows, int cols) {
  std::vector<Line> out;
  areas_.clear();
  cols = std::max(cols, 20);
  rows = std::max(rows, 6);

  std::string title = window_.title();
  int pad = std::max(0, (cols - text_width(title)) / 2);
  out.push_back({fit(std::string(static_cast<std::size_t>(pad), ' ') + title, cols), 0, cols});

  // The group box with the code field and the query button, then confirm
  // and exit, on one line.
  Line controls;
  auto add = [&](const std::string& text, Focus what) {
    int from = text_width(controls.text);
    controls.text += text;
    int to = text_width(controls.text);
    areas_.push_back({1, from, to, what});
    if (focus_ == what) {
      controls.reverse_from = from;
      controls.reverse_to = to;
    }
    controls.text += " ";
  };
  controls.text = " 编码条件：";
  add("[" + fit(field_, 14) + "]", Focus::field);
  add("[ 查询 ]", Focus::query);
  controls.text += "  ";
  add("[ 确认 ]", Focus::ok);
  add("[ 退出 ]", Focus::exit);
  controls.text = fit(controls.text, cols);
  out.push_back(controls);

  // Column widths follow the list's, the grid's 1600 units across the
  // terminal.
  auto cols_info = window_.columns();
  std::vector<int> widths;
  for (const auto& c : cols_info) widths.push_back(std::max(2, c.width * cols / 1600));
  std::string header;
  for (std::size_t i = 0; i < cols_info.size(); ++i)
    header += fit(cols_info[i].caption, widths[i]) + " ";
  out.push_back({fit(header, cols), -1, -1});

  grid_top_ = 3;
  grid_rows_ = rows - grid_top_ - 1;
  keep_visible();
  for (int i = 0; i < grid_rows_; ++i) {
    long r = top_ + i;
    Line line;
    if (r <= window_.rowcount()) {
      auto cells = window_.row(r);
      for (std::size_t c = 0; c < cols_info.size(); ++c)
        line.text +=
            fit(cells.at(static_cast<std::size_t>(cols_info[c].result_column - 1)).value_or(""),
                widths[c]) +
            " ";
      if (r == window_.current_row()) {
        line.reverse_from = 0;
        line.reverse_to = cols;
      }
    }
    line.text = fit(line.text, cols);
    out.push_back(line);
  }

  std::string status =
      window_.last_error().empty()
          ? "rows: " + std::to_string(window_.rowcount()) +
                "  Tab: next  Enter: confirm/press  Esc: leave  mouse: click, double-click"
          : "error: " + window_.last_error();
  out.push_back({fit(status, cols), -1, -1});
  return out;
}

namespace {

void draw(const std::vector<PickScreen::Line>& lines) {
  erase();
  for (std::size_t y = 0; y < lines.size(); ++y) {
    const auto& l = lines[y];
    // Split the line at the reverse span, counted in cells.
    std::string before, middle, after;
    int w = 0;
    for (std::size_t i = 0, len = 0; i < l.text.size(); i += len) {
      int cw = cells_of(next_code_point(l.text, i, len));
      std::string& part = (w >= l.reverse_from && w < l.reverse_to)
                              ? middle
                              : (w < l.reverse_from ? before : after);
      part.append(l.text, i, len);
      w += cw;
    }
    int yy = static_cast<int>(y);
    mvaddstr(yy, 0, before.c_str());
    attron(A_REVERSE);
    addstr(middle.c_str());
    attroff(A_REVERSE);
    addstr(after.c_str());
  }
  refresh();
}

}  // namespace

bool run_terminal(picklist::PickWindow& window) {
  std::setlocale(LC_ALL, "");
  set_escdelay(25);
  // The terminal itself, so that standard output can go to a file or a pipe
  // and still get the lines printed on confirmation.
  FILE* tty_out = std::fopen("/dev/tty", "w");
  FILE* tty_in = std::fopen("/dev/tty", "r");
  SCREEN* term = tty_out && tty_in ? newterm(nullptr, tty_out, tty_in) : nullptr;
  if (term == nullptr) {
    if (tty_out) std::fclose(tty_out);
    if (tty_in) std::fclose(tty_in);
    return false;
  }
  set_term(term);
  cbreak();
  noecho();
  keypad(stdscr, TRUE);
  curs_set(0);
  mousemask(BUTTON1_CLICKED | BUTTON1_DOUBLE_CLICKED, nullptr);
  PickScreen screen(window);
  while (!screen.done()) {
    draw(screen.render(LINES, COLS));
    wint_t ch = 0;
    int kind = get_wch(&ch);
    if (kind == ERR) continue;
    using K = PickScreen::Key;
    if (kind == KEY_CODE_YES) {
      switch (ch) {
        case KEY_UP: screen.key(K::up); break;
        case KEY_DOWN: screen.key(K::down); break;
        case KEY_PPAGE: screen.key(K::page_up); break;
        case KEY_NPAGE: screen.key(K::page_down); break;
        case KEY_HOME: screen.key(K::home); break;
        case KEY_END: screen.key(K::end); break;
        case KEY_BTAB: screen.key(K::back_tab); break;
        case KEY_ENTER: screen.key(K::enter); break;
        case KEY_BACKSPACE: screen.key(K::backspace); break;
        case KEY_MOUSE: {
          MEVENT ev;
          if (getmouse(&ev) == OK && (ev.bstate & (BUTTON1_CLICKED | BUTTON1_DOUBLE_CLICKED)))
            screen.click(ev.y, ev.x, (ev.bstate & BUTTON1_DOUBLE_CLICKED) != 0);
          break;
        }
        default: break;
      }
    } else if (ch == 14 || ch == 16) {  // Ctrl-N and Ctrl-P, for terminals whose arrows differ
      screen.key(ch == 14 ? K::down : K::up);
    } else if (ch == 27) {
      screen.key(K::escape);
    } else if (ch == '\t') {
      screen.key(K::tab);
    } else if (ch == '\n' || ch == '\r') {
      screen.key(K::enter);
    } else if (ch == 127 || ch == 8) {
      screen.key(K::backspace);
    } else if (ch >= 32) {
      char buf[MB_LEN_MAX];
      std::mbstate_t st{};
      std::size_t n = std::wcrtomb(buf, static_cast<wchar_t>(ch), &st);
      if (n != static_cast<std::size_t>(-1)) screen.type(std::string(buf, n));
    }
  }
  endwin();
  delscreen(term);
  std::fclose(tty_out);
  std::fclose(tty_in);
  return true;
}

}  // namespace picklist_tool
