// Symbol visibility of the key tree library: the library is built with hidden
// visibility, and only what carries KEYTREE_API is exported to client programs.
#pragma once

#define KEYTREE_API __attribute__((visibility("default")))
