#pragma once
// The pick list in a terminal: a screen model that keys and mouse clicks
// drive and that renders to lines of text, and the curses loop around it.

#include <string>
#include <vector>

#include "picklist/picklist.h"

namespace picklist_tool {

// Display width of UTF-8 text in terminal cells (wide characters count two).
int text_width(const std::string& utf8);
// The text cut or blank-padded to exactly `cells` cells.
std::string fit(const std::string& utf8, int cells);

class PickScreen {
 public:
  // The controls in tab order, as in the window.
  enum class Focus { grid, field, query, ok, exit };
  enum class Key {
    up,
    down,
    page_up,
    page_down,
    home,
    end,
    tab,
    back_tab,
    enter,
    escape,
    backspace
  };

  struct Line {
    std::string text;
    int reverse_from = -1;  // cells shown in reverse video, [from, to)
    int reverse_to = -1;
  };

  explicit PickScreen(picklist::PickWindow& window);

  void key(Key k);
  void type(const std::string& utf8);  // printable text, into the code field
  void click(int row, int col, bool double_click);
  // Lays the screen out for a terminal of this size; clicks refer to the
  // last layout.
  std::vector<Line> render(int rows, int cols);

  Focus focus() const { return focus_; }
  bool done() const { return !window_.is_open(); }

 private:
  struct Area {
    int row, from, to;
    Focus what;
  };
  void activate(Focus f);
  void move_row(long delta);
  void keep_visible();

  picklist::PickWindow& window_;
  Focus focus_ = Focus::grid;  // the window gives the grid the focus on opening
  std::string field_;
  long top_ = 1;       // first row shown
  int grid_rows_ = 1;  // rows of the grid in the last layout
  int grid_top_ = 3;   // screen row of the first grid row
  std::vector<Area> areas_;
};

// Runs the screen on the terminal until the window closes. False when the
// terminal cannot be used.
bool run_terminal(picklist::PickWindow& window);

}  // namespace picklist_tool
