#include "picklist/picklist.h"

#include "runtime/message.h"
#include "runtime/transaction.h"
#include "src/embedded_lists.h"
#include "src/list_window.h"
#include "src/pick_window_impl.h"

namespace picklist {

CallerGrid::~CallerGrid() = default;

namespace {
bool connected(bool ok, std::string* error) {
  if (!ok && error) *error = runtime::sqlca.sqlerrtext;
  return ok;
}
}  // namespace

bool connect(const std::string& database, std::string* error, const ConnectOptions& options) {
  return connected(runtime::sqlca.connect(database, options), error);
}

bool connect(sqlite3* db, std::string* error) {
  return connected(runtime::sqlca.connect(db), error);
}

bool connect(pg_conn* conn, std::string* error) {
  return connected(runtime::sqlca.connect(conn), error);
}

void disconnect() { runtime::sqlca.disconnect(); }

void set_diagnostic_output(std::function<void(const std::string&)> sink) {
  runtime::set_diagnostic_output(std::move(sink));
}

std::vector<std::string> list_names() {
  load_lists();
  return runtime::ObjectLibrary::names();
}

namespace {

std::unique_ptr<PickWindow> open_window(WindowKind kind, trans_parm* parm,
                                        std::shared_ptr<trans_parm> owner) {
  auto handle = PickWindow::Impl::make();
  PickWindow::Impl& impl = handle->impl();
  if (kind == WindowKind::f_list) impl.window_ = std::make_shared<f_list>();
  else impl.window_ = std::make_shared<w_list>();
  impl.parm_owner_ = std::move(owner);
  // As the runtime's open-with-parameter does: the structure travels in the
  // message object to the open event.
  runtime::message.objectparm = parm;
  impl.open_result_ = impl.window_->open();
  runtime::message.objectparm.reset();
  return handle;
}

}  // namespace

std::unique_ptr<PickWindow> open(WindowKind kind, trans_parm* parm) {
  return open_window(kind, parm, nullptr);
}

std::unique_ptr<PickWindow> open(WindowKind kind, std::shared_ptr<trans_parm> parm) {
  trans_parm* raw = parm.get();
  return open_window(kind, raw, std::move(parm));
}

PickWindow::PickWindow() : impl_(std::make_shared<Impl>()) {}

PickWindow::~PickWindow() {
  impl_->window_->on_closed(nullptr);
  impl_->window_->close();
}

int PickWindow::open_result() const { return impl_->open_result_; }

bool PickWindow::is_open() const { return impl_->window_->is_open(); }

std::string PickWindow::title() const { return impl_->window_->title; }

namespace {
// The grid of an open window, or null once it is closed.
runtime::DataGrid* grid(const ListWindow& w) {
  return w.dw_1 && w.dw_1->isvalid() ? w.dw_1 : nullptr;
}
}  // namespace

std::string PickWindow::select_statement() const {
  auto* g = grid(*impl_->window_);
  return g && g->definition() ? g->describe("DataWindow.Table.Select") : std::string();
}

std::string PickWindow::list_name() const {
  auto* g = grid(*impl_->window_);
  return g && g->definition() ? g->definition()->name : std::string();
}

long PickWindow::rowcount() const {
  auto* g = grid(*impl_->window_);
  return g ? g->rowcount() : 0;
}

long PickWindow::current_row() const {
  auto* g = grid(*impl_->window_);
  return g ? g->getrow() : 0;
}

int PickWindow::current_column() const {
  auto* g = grid(*impl_->window_);
  return g ? g->getcolumn() : 0;
}

std::vector<std::optional<std::string>> PickWindow::row(long n) const {
  std::vector<std::optional<std::string>> out;
  auto* g = grid(*impl_->window_);
  if (g == nullptr || n < 1 || n > g->rowcount()) return out;
  for (int c = 1; c <= g->columncount(); ++c) out.push_back(g->getitemstring(n, c));
  return out;
}

std::string PickWindow::last_error() const {
  auto* g = grid(*impl_->window_);
  return g && g->definition() ? g->sqlerrtext() : std::string();
}

std::vector<std::string> PickWindow::query_plan(const std::string& pattern) const {
  auto* g = grid(*impl_->window_);
  return g ? g->query_plan(pattern) : std::vector<std::string>();
}

std::vector<ColumnInfo> PickWindow::columns() const {
  std::vector<ColumnInfo> out;
  auto* g = grid(*impl_->window_);
  const runtime::DataObjectDef* def = g ? g->definition() : nullptr;
  if (def == nullptr) return out;
  // Captions stand over the shown columns left to right; a shown column
  // beyond the last caption has none.
  std::size_t caption = 0;
  for (std::size_t i = 0; i < def->columns.size(); ++i) {
    const runtime::ColumnDef& c = def->columns[i];
    if (!c.visible) continue;
    ColumnInfo info;
    info.result_column = static_cast<int>(i + 1);
    info.name = c.name;
    if (caption < def->headers.size() && def->headers[caption].x == c.x)
      info.caption = def->headers[caption++].text;
    info.x = c.x;
    info.width = c.width;
    info.format = c.format;
    out.push_back(std::move(info));
  }
  return out;
}

std::string PickWindow::query_text() const {
  return impl_->window_->sle_1 && impl_->window_->sle_1->isvalid() ? impl_->window_->sle_1->text
                                                                   : std::string();
}

void PickWindow::set_query_text(const std::string& text) {
  if (impl_->window_->sle_1 && impl_->window_->sle_1->isvalid()) impl_->window_->sle_1->text = text;
}

int PickWindow::click_query() {
  return impl_->window_->cb_query ? impl_->window_->cb_query->click() : -1;
}

int PickWindow::click_ok() { return impl_->window_->cb_ok ? impl_->window_->cb_ok->click() : -1; }

int PickWindow::click_exit() {
  return impl_->window_->cb_exit ? impl_->window_->cb_exit->click() : -1;
}

bool PickWindow::select_row(long n) {
  auto* g = grid(*impl_->window_);
  return g && g->setrow(n) == 1;
}

int PickWindow::double_click(long row) {
  auto* g = grid(*impl_->window_);
  return g ? g->doubleclick(row) : -1;
}

int PickWindow::press_enter() {
  auto* g = grid(*impl_->window_);
  return g ? g->key_enter() : -1;
}

void PickWindow::close() { impl_->window_->close(); }

void PickWindow::on_closed(std::function<void()> listener) {
  impl_->window_->on_closed(std::move(listener));
}

}  // namespace picklist
