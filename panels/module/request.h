// Requests to the host and their fixed-layout payloads.
//
// CQWPayload writes and reads fields at byte offsets of one payload area,
// each access checked against the area's size: UTF-16 text of N characters
// (cut to fit and always terminated), 32-bit little-endian integers,
// pointer-sized values, 8-bit text and raw records. A write that does not fit
// writes nothing and answers false.
//
// CQWRequest runs a request's whole sequence: it looks up the processor,
// creates the packet, hands out the areas, processes, and destroys the packet
// on every path (it owns it). Any missing piece makes it inert: areas come
// back invalid and Process answers nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "host/plughost.h"

class CQWPayload {
 public:
  CQWPayload() = default;
  CQWPayload(BYTE* data, DWORD size) : m_data(data), m_size(data ? size : 0) {}

  explicit operator bool() const { return m_data != nullptr; }
  DWORD Size() const { return m_size; }
  BYTE* Data() const { return m_data; }

  bool PutInt(std::size_t offset, std::int32_t value);
  bool PutUInt(std::size_t offset, std::uint32_t value);
  bool PutPtr(std::size_t offset, std::uintptr_t value);  // 8 bytes
  // chars: the field's size in characters, terminator included.
  bool PutText(std::size_t offset, std::u16string_view text, std::size_t chars);
  // 8-bit text of at most maxBytes bytes, terminator included.
  bool PutAnsi(std::size_t offset, std::string_view text, std::size_t maxBytes);
  bool PutBytes(std::size_t offset, const void* bytes, std::size_t count);
  bool Zero(std::size_t offset, std::size_t count);

  std::int32_t GetInt(std::size_t offset) const;  // 0 when out of bounds
  std::uintptr_t GetPtr(std::size_t offset) const;
  std::u16string GetText(std::size_t offset, std::size_t chars) const;

 private:
  bool Fits(std::size_t offset, std::size_t count) const {
    return m_data && offset <= m_size && count <= m_size - offset;
  }
  BYTE* m_data = nullptr;
  DWORD m_size = 0;
};

class CQWRequest {
 public:
  CQWRequest(CQWDataProcessorManager* manager, const char16_t* name);
  ~CQWRequest();
  CQWRequest(const CQWRequest&) = delete;
  CQWRequest& operator=(const CQWRequest&) = delete;

  explicit operator bool() const { return m_packet != nullptr; }

  // size 0: the request's own size.
  CQWPayload Area1(DWORD size = 0);
  CQWPayload Area2(DWORD size = 0);
  // The host's result; nothing when the request could not be made.
  std::optional<int> Process(LPARAM value = 0);

 private:
  std::u16string m_name;
  CQWDataProcessor* m_processor = nullptr;
  std::unique_ptr<CQWDataPacket> m_packet;
};

// A request whose only fields are 32-bit values at offset 0 of each area; a
// zero value leaves that area alone. Returns the host's result.
std::optional<int> QWSimpleRequest(CQWDataProcessorManager* manager, const char16_t* name,
                                   std::int32_t value1 = 0, std::int32_t value2 = 0,
                                   LPARAM processValue = 0);
