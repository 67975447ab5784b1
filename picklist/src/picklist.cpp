#include "picklist/picklist.h"

#include "runtime/message.h"
#include "runtime/transaction.h"
#include "src/embedded_lists.h"
#include "src/list_window.h"

namespace picklist {

CallerGrid::~CallerGrid() = default;

bool connect(const std::string& database, std::string* error, const ConnectOptions& options) {
  bool ok = runtime::sqlca.connect(database, options);
  if (!ok && error) *error = runtime::sqlca.sqlerrtext;
  return ok;
}

void disconnect() { runtime::sqlca.disconnect(); }

void set_diagnostic_output(std::function<void(const std::string&)> sink) {
  runtime::set_diagnostic_output(std::move(sink));
}

std::vector<std::string> list_names() {
  load_lists();
  return runtime::ObjectLibrary::names();
}

std::unique_ptr<PickWindow> open(WindowKind kind, trans_parm* parm) {
  std::unique_ptr<ListWindow> window;
  if (kind == WindowKind::f_list)
    window = std::make_unique<f_list>();
  else
    window = std::make_unique<w_list>();
  auto handle = std::make_unique<PickWindow>(std::move(window));
  // As the runtime's open-with-parameter does: the structure travels in the
  // message object to the open event.
  runtime::message.objectparm = parm;
  handle->open_result_ = handle->window_->open();
  runtime::message.objectparm.reset();
  return handle;
}

PickWindow::PickWindow(std::unique_ptr<ListWindow> window) : window_(std::move(window)) {}

PickWindow::~PickWindow() {
  window_->on_closed(nullptr);
  window_->close();
}

bool PickWindow::is_open() const { return window_->is_open(); }

std::string PickWindow::title() const { return window_->title; }

namespace {
// The grid of an open window, or null once it is closed.
runtime::DataGrid* grid(const ListWindow& w) {
  return w.dw_1 && w.dw_1->isvalid() ? w.dw_1 : nullptr;
}
}  // namespace

std::string PickWindow::select_statement() const {
  auto* g = grid(*window_);
  return g && g->definition() ? g->describe("DataWindow.Table.Select") : std::string();
}

std::string PickWindow::list_name() const {
  auto* g = grid(*window_);
  return g && g->definition() ? g->definition()->name : std::string();
}

long PickWindow::rowcount() const {
  auto* g = grid(*window_);
  return g ? g->rowcount() : 0;
}

long PickWindow::current_row() const {
  auto* g = grid(*window_);
  return g ? g->getrow() : 0;
}

int PickWindow::current_column() const {
  auto* g = grid(*window_);
  return g ? g->getcolumn() : 0;
}

std::vector<std::optional<std::string>> PickWindow::row(long n) const {
  std::vector<std::optional<std::string>> out;
  auto* g = grid(*window_);
  if (g == nullptr || n < 1 || n > g->rowcount()) return out;
  for (int c = 1; c <= g->columncount(); ++c) out.push_back(g->getitemstring(n, c));
  return out;
}

std::string PickWindow::last_error() const {
  auto* g = grid(*window_);
  return g && g->definition() ? g->sqlerrtext() : std::string();
}

std::string PickWindow::query_text() const {
  return window_->sle_1 && window_->sle_1->isvalid() ? window_->sle_1->text : std::string();
}

void PickWindow::set_query_text(const std::string& text) {
  if (window_->sle_1 && window_->sle_1->isvalid()) window_->sle_1->text = text;
}

int PickWindow::click_query() { return window_->cb_query ? window_->cb_query->click() : -1; }

int PickWindow::click_ok() { return window_->cb_ok ? window_->cb_ok->click() : -1; }

int PickWindow::click_exit() { return window_->cb_exit ? window_->cb_exit->click() : -1; }

bool PickWindow::select_row(long n) {
  auto* g = grid(*window_);
  return g && g->setrow(n) == 1;
}

int PickWindow::double_click(long row) {
  auto* g = grid(*window_);
  return g ? g->doubleclick(row) : -1;
}

int PickWindow::press_enter() {
  auto* g = grid(*window_);
  return g ? g->key_enter() : -1;
}

void PickWindow::close() { window_->close(); }

void PickWindow::on_closed(std::function<void()> listener) { window_->on_closed(std::move(listener)); }

}  // namespace picklist
