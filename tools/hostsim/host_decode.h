// Request payloads by field: one table of the request layouts the panels
// use (name, area, offset, kind, size), for transcripts that people read.
#pragma once

#include <string>
#include <vector>

#include "hostsim/host_requests.h"

struct CHostField {
  const char* request;
  int area;            // 1 or 2
  std::size_t offset;  // bytes from the start of the area
  enum Kind { Int, Text, Utf8, Ansi, Pointer } kind;
  std::size_t size;  // Text: characters; Utf8/Ansi: bytes; otherwise unused
  const char* name;
};

const std::vector<CHostField>& HostRequestLayouts();
// One line per field of the request's layout whose area was asked for:
// "area1 +16 kind = 1"; nothing for a request without a layout.
std::vector<std::string> DecodeRequest(const CHostRequestRecord& record);
