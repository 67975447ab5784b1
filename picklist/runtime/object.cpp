#include "runtime/object.h"

#include <cstdio>
#include <iostream>

namespace picklist::runtime {

namespace {
DiagnosticSink& sink() {
  static DiagnosticSink s;
  return s;
}
}  // namespace

DispatchError::DispatchError(std::uint32_t site) : ScriptError(problem_line(site)), site_(site) {}

void set_diagnostic_output(DiagnosticSink s) { sink() = std::move(s); }

void diagnostic(const std::string& line) {
  if (sink()) {
    sink()(line);
  } else {
    std::cerr << line << '\n';
  }
}

std::string problem_line(std::uint32_t site) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(site));
  return std::string("*** WE HAVE A PROBLEM HERE. Error = ") + hex + " ***";
}

void fail_dispatch(std::uint32_t site) {
  diagnostic(problem_line(site));
  throw DispatchError(site);
}

Object::Object(std::string classname, std::string name)
    : classname_(std::move(classname)), name_(std::move(name)) {}

Object::~Object() = default;

void Object::on(const std::string& event, Script script) { scripts_[event] = std::move(script); }

bool Object::has_script(const std::string& event) const { return scripts_.count(event) != 0; }

int Object::fire(const std::string& event) {
  if (!valid_) return -1;
  auto it = scripts_.find(event);
  if (it == scripts_.end()) return -1;
  // The script may destroy this object's window, and with it this object:
  // run a copy, and touch no member afterwards.
  Script script = it->second;
  std::string where = path() + "." + event;
  try {
    script();
    return 1;
  } catch (const NullObjectError& e) {
    diagnostic(std::string(e.what()) + " in " + where);
    return 0;
  } catch (const DispatchError&) {
    return 0;
  }
}

int Object::triggerevent(const std::string& event) {
  auto it = scripts_.find(event);
  if (it == scripts_.end()) return -1;
  Script script = it->second;
  script();
  return 1;
}

}  // namespace picklist::runtime
