#pragma once
// The transaction object: the application's database connection. Here it is
// an SQLite database file that the caller connects before opening a window.

#include <cstdint>
#include <string>

#include "picklist/connect_options.h"
#include "runtime/object.h"

struct sqlite3;

namespace picklist::runtime {

class PICKLIST_EXPORT Transaction : public Object {
 public:
  explicit Transaction(std::string name);
  ~Transaction() override;

  // Opens an existing database file; never creates one. False with
  // sqlerrtext set on failure.
  bool connect(const std::string& database, const ConnectOptions& options = {});
  void disconnect();
  bool connected() const { return db_ != nullptr; }

  sqlite3* handle() const { return db_; }
  // Changes with every connect and disconnect, so a grid knows that its
  // prepared statement belongs to a connection that is gone.
  std::uint64_t generation() const { return generation_; }

  // Outcome of the last operation, as the application reads it.
  long sqlcode = 0;
  std::string sqlerrtext;

 private:
  sqlite3* db_ = nullptr;
  std::uint64_t generation_ = 0;
};

// The application's default transaction.
PICKLIST_EXPORT extern Transaction sqlca;

}  // namespace picklist::runtime
