#pragma once
// Data-list definitions (the grid's "dataobject"): one query with one
// retrieval argument, its result columns and the grid layout, and the library
// that finds a definition by name.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "picklist/export.h"

namespace picklist::runtime {

struct ColumnDef {
  enum class Type { Char, Decimal };
  std::string name;    // result name
  std::string source;  // table.column
  Type type = Type::Char;
  int size = 0;  // characters of a char column, decimal places of a decimal one
  bool visible = true;
  int x = 0;  // cell position and width in layout units (shown columns)
  int width = 0;
  std::string format;  // display format, empty for the default
};

struct HeaderDef {
  std::string text;
  int x = 0;
  int width = 0;
};

struct DataObjectDef {
  std::string name;
  std::string argument;       // the retrieval argument's name
  std::string argument_type;  // "string"
  std::string select;         // the statement as the definition reports it
  std::vector<ColumnDef> columns;
  std::vector<HeaderDef> headers;
};

// Reads the text form of a definition: "key: value" lines, "#" comments,
// "column:" and "header:" fields separated by "|". Nullopt with a message
// naming the line on any defect.
std::optional<DataObjectDef> parse_dataobject(std::string_view text, std::string* error);

// The definitions the application can name. Lookup trims blanks and ignores
// letter case, as names of the application's objects are compared.
class ObjectLibrary {
 public:
  static void add(DataObjectDef def);
  // Takes a definition out again (one a test added for itself).
  static void remove(std::string_view name);
  static const DataObjectDef* find(std::string_view name);
  static std::vector<std::string> names();
};

}  // namespace picklist::runtime
