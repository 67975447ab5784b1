// Uses only the installed headers: connect errors, the list names and a
// window over no database.
#include <picklist/picklist.h>

#include <cstdio>
#include <memory>

struct Grid : picklist::CallerGrid {
  int setitem(long, int, const std::optional<std::string>&) override { return 1; }
  int triggerevent(int) override { return 1; }
};

int main() {
  std::string error;
  if (picklist::connect("/nonexistent/shop.db", &error) || error.empty()) return 1;
  if (picklist::list_names().size() != 13) return 2;
  auto parm = std::make_shared<picklist::trans_parm>();
  parm->dw_parm = std::make_shared<Grid>();
  parm->dw_name = "dl_part";
  auto w = picklist::open(picklist::WindowKind::f_list, parm);
  if (w->title() != "商品信息查询" || w->rowcount() != 0 || w->columns().size() != 4) return 3;
  if (w->columns()[3].caption != "当前售价" || w->columns()[3].format != "0.00") return 4;
  std::puts("ok");
  return 0;
}
