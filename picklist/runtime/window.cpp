#include "runtime/window.h"

#include <algorithm>

namespace picklist::runtime {

Control::Control(std::string classname, std::string name, Window* parent)
    : Object(std::move(classname), std::move(name)), parent_(parent) {}

std::string Control::path() const {
  return (parent_ ? parent_->classname() + "." : std::string()) + name();
}

int Control::setfocus() {
  if (!isvalid() || parent_ == nullptr) return -1;
  parent_->focus_ = this;
  return 1;
}

Window::Window(std::string classname) : Object(classname, classname) {}

Window::~Window() = default;

int Window::open() {
  if (opened_ || !isvalid()) return -1;
  opened_ = true;
  fire("create");
  return has_script("open") ? fire("open") : 1;
}

int Window::close() {
  if (!is_open()) return -1;
  fire("close");
  fire("destroy");
  focus_ = nullptr;
  invalidate();
  // The listener may drop the last reference to this window's owner.
  auto listener = std::move(closed_listener_);
  if (listener) listener();
  return 1;
}

void Window::destroy(Control* control) {
  if (control == nullptr) return;
  if (focus_ == control) focus_ = nullptr;
  control->invalidate();
}

Control* Window::control(const std::string& name) const {
  for (const auto& c : controls_)
    if (c->name() == name && c->isvalid()) return c.get();
  return nullptr;
}

std::vector<Control*> Window::tab_sequence() const {
  std::vector<Control*> seq;
  for (const auto& c : controls_)
    if (c->isvalid() && c->look.taborder > 0) seq.push_back(c.get());
  std::stable_sort(seq.begin(), seq.end(), [](const Control* a, const Control* b) {
    return a->look.taborder < b->look.taborder;
  });
  return seq;
}

}  // namespace picklist::runtime
