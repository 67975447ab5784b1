// The terminal screen, driven key by key and click by click without a
// terminal: what it shows and what the caller's grid receives.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>

#include "tests/fixture.h"
#include "tui.h"

namespace {

using picklist::testing::RecordingGrid;
using picklist::testing::TempDir;
using picklist_tool::PickScreen;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using K = PickScreen::Key;

class TuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::setlocale(LC_CTYPE, "C.UTF-8");  // wide characters take two cells
    ASSERT_TRUE(picklist::connect(picklist::testing::make_sample_db(dir)));
    parm = {&grid, "dl_dept", 4, 2, std::nullopt};
    window = picklist::open(picklist::WindowKind::f_list, &parm);
    screen = std::make_unique<PickScreen>(*window);
  }
  void TearDown() override { picklist::disconnect(); }

  std::vector<std::string> text(int rows = 12, int cols = 80) {
    std::vector<std::string> out;
    for (const auto& l : screen->render(rows, cols)) out.push_back(l.text);
    return out;
  }

  TempDir dir;
  RecordingGrid grid;
  picklist::trans_parm parm;
  std::unique_ptr<picklist::PickWindow> window;
  std::unique_ptr<PickScreen> screen;
};

TEST(TuiText, WidthsCountWideCharactersTwice) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  EXPECT_EQ(picklist_tool::text_width("编码ab"), 6);
  EXPECT_EQ(picklist_tool::fit("编码ab", 3), "编 ");  // a wide character is never cut in half
  EXPECT_EQ(picklist_tool::fit("ab", 4), "ab  ");
}

TEST_F(TuiTest, ShowsTitleControlsCaptionsAndRowsAtTheListsWidths) {
  auto lines = text();
  EXPECT_THAT(lines[0], HasSubstr("部门信息查询"));
  EXPECT_THAT(lines[1], HasSubstr("编码条件：[%"));
  EXPECT_THAT(lines[1], HasSubstr("[ 查询 ]"));
  EXPECT_THAT(lines[1], HasSubstr("[ 退出 ]"));
  // 306 and 741 of 1600 units across 80 cells: 15 and 37 cells.
  EXPECT_EQ(lines[2].rfind(
                picklist_tool::fit("编码", 15) + " " + picklist_tool::fit("名称", 37) + " ", 0),
            0u);
  EXPECT_EQ(lines[3].rfind(
                picklist_tool::fit("0001", 15) + " " + picklist_tool::fit("总经办", 37) + " ", 0),
            0u);
  EXPECT_THAT(lines.back(), HasSubstr("rows: 6"));
  for (const auto& l : lines) EXPECT_EQ(picklist_tool::text_width(l), 80) << l;
  // The current row is the one drawn in reverse.
  auto laid = screen->render(12, 80);
  EXPECT_EQ(laid[3].reverse_from, 0);
  EXPECT_EQ(laid[4].reverse_from, -1);
}

TEST_F(TuiTest, TypeQueryMoveAndConfirmWithEnter) {
  screen->key(K::tab);  // the grid, then the code field
  EXPECT_EQ(screen->focus(), PickScreen::Focus::field);
  screen->key(K::backspace);
  screen->type("00");
  screen->type("%");
  screen->key(K::enter);  // Enter in the field queries
  EXPECT_EQ(window->rowcount(), 3);
  EXPECT_EQ(screen->focus(), PickScreen::Focus::grid);
  screen->key(K::down);
  screen->key(K::down);
  screen->key(K::down);  // stays on the last row
  EXPECT_EQ(window->current_row(), 3);
  screen->key(K::up);
  screen->key(K::enter);
  EXPECT_THAT(grid.calls,
              ElementsAre("setitem(4, 2, \"0002\")", "triggerevent(29)", "triggerevent(20)"));
  EXPECT_TRUE(screen->done());
}

TEST_F(TuiTest, MouseSelectsADoubleClickConfirmsAndButtonsPress) {
  text();
  screen->click(5, 3, false);  // third row of the grid
  EXPECT_EQ(window->current_row(), 3);
  EXPECT_TRUE(grid.calls.empty());
  screen->click(4, 3, true);
  EXPECT_THAT(grid.calls,
              ElementsAre("setitem(4, 2, \"0002\")", "triggerevent(29)", "triggerevent(20)"));
}

TEST_F(TuiTest, EscapeAndTheExitButtonWriteNothing) {
  screen->key(K::escape);
  EXPECT_TRUE(screen->done());
  EXPECT_TRUE(grid.calls.empty());

  auto again = picklist::open(picklist::WindowKind::f_list, &parm);
  PickScreen s2(*again);
  auto lines = s2.render(12, 80);
  int exit_col = picklist_tool::text_width(lines[1].text.substr(0, lines[1].text.find("[ 退出 ]")));
  s2.click(1, exit_col + 2, false);
  EXPECT_TRUE(s2.done());
  EXPECT_TRUE(grid.calls.empty());
}

TEST_F(TuiTest, LongListsScrollToKeepTheCurrentRowInView) {
  auto lines = text(6, 80);  // two grid rows
  screen->key(K::end);
  lines = text(6, 80);
  EXPECT_THAT(lines[3], HasSubstr("A001"));
  EXPECT_THAT(lines[4], HasSubstr("a001"));
  screen->key(K::home);
  EXPECT_THAT(text(6, 80)[3], HasSubstr("0001"));
}

}  // namespace
