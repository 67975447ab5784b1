#pragma once
// Windows and the plain controls: single-line edit, group box, push button.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/object.h"

namespace picklist::runtime {

class Window;

// Look of a window or control, in the runtime's layout units and colours.
struct Look {
  int x = 0, y = 0, width = 0, height = 0;
  int taborder = 0;  // 0: not reached by the Tab key
  std::string facename = "Arial";
  int textsize = 0;  // points
  std::uint32_t textcolor = 0;
  std::uint32_t backcolor = 0;
};

// Colours as the runtime stores them: red in the low byte.
constexpr std::uint32_t rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }
// System colours are flagged values resolved when drawn.
constexpr std::uint32_t kButtonFace = 0x4000000Fu;
constexpr std::uint32_t kWindowText = 0x40000008u;

class Control : public Object {
 public:
  Control(std::string classname, std::string name, Window* parent);

  Window* parent() const { return parent_; }
  std::string path() const override;

  Look look;
  std::string text;

  // Takes the input focus; -1 when the control is gone.
  int setfocus();

 private:
  friend class Window;
  Window* parent_;
};

class SingleLineEdit : public Control {
 public:
  SingleLineEdit(std::string name, Window* parent)
      : Control("singlelineedit", std::move(name), parent) {}
};

class GroupBox : public Control {
 public:
  GroupBox(std::string name, Window* parent) : Control("groupbox", std::move(name), parent) {}
};

class CommandButton : public Control {
 public:
  CommandButton(std::string name, Window* parent)
      : Control("commandbutton", std::move(name), parent) {}
  // The user clicks the button.
  int click() { return fire("clicked"); }
};

// A window with a title and controls. Its life: open() runs the create event
// (which builds the controls) and then the open event; close() runs the close
// event and the destroy event (which destroys the controls) and leaves the
// window invalid.
class Window : public Object {
 public:
  Window(std::string classname);
  ~Window() override;

  std::string title;
  Look look;
  int windowtype = 0;
  bool center = false;
  std::string icon;

  int open();   // the open event's result
  int close();  // -1 when already closed
  bool is_open() const { return opened_ && isvalid(); }

  // Called once the window has closed.
  void on_closed(std::function<void()> listener) { closed_listener_ = std::move(listener); }

  // For create and destroy scripts: the window owns its controls, which
  // outlive their destruction as invalid objects so stale references fail
  // cleanly.
  template <class C>
  C* create(std::string name) {
    auto c = std::make_unique<C>(std::move(name), this);
    C* raw = c.get();
    controls_.push_back(std::move(c));
    return raw;
  }
  void destroy(Control* control);

  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  Control* control(const std::string& name) const;
  // Controls that the Tab key visits, in tab order.
  std::vector<Control*> tab_sequence() const;

  Control* focus() const { return focus_; }

 private:
  friend class Control;
  std::vector<std::unique_ptr<Control>> controls_;
  Control* focus_ = nullptr;
  bool opened_ = false;
  std::function<void()> closed_listener_;
};

}  // namespace picklist::runtime
