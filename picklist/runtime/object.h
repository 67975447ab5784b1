#pragma once
// Objects, event scripts and the two runtime errors that abandon a script.

#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>

#include "picklist/export.h"

namespace picklist::runtime {

// Raised inside an event script; the runtime abandons the whole script (and
// any script it triggered) and the event reports 0.
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A script reached an object through a null reference.
class NullObjectError : public ScriptError {
 public:
  NullObjectError() : ScriptError("Null object reference") {}
};

// A call the runtime could not dispatch; its diagnostic line is already out.
class DispatchError : public ScriptError {
 public:
  explicit DispatchError(std::uint32_t site);
  std::uint32_t site() const { return site_; }

 private:
  std::uint32_t site_;
};

// The runtime's diagnostic output: one line per call. Without a sink of the
// caller's the lines go to standard error.
using DiagnosticSink = std::function<void(const std::string&)>;
void set_diagnostic_output(DiagnosticSink sink);
void diagnostic(const std::string& line);

// "*** WE HAVE A PROBLEM HERE. Error = <site in lower-case hex> ***"
std::string problem_line(std::uint32_t site);

// Writes the call site's problem line and abandons the running script.
[[noreturn]] void fail_dispatch(std::uint32_t site);

// Base of everything a script can hold a reference to: windows, controls,
// the transaction. An object stays in memory after it is destroyed but is no
// longer valid, so a stale reference fails as a dispatch, never as a crash.
class Object {
 public:
  using Script = std::function<void()>;

  Object(std::string classname, std::string name);
  virtual ~Object();
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  const std::string& classname() const { return classname_; }
  const std::string& name() const { return name_; }
  bool isvalid() const { return valid_; }

  // Attaches the script of an event ("clicked", "open", ...).
  void on(const std::string& event, Script script);
  bool has_script(const std::string& event) const;

  // Runs an event on behalf of the user or the runtime: a script error stops
  // here and the event reports 0; 1 when the script ran to its end; -1 when
  // the object has no script for it or is no longer valid.
  int fire(const std::string& event);

  // Runs an event from inside another script: errors reach the outer script,
  // which is abandoned as a whole. 1 when run, -1 when there is no script.
  int triggerevent(const std::string& event);

  // Where an event runs, for messages ("f_list.cb_ok.clicked").
  virtual std::string path() const { return name_; }

 protected:
  void invalidate() { valid_ = false; }

 private:
  std::string classname_;
  std::string name_;
  bool valid_ = true;
  std::map<std::string, Script> scripts_;
};

// One call of a script on an object it reached through a reference: a null
// reference is the null-object error, a destroyed object or an operation that
// throws is a call the runtime cannot dispatch (line on the diagnostic output
// naming the call site). Works for runtime objects and caller-supplied ones.
template <class T, class Op>
decltype(auto) invoke(std::uint32_t site, T* target, Op&& op) {
  if (target == nullptr) throw NullObjectError();
  if constexpr (requires { target->isvalid(); }) {
    if (!target->isvalid()) fail_dispatch(site);
  }
  try {
    return op(*target);
  } catch (const ScriptError&) {
    throw;
  } catch (...) {
    fail_dispatch(site);
  }
}

// Dereferences a reference that a script reads a field through.
template <class T>
T& deref(T* target) {
  if (target == nullptr) throw NullObjectError();
  return *target;
}

}  // namespace picklist::runtime
