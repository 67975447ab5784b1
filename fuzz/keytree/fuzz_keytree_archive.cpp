// Loading arbitrary bytes as a key tree file, in every form the library
// reads: each load ends in a result or a framework exception, never a crash
// or a read past the file.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "keytree/keytree.h"

namespace {

const std::string& ScratchFile() {
  static const std::string path = "/tmp/fuzz_keytree_archive_" + std::to_string(getpid());
  return path;
}

template <class Fn>
void Guarded(Fn fn) {
  try {
    fn();
  } catch (const CArchiveException&) {
  } catch (const CFileException&) {}
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  const char* path = ScratchFile().c_str();
  FILE* f = std::fopen(path, "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  Guarded([&] {
    CKeyTree t;
    t.Load(path);
    t.ToString();
  });
  Guarded([&] {
    CKeyTree t;
    t.BinLoad(path);
    t.ToString();
  });
  Guarded([&] {
    CKeyTree t;
    t.GenericLoad(path);
  });
  Guarded([&] { std::unique_ptr<CKeyTree> t(CKeyTree::LoadExEx(path)); });
  CKeyTree fromVariant(COleVariant(data, size));
  fromVariant.GetBinarizeSize();
  std::remove(path);
  return 0;
}
