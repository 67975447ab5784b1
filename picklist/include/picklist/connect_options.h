#pragma once
// How the default transaction opens the application's database.

namespace picklist {

struct ConnectOptions {
  // The lists only read. A caller that shares the connection with code of its
  // own that writes asks for it here.
  bool writable = false;
  // How long a retrieve waits for another connection's write lock before it
  // fails with "database is locked" (milliseconds; 0 fails at once).
  int busy_timeout_ms = 5000;
};

}  // namespace picklist
