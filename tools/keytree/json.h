// Key trees as JSON, for tools that already speak it.
//
// A well-formed level of keys (key nodes in ascending order, each key once)
// is an object, its keys the members. Values: an integer is a number, a real
// a number that always has a fraction or exponent, a string a string (when it
// is UTF-8). What JSON has no plain form for is an object with one "$" member:
//   {"$guid": "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"}  GUID
//   {"$hex": "0aff"}          user block (lowercase hex)
//   {"$bytes": "c4e3"}        string that is not UTF-8 (its bytes in hex)
//   {"$real": "inf"}          real that is not finite ("inf", "-inf", "nan")
//   {"$list": [...]}          list
//   {"$tree": [...]}          key tree that is not a well-formed level
//   {"$novalue": true}        the value of a key that has none
// Reading refuses JSON outside this model (arrays and null elsewhere,
// booleans, duplicate keys, integers beyond 32 bits) with JsonError.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "keytree/keytree.h"

namespace keytree_json {

struct JsonError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The JSON text of a tree (indented by 2) or of any item.
std::string ToJson(const CItem* item);
// A tree from JSON text; the text must be an object.
std::unique_ptr<CKeyTree> TreeFromJson(const std::string& text);

}  // namespace keytree_json
