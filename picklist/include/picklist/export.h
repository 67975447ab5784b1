#pragma once

// libList.so exports the names of the public headers and nothing else.
#define PICKLIST_EXPORT __attribute__((visibility("default")))
