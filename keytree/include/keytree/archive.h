// The class framework's object archive: a buffered binary stream over a
// CFile that writes and reads objects in the framework's archive format
// (little-endian words, counted strings, classes announced by name).
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "cstring.h"
#include "file.h"
#include "object.h"

#include "keytree_api.h"

class KEYTREE_API CArchiveException : public std::exception {
 public:
  enum { none, genericException, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema };

  explicit CArchiveException(int cause = none, const char* fileName = nullptr);
  const char* what() const noexcept override { return m_what.c_str(); }

  int m_cause;
  std::string m_strFileName;

 private:
  std::string m_what;
};

class KEYTREE_API CArchive {
 public:
  enum Mode { store = 0, load = 1 };

  // Tags that open an object in the stream.
  static constexpr uint16_t wNullTag = 0;           // a null object
  static constexpr uint16_t wNewClassTag = 0xFFFF;  // a class described here by name
  static constexpr uint16_t wClassTag = 0x8000;     // a class described earlier, by index

  CArchive(CFile* file, unsigned mode, int bufferSize = 4096);
  ~CArchive();  // an archive not closed is abandoned without writing
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  bool IsLoading() const { return m_mode == load; }
  bool IsStoring() const { return m_mode == store; }
  CFile* GetFile() const { return m_file; }

  void Write(const void* data, size_t count);
  // Reads exactly count bytes or raises CArchiveException::endOfFile.
  void Read(void* data, size_t count);
  // Bytes still to be read, buffered or in the file.
  uint64_t Remaining() const;

  CArchive& operator<<(uint8_t value);
  CArchive& operator<<(uint16_t value);
  CArchive& operator<<(uint32_t value);
  CArchive& operator>>(uint8_t& value);
  CArchive& operator>>(uint16_t& value);
  CArchive& operator>>(uint32_t& value);

  // A counted string: its length in 1, 3 or 7 bytes, then its characters.
  void WriteStringLength(uint64_t length);
  uint64_t ReadStringLength();
  void WriteCountedString(const char* text, size_t length);
  std::string ReadCountedString();

  // The header of an object whose class is described in the stream.
  void WriteNewClass(const char* className, uint16_t schema);
  struct ClassHeader {
    bool isNull = false;
    std::string className;
    uint16_t schema = 0;
  };
  // Reads the tag and class description that open an object. A null tag
  // gives isNull; anything but a new class (a reference to an earlier
  // class or object, of which a single-object archive has none) raises
  // CArchiveException::badIndex.
  ClassHeader ReadClassHeader();

  // One object: its class announced by name and schema, then what its
  // Serialize writes. Reading creates the object through the class
  // registry; a class that is unknown, abstract or not of kind expected
  // raises badClass, a different schema badSchema. A stored null object
  // reads as null.
  void WriteObject(const CObject* object);
  CObject* ReadObject(const CRuntimeClass* expected);

  void Flush();
  void Close();  // flushes a storing archive; the file stays open
  void Abort();  // drops unwritten data

 private:
  void FillBuffer();
  [[noreturn]] void Throw(int cause) const;

  CFile* m_file;
  Mode m_mode;
  std::vector<uint8_t> m_buffer;
  size_t m_pos = 0;  // next byte in the buffer
  size_t m_end = 0;  // end of valid data when loading
  bool m_closed = false;
};

// Strings travel as counted strings.
KEYTREE_API CArchive& operator<<(CArchive& ar, const CString& text);
KEYTREE_API CArchive& operator>>(CArchive& ar, CString& text);
