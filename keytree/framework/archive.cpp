#include "keytree/archive.h"

#include <algorithm>
#include <cstring>
#include <new>

CArchiveException::CArchiveException(int cause, const char* fileName)
    : m_cause(cause), m_strFileName(fileName ? fileName : "") {
  static const char* const names[] = {"none",       "generic",   "read-only", "end of file",
                                      "write-only", "bad index", "bad class", "bad schema"};
  m_what = std::string("archive exception: ") +
           (cause >= 0 && cause <= badSchema ? names[cause] : "unknown");
  if (!m_strFileName.empty()) m_what += ": " + m_strFileName;
}

CArchive::CArchive(CFile* file, unsigned mode, int bufferSize)
    : m_file(file),
      m_mode(mode == load ? load : store),
      m_buffer(static_cast<size_t>(std::max(bufferSize, 128))) {}

CArchive::~CArchive() { Abort(); }

void CArchive::Throw(int cause) const {
  throw CArchiveException(cause, m_file ? m_file->GetFilePath().c_str() : nullptr);
}

void CArchive::Write(const void* data, size_t count) {
  if (!IsStoring()) Throw(CArchiveException::readOnly);
  auto* in = static_cast<const uint8_t*>(data);
  while (count > 0) {
    if (m_pos == m_buffer.size()) Flush();
    size_t n = std::min(count, m_buffer.size() - m_pos);
    std::memcpy(m_buffer.data() + m_pos, in, n);
    m_pos += n;
    in += n;
    count -= n;
  }
}

void CArchive::FillBuffer() {
  m_pos = 0;
  m_end = m_file->Read(m_buffer.data(), static_cast<unsigned>(m_buffer.size()));
}

void CArchive::Read(void* data, size_t count) {
  if (!IsLoading()) Throw(CArchiveException::writeOnly);
  auto* out = static_cast<uint8_t*>(data);
  while (count > 0) {
    if (m_pos == m_end) {
      FillBuffer();
      if (m_end == 0) Throw(CArchiveException::endOfFile);
    }
    size_t n = std::min(count, m_end - m_pos);
    std::memcpy(out, m_buffer.data() + m_pos, n);
    m_pos += n;
    out += n;
    count -= n;
  }
}

uint64_t CArchive::Remaining() const {
  uint64_t length = m_file->GetLength();
  uint64_t position = m_file->GetPosition();
  return (m_end - m_pos) + (length > position ? length - position : 0);
}

CArchive& CArchive::operator<<(uint8_t value) {
  Write(&value, 1);
  return *this;
}

CArchive& CArchive::operator<<(uint16_t value) {
  uint8_t b[2] = {uint8_t(value), uint8_t(value >> 8)};
  Write(b, 2);
  return *this;
}

CArchive& CArchive::operator<<(uint32_t value) {
  uint8_t b[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
  Write(b, 4);
  return *this;
}

CArchive& CArchive::operator>>(uint8_t& value) {
  Read(&value, 1);
  return *this;
}

CArchive& CArchive::operator>>(uint16_t& value) {
  uint8_t b[2];
  Read(b, 2);
  value = uint16_t(b[0] | (b[1] << 8));
  return *this;
}

CArchive& CArchive::operator>>(uint32_t& value) {
  uint8_t b[4];
  Read(b, 4);
  value = uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
  return *this;
}

void CArchive::WriteStringLength(uint64_t length) {
  if (length < 255) {
    *this << uint8_t(length);
  } else if (length < 0xFFFE) {
    *this << uint8_t(0xFF) << uint16_t(length);
  } else {
    if (length > 0xFFFFFFFEu) Throw(CArchiveException::genericException);
    *this << uint8_t(0xFF) << uint16_t(0xFFFF) << uint32_t(length);
  }
}

uint64_t CArchive::ReadStringLength() {
  uint8_t b;
  *this >> b;
  if (b < 0xFF) return b;
  uint16_t w;
  *this >> w;
  // 0xFFFE announces a wide-character string, which an 8-bit archive
  // never holds.
  if (w == 0xFFFE) Throw(CArchiveException::genericException);
  if (w < 0xFFFF) return w;
  uint32_t d;
  *this >> d;
  if (d == 0xFFFFFFFFu) Throw(CArchiveException::genericException);
  return d;
}

void CArchive::WriteCountedString(const char* text, size_t length) {
  WriteStringLength(length);
  Write(text, length);
}

std::string CArchive::ReadCountedString() {
  uint64_t length = ReadStringLength();
  // A damaged length must not make us allocate what the file cannot hold.
  if (length > Remaining()) Throw(CArchiveException::endOfFile);
  std::string text(static_cast<size_t>(length), '\0');
  Read(text.data(), text.size());
  return text;
}

void CArchive::WriteNewClass(const char* className, uint16_t schema) {
  size_t length = std::strlen(className);
  *this << wNewClassTag << schema << uint16_t(length);
  Write(className, length);
}

CArchive::ClassHeader CArchive::ReadClassHeader() {
  ClassHeader header;
  uint16_t tag;
  *this >> tag;
  if (tag == wNullTag) {
    header.isNull = true;
    return header;
  }
  if (tag != wNewClassTag) Throw(CArchiveException::badIndex);
  uint16_t length;
  *this >> header.schema >> length;
  if (length == 0 || length >= 64) Throw(CArchiveException::badClass);
  header.className.resize(length);
  Read(header.className.data(), length);
  return header;
}

void CArchive::WriteObject(const CObject* object) {
  if (!object) {
    *this << wNullTag;
    return;
  }
  const CRuntimeClass* cls = object->GetRuntimeClass();
  WriteNewClass(cls->m_lpszClassName, static_cast<uint16_t>(cls->m_wSchema));
  const_cast<CObject*>(object)->Serialize(*this);
}

CObject* CArchive::ReadObject(const CRuntimeClass* expected) {
  ClassHeader header = ReadClassHeader();
  if (header.isNull) return nullptr;
  const CRuntimeClass* cls = CRuntimeClass::FromName(header.className.c_str());
  if (!cls || !cls->m_pfnCreateObject) Throw(CArchiveException::badClass);
  if (cls->m_wSchema != header.schema) Throw(CArchiveException::badSchema);
  if (expected && !cls->IsDerivedFrom(expected)) Throw(CArchiveException::badClass);
  CObject* object = cls->CreateObject();
  if (!object) throw std::bad_alloc();
  try {
    object->Serialize(*this);
  } catch (...) {
    delete object;
    throw;
  }
  return object;
}

CArchive& operator<<(CArchive& ar, const CString& text) {
  ar.WriteCountedString(text.GetString(), static_cast<size_t>(text.GetLength()));
  return ar;
}

CArchive& operator>>(CArchive& ar, CString& text) {
  std::string read = ar.ReadCountedString();
  text = CString(read.data(), static_cast<int>(read.size()));
  return ar;
}

void CArchive::Flush() {
  if (IsStoring() && m_pos > 0) {
    m_file->Write(m_buffer.data(), static_cast<unsigned>(m_pos));
    m_pos = 0;
  }
}

void CArchive::Close() {
  if (m_closed) return;
  Flush();
  m_closed = true;
}

void CArchive::Abort() {
  m_pos = m_end = 0;
  m_closed = true;
}
