#pragma once

// Symbols of libList.so are hidden unless marked: the public interface, and
// the runtime classes that the tool and the tests drive.
#define PICKLIST_EXPORT __attribute__((visibility("default")))
