#include "module/request.h"

#include <algorithm>
#include <cstring>

bool CQWPayload::PutUInt(std::size_t offset, std::uint32_t value) {
  if (!Fits(offset, 4)) return false;
  for (int i = 0; i < 4; ++i) m_data[offset + i] = static_cast<BYTE>(value >> (8 * i));
  return true;
}

bool CQWPayload::PutInt(std::size_t offset, std::int32_t value) {
  return PutUInt(offset, static_cast<std::uint32_t>(value));
}

bool CQWPayload::PutPtr(std::size_t offset, std::uintptr_t value) {
  if (!Fits(offset, 8)) return false;
  const std::uint64_t v = value;
  for (int i = 0; i < 8; ++i) m_data[offset + i] = static_cast<BYTE>(v >> (8 * i));
  return true;
}

bool CQWPayload::PutText(std::size_t offset, std::u16string_view text, std::size_t chars) {
  if (chars == 0 || !Fits(offset, 2 * chars)) return false;
  const std::size_t n = std::min(text.size(), chars - 1);
  for (std::size_t i = 0; i < chars; ++i) {
    // The rest of the field is zeroed: no stale bytes travel to the host.
    const char16_t c = i < n ? text[i] : u'\0';
    m_data[offset + 2 * i] = static_cast<BYTE>(c & 0xff);
    m_data[offset + 2 * i + 1] = static_cast<BYTE>(c >> 8);
  }
  return true;
}

bool CQWPayload::PutAnsi(std::size_t offset, std::string_view text, std::size_t maxBytes) {
  if (maxBytes == 0) return false;
  const std::size_t n = std::min(text.size(), maxBytes - 1);
  if (!Fits(offset, n + 1)) return false;
  std::memcpy(m_data + offset, text.data(), n);
  m_data[offset + n] = 0;
  return true;
}

bool CQWPayload::PutBytes(std::size_t offset, const void* bytes, std::size_t count) {
  if (!Fits(offset, count) || (!bytes && count)) return false;
  if (count) std::memcpy(m_data + offset, bytes, count);
  return true;
}

bool CQWPayload::Zero(std::size_t offset, std::size_t count) {
  if (!Fits(offset, count)) return false;
  std::memset(m_data + offset, 0, count);
  return true;
}

std::int32_t CQWPayload::GetInt(std::size_t offset) const {
  if (!Fits(offset, 4)) return 0;
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | m_data[offset + i];
  return static_cast<std::int32_t>(v);
}

std::uintptr_t CQWPayload::GetPtr(std::size_t offset) const {
  if (!Fits(offset, 8)) return 0;
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | m_data[offset + i];
  return static_cast<std::uintptr_t>(v);
}

std::u16string CQWPayload::GetText(std::size_t offset, std::size_t chars) const {
  std::u16string out;
  for (std::size_t i = 0; i < chars && Fits(offset + 2 * i, 2); ++i) {
    const char16_t c =
        static_cast<char16_t>(m_data[offset + 2 * i] | (m_data[offset + 2 * i + 1] << 8));
    if (!c) break;
    out.push_back(c);
  }
  return out;
}

CQWRequest::CQWRequest(CQWDataProcessorManager* manager, const char16_t* name)
    : m_name(name ? name : u"") {
  if (!manager || !name) return;
  m_processor = manager->GetProcessor(name);
  if (m_processor) m_packet = m_processor->CreatePacket(name);
}

CQWRequest::~CQWRequest() = default;

CQWPayload CQWRequest::Area1(DWORD size) {
  if (!m_packet) return {};
  BYTE* data = m_packet->GetFirstArea(size);
  return CQWPayload(data, m_packet->GetFirstSize());
}

CQWPayload CQWRequest::Area2(DWORD size) {
  if (!m_packet) return {};
  BYTE* data = m_packet->GetSecondArea(size);
  return CQWPayload(data, m_packet->GetSecondSize());
}

std::optional<int> CQWRequest::Process(LPARAM value) {
  if (!m_packet) return std::nullopt;
  return m_processor->Process(m_name.c_str(), m_packet.get(), value);
}

std::optional<int> QWSimpleRequest(CQWDataProcessorManager* manager, const char16_t* name,
                                   std::int32_t value1, std::int32_t value2, LPARAM processValue) {
  CQWRequest request(manager, name);
  if (!request) return std::nullopt;
  if (value1) {
    CQWPayload a = request.Area1();
    if (!a || !a.PutInt(0, value1)) return std::nullopt;
  }
  if (value2) {
    CQWPayload a = request.Area2();
    if (!a || !a.PutInt(0, value2)) return std::nullopt;
  }
  return request.Process(processValue);
}
