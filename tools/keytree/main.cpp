// keytree: a command-line tool over key tree files, for people who keep
// configuration in them. Reads the binary and archive files (and the
// indented text the library writes), edits by dotted key path and saves a
// file back in the form it came in.
//
// Exit status: 0 done, 1 the key asked for is not there, 2 bad arguments or
// a file that cannot be read or written.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "json.h"
#include "keytree/keytree.h"

namespace {

enum class Form { binary, archive, text, json };

// A one-line failure that ends the program with the given status.
struct Failure {
  int status;
  std::string message;
};

[[noreturn]] void Fail(int status, const std::string& message) { throw Failure{status, message}; }

const char* const kUsage =
    "usage: keytree show FILE\n"
    "       keytree get FILE PATH [--json]\n"
    "       keytree set FILE PATH VALUE\n"
    "       keytree del FILE PATH\n"
    "       keytree merge DEST SRC\n"
    "       keytree convert IN OUT --to binary|archive|text|json [--from json] [--schema N]\n";

bool ReadHead(const std::string& path, std::string& head) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  char buf[64];
  in.read(buf, sizeof buf);
  head.assign(buf, static_cast<size_t>(in.gcount()));
  return true;
}

bool LooksLikeText(const std::string& head) {
  size_t i = head.find_first_not_of(" \t\r\n");
  return i != std::string::npos && head[i] == '(';
}

bool HasBinaryMagic(const std::string& head) {
  return head.size() >= 4 && std::memcmp(head.data(), "\xE1\x97\x01\x00", 4) == 0;
}

// Loads path into tree and tells the form it was in.
Form Load(CKeyTree& tree, const std::string& path) {
  std::string head;
  if (!ReadHead(path, head)) Fail(2, path + ": cannot open the file");
  if (LooksLikeText(head)) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    if (text.size() > 0x7FFFFFFF || !tree.FromString(text.c_str(), static_cast<int>(text.size())))
      Fail(2, path + ": not a key tree text");
    return Form::text;
  }
  try {
    if (!tree.GenericLoad(path.c_str())) Fail(2, path + ": cannot open the file");
  } catch (const CArchiveException&) {
    Fail(2, path + ": not a key tree file");
  } catch (const CFileException& e) {
    Fail(2, path + ": cannot read the file (" + e.what() + ")");
  }
  return HasBinaryMagic(head) ? Form::binary : Form::archive;
}

int SchemaOf(const CKeyTree& tree) { return static_cast<int>(IntOf(tree.GetAt("Schema"), 1)); }

// The whole of a JSON file, written as the library writes its files: to a
// temporary beside it, renamed into place when complete.
void WriteJson(const CKeyTree& tree, const std::string& path) {
  std::string text = keytree_json::ToJson(&tree) + "\n";
  CFile file;
  CFileException error;
  if (!file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite, &error)) throw error;
  file.Write(text.data(), static_cast<unsigned>(text.size()));
  file.Close();
}

void LoadJson(CKeyTree& tree, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail(2, path + ": cannot open the file");
  std::string text((std::istreambuf_iterator<char>(in)), {});
  try {
    std::unique_ptr<CKeyTree> loaded = keytree_json::TreeFromJson(text);
    tree.Empty();
    while (CItem* c = loaded->Head()) tree.Append(c);
  } catch (const keytree_json::JsonError& e) {
    Fail(2, path + ": " + e.what());
  }
}

void Save(CKeyTree& tree, const std::string& path, Form form, int schema) {
  try {
    bool ok = true;
    switch (form) {
      case Form::json: WriteJson(tree, path); break;
      case Form::binary: ok = tree.BinSave(path.c_str(), schema) != 0; break;
      case Form::archive: ok = tree.Save(path.c_str(), schema) != 0; break;
      case Form::text: tree.SaveInIndentedFormat(path.c_str()); break;
    }
    if (!ok) Fail(2, path + ": cannot write the file");
  } catch (const CFileException& e) {
    Fail(2, path + ": cannot write the file (" + e.what() + ")");
  }
}

std::string IndentedText(const CKeyTree& tree) {
  std::string text = tree.ToIndentString(0, 1).GetString();
  if (!text.empty() && text[0] == '\n') text.erase(0, 1);
  return text;
}

void CheckPath(const std::string& path) {
  if (path.empty() || path == ".") Fail(2, "empty key path");
}

int Show(const std::vector<std::string>& args) {
  CKeyTree tree;
  Load(tree, args[0]);
  std::printf("%s\n", IndentedText(tree).c_str());
  return 0;
}

int Get(const std::vector<std::string>& args) {
  std::vector<std::string> plain;
  bool json = false;
  for (const std::string& a : args) {
    if (a == "--json") json = true;
    else if (a.rfind("--", 0) == 0) Fail(2, "unknown option " + a);
    else plain.push_back(a);
  }
  if (plain.size() != 2) Fail(2, "get needs FILE PATH [--json]");
  CKeyTree tree;
  Load(tree, plain[0]);
  CheckPath(plain[1]);
  CItem* value = tree.GetAt(plain[1].c_str());
  if (value == LS_INVALID_ITEM) Fail(1, plain[1] + ": no such key");
  if (json) {
    try {
      std::printf("%s\n", value ? keytree_json::ToJson(value).c_str() : "{\"$novalue\": true}");
    } catch (const keytree_json::JsonError& e) {
      Fail(2, plain[1] + ": " + e.what());
    }
    return 0;
  }
  std::printf("%s\n", value ? value->ToString().GetString() : "");
  return 0;
}

int Set(const std::vector<std::string>& args) {
  const std::string& file = args[0];
  CheckPath(args[1]);
  CKeyTree tree;
  Form form = Form::archive;  // a new file is an archive
  std::string head;
  if (ReadHead(file, head)) form = Load(tree, file);

  std::unique_ptr<CItem> value(CItem::CreateFromString(args[2].c_str(), -1));
  if (!value) Fail(2, "cannot read the value " + args[2]);
  // Text that is no number, string, list or GUID turns into the zero GUID;
  // say so, as it is seldom what was meant.
  if (value->IsKindOf(RUNTIME_CLASS(CLguid)) && GuidOf(value.get(), GUID{1, 0, 0, {}}) == GUID{} &&
      args[2].find('/') == std::string::npos)
    std::fprintf(stderr, "keytree: note: %s is stored as the zero GUID; quote text as '\"%s\"'\n",
                 args[2].c_str(), args[2].c_str());

  tree.AddKey(args[1].c_str(), nullptr);
  if (tree.SetAt(args[1].c_str(), value.get()) == LS_INVALID_ITEM)
    Fail(2, args[1] + ": cannot be set (a key on the way holds a value)");
  value.release();
  Save(tree, file, form, SchemaOf(tree));
  return 0;
}

int Del(const std::vector<std::string>& args) {
  CKeyTree tree;
  Form form = Load(tree, args[0]);
  CheckPath(args[1]);
  if (!tree.DeleteKey(args[1].c_str())) Fail(1, args[1] + ": no such key");
  Save(tree, args[0], form, SchemaOf(tree));
  return 0;
}

int Merge(const std::vector<std::string>& args) {
  CKeyTree dest, source;
  Form form = Load(dest, args[0]);
  int schema = SchemaOf(dest);
  Load(source, args[1]);
  dest.Merge(&source);
  Save(dest, args[0], form, schema);
  return 0;
}

int Convert(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  std::string to, from;
  long schema = -1;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--to" && i + 1 < args.size()) {
      to = args[++i];
    } else if (args[i] == "--from" && i + 1 < args.size()) {
      from = args[++i];
      if (from != "json")
        Fail(2,
             "unknown input form " + from + " (json; key tree files are recognised by themselves)");
    } else if (args[i] == "--schema" && i + 1 < args.size()) {
      char* end = nullptr;
      schema = std::strtol(args[++i].c_str(), &end, 10);
      if (args[i].empty() || *end || schema < 0 || schema > 0x7FFFFFFF)
        Fail(2, "bad schema number " + args[i]);
    } else if (args[i].rfind("--", 0) == 0) {
      Fail(2, "unknown option " + args[i]);
    } else {
      files.push_back(args[i]);
    }
  }
  if (to.empty() && from == "json") to = "archive";
  if (files.size() != 2 || to.empty())
    Fail(2, "convert needs IN OUT --to binary|archive|text|json");
  Form form;
  if (to == "json") form = Form::json;
  else if (to == "binary") form = Form::binary;
  else if (to == "archive") form = Form::archive;
  else if (to == "text") form = Form::text;
  else Fail(2, "unknown form " + to + " (binary, archive, text or json)");
  CKeyTree tree;
  if (from == "json") LoadJson(tree, files[0]);
  else Load(tree, files[0]);
  Save(tree, files[1], form, schema >= 0 ? static_cast<int>(schema) : SchemaOf(tree));
  return 0;
}

struct Command {
  const char* name;
  size_t minArgs, maxArgs;
  int (*run)(const std::vector<std::string>&);
};

const Command kCommands[] = {
    {"show", 1, 1, Show}, {"get", 2, 3, Get},     {"set", 3, 3, Set},
    {"del", 2, 2, Del},   {"merge", 2, 2, Merge}, {"convert", 4, 8, Convert},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string name = argv[1];
  if (name == "-h" || name == "--help" || name == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  std::vector<std::string> args(argv + 2, argv + argc);
  for (const Command& c : kCommands) {
    if (name != c.name) continue;
    if (args.size() < c.minArgs || args.size() > c.maxArgs) {
      std::fprintf(stderr, "keytree: wrong number of arguments for %s\n%s", c.name, kUsage);
      return 2;
    }
    try {
      return c.run(args);
    } catch (const Failure& f) {
      std::fprintf(stderr, "keytree: %s\n", f.message.c_str());
      return f.status;
    } catch (const std::bad_alloc&) {
      std::fprintf(stderr, "keytree: out of memory\n");
      return 2;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "keytree: %s\n", e.what());
      return 2;
    }
  }
  std::fprintf(stderr, "keytree: unknown command %s\n%s", name.c_str(), kUsage);
  return 2;
}
