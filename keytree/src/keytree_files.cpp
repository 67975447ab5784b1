// A key tree as an automation variant and in its three file forms: binary
// (magic, then the tree's record), archive (one object of the class
// framework) and indented text (written only).
#include <unistd.h>

#include <climits>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "keytree/archive.h"
#include "keytree/ckeytree.h"
#include "keytree/file.h"
#include "record.h"

namespace {

constexpr uint32_t kTreeFileMagic = 104417;

// The file forms hold a tree's record in memory whole; larger trees than
// this cannot be binarized anyway (the record's room is an int).
constexpr uint64_t kMaxRecord = INT_MAX;

void ThrowOpenFailure(const CFileException& e) { throw e; }

}  // namespace

CString CKeyTree::FullPath(const char* path) {
  std::string given = path ? path : "";
  if (given.empty()) return CString();
  std::string full;
  if (given[0] != '/') {
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return CString(given.c_str());
    full = cwd;
    full += '/';
  }
  full += given;
  // Lexically, as the platform's full-path function does: the file need not
  // exist, and links are not followed.
  std::vector<std::string> parts;
  size_t i = 0;
  while (i <= full.size()) {
    size_t slash = full.find('/', i);
    if (slash == std::string::npos) slash = full.size();
    std::string part = full.substr(i, slash - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = slash + 1;
  }
  std::string out;
  for (const std::string& part : parts) out += "/" + part;
  return CString(out.empty() ? "/" : out.c_str());
}

void CKeyTree::SetFileKeys(const char* path, const int* schema) {
  AddKey("FileName", nullptr);
  SetAt("FileName", FullPath(path).GetString());
  if (schema) {
    AddKey("Schema", nullptr);
    SetAt("Schema", *schema);
  }
}

// Takes the content of a tree read from an archive: through Merge, so a
// subtree that was empty there is not recreated.
void CKeyTree::ReplaceContent(CKeyTree* loaded) {
  Empty();
  Merge(loaded);
}

// ---- variant -------------------------------------------------------------------

COleVariant CKeyTree::GetAsVariant() const {
  // A tree that could not be read back, or whose record is beyond what an
  // array here may hold, gives an empty variant rather than a wrong array.
  if (!kt::FitsNesting(this)) return COleVariant();
  uint64_t size = GetBinarizeSize();
  if (size > kMaxRecord) return COleVariant();
  try {
    COleVariant v(nullptr, static_cast<size_t>(size));
    unsigned char* cursor = v.GetArrayData();
    int remaining = static_cast<int>(size);
    if (!Binarize(cursor, remaining)) return COleVariant();
    return v;
  } catch (const std::bad_alloc&) {
    return COleVariant();
  }
}

CKeyTree::CKeyTree(COleVariant v) {
  if (v.GetArrayData() && v.GetArrayCount() > 0) Unbinarize(v.GetArrayData(), v.GetArrayCount());
  v.Clear();
}

// ---- binary file -----------------------------------------------------------------

int CKeyTree::BinSave(const char* path, int schema) {
  if (!kt::FitsNesting(this)) return 0;
  CFile file;
  if (!file.Open(path, CFile::modeCreate | CFile::modeWrite)) return 0;
  SetFileKeys(path, &schema);
  uint64_t size = GetBinarizeSize();
  if (size > kMaxRecord - 4) return 0;
  std::vector<unsigned char> buffer(static_cast<size_t>(size) + 4);
  kt::PutU32(buffer.data(), kTreeFileMagic);
  unsigned char* cursor = buffer.data() + 4;
  int remaining = static_cast<int>(size);
  if (!Binarize(cursor, remaining)) return 0;  // the file is abandoned, the old one kept
  // A failed write raises CFileException; the temporary is dropped on the way.
  file.Write(buffer.data(), static_cast<unsigned>(buffer.size()));
  file.Close();
  return 1;
}

int CKeyTree::BinLoad(const char* path) {
  CFile file;
  if (!file.Open(path, CFile::modeRead)) return 0;
  Empty();
  unsigned char magic[4];
  if (file.Read(magic, 4) != 4 || kt::GetU32(magic) != kTreeFileMagic) return 0;
  uint64_t length = file.GetLength();
  if (length < 4 || length - 4 > kMaxRecord) return 0;
  std::vector<unsigned char> record(static_cast<size_t>(length - 4));
  record.resize(file.Read(record.data(), static_cast<unsigned>(record.size())));
  // The record is read within the bytes the file really holds.
  if (record.empty() || !Unbinarize(record.data(), record.size())) return 0;
  SetFileKeys(path, nullptr);
  return 1;
}

// ---- archive file ------------------------------------------------------------------

namespace {

void WriteArchive(CKeyTree& tree, CFile& file) {
  CArchive ar(&file, CArchive::store, 4096);
  ar.WriteObject(&tree);
  ar.Close();
  file.Close();
}

// The tree stored in the archive file, or null for a stored null object.
std::unique_ptr<CKeyTree> ReadArchive(CFile& file) {
  CArchive ar(&file, CArchive::load, 4096);
  std::unique_ptr<CKeyTree> tree(static_cast<CKeyTree*>(ar.ReadObject(RUNTIME_CLASS(CKeyTree))));
  ar.Close();
  file.Close();
  return tree;
}

}  // namespace

int CKeyTree::Save(const char* path, int schema) {
  if (!kt::FitsNesting(this)) return 0;
  CFile file;
  if (!file.Open(path, CFile::modeCreate | CFile::modeWrite)) return 0;
  SetFileKeys(path, &schema);
  WriteArchive(*this, file);
  return 1;
}

void CKeyTree::SaveEx(const char* path, int schema) {
  // Nothing is written that the loads would refuse.
  if (!kt::FitsNesting(this)) throw CArchiveException(CArchiveException::genericException, path);
  CFile file;
  CFileException error;
  if (!file.Open(path, CFile::modeCreate | CFile::modeWrite, &error)) ThrowOpenFailure(error);
  SetFileKeys(path, &schema);
  WriteArchive(*this, file);
}

int CKeyTree::Load(const char* path) {
  CFile file;
  if (!file.Open(path, CFile::modeRead)) return 0;
  std::unique_ptr<CKeyTree> loaded = ReadArchive(file);
  ReplaceContent(loaded.get());
  SetFileKeys(path, nullptr);
  return 1;
}

void CKeyTree::LoadEx(const char* path) {
  CFile file;
  CFileException error;
  if (!file.Open(path, CFile::modeRead, &error)) ThrowOpenFailure(error);
  std::unique_ptr<CKeyTree> loaded = ReadArchive(file);
  ReplaceContent(loaded.get());
  SetFileKeys(path, nullptr);
}

CKeyTree* CKeyTree::LoadExEx(const char* path) {
  CFile file;
  if (!file.Open(path, CFile::modeRead)) return nullptr;
  std::unique_ptr<CKeyTree> loaded = ReadArchive(file);
  if (loaded) loaded->SetFileKeys(path, nullptr);
  return loaded.release();
}

int CKeyTree::GenericLoad(const char* path) { return BinLoad(path) ? 1 : Load(path); }

// ---- indented text file ---------------------------------------------------------------

void CKeyTree::SaveInIndentedFormat(const char* path) {
  CFile file;
  CFileException error;
  if (!file.Open(path, CFile::modeCreate | CFile::modeWrite, &error)) ThrowOpenFailure(error);
  SetFileKeys(path, nullptr);
  CString text = ToIndentString(0, 1);
  file.Write(text.GetString(), static_cast<unsigned>(text.GetLength()));
  file.Close();
}
