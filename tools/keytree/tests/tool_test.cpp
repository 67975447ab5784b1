// The keytree tool run as a person would: output, files and exit status.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

struct Result {
  int status;
  std::string out, err;
};

class KeyTreeTool : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("kt_tool_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  static std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  }
  static std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // The tool's text form of a file's name: appended rather than prepended,
  // which g++ 12 at -O3 takes for an overlapping copy (-Wrestrict).
  std::string NameLine(const char* file) const {
    std::string line = "\"";
    line += (dir / file).string();
    line += "\"\n";
    return line;
  }

  // Runs the tool in the scratch directory with the given arguments.
  Result Run(std::initializer_list<std::string> args) {
    std::string cmd = "cd " + Quote(dir.string()) + " && " + Quote(KEYTREE_TOOL);
    for (const std::string& a : args) {
      cmd += ' ';
      cmd += Quote(a);
    }
    cmd += " >out.txt 2>err.txt";
    int raw = std::system(cmd.c_str());
    Result r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(dir / "out.txt"),
             Slurp(dir / "err.txt")};
    return r;
  }

  fs::path dir;
};

TEST_F(KeyTreeTool, SetCreatesAFileAndGetReadsIt) {
  EXPECT_EQ(Run({"set", "app.kt", "app.port", "8080"}).status, 0);
  EXPECT_EQ(Run({"set", "app.kt", "app.title", "\"\xe4\xbd\xa0\xe5\xa5\xbd\""}).status, 0);
  EXPECT_EQ(Run({"set", "app.kt", "app.ratio", "2.5"}).status, 0);
  // A new file is an archive.
  EXPECT_EQ(Slurp(dir / "app.kt").substr(0, 14), std::string("\xFF\xFF\x01\x00\x08\x00"
                                                             "CKeyTree",
                                                             14));

  Result port = Run({"get", "app.kt", "app.port"});
  EXPECT_EQ(port.status, 0);
  EXPECT_EQ(port.out, "8080\n");
  EXPECT_EQ(Run({"get", "app.kt", "app.title"}).out, "\"\xe4\xbd\xa0\xe5\xa5\xbd\"\n");
  EXPECT_EQ(Run({"get", "app.kt", "app.ratio"}).out, "2.500000000000000\n");
  EXPECT_EQ(Run({"get", "app.kt", "app"}).out,
            "(.(.\"port\", 8080), (.\"ratio\", 2.500000000000000), (.\"title\", "
            "\"\xe4\xbd\xa0\xe5\xa5\xbd\"))\n");
  EXPECT_EQ(Run({"get", "app.kt", "FileName"}).out, NameLine("app.kt"));

  // Setting again replaces; a missing key is status 1 with one line.
  EXPECT_EQ(Run({"set", "app.kt", "app.port", "9090"}).status, 0);
  EXPECT_EQ(Run({"get", "app.kt", "app.port"}).out, "9090\n");
  Result missing = Run({"get", "app.kt", "app.host"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "keytree: app.host: no such key\n");
}

TEST_F(KeyTreeTool, ShowPrintsTheIndentedTree) {
  Run({"set", "c.kt", "a", "1"});
  Run({"set", "c.kt", "b.c", "\"x\""});
  Result shown = Run({"show", "c.kt"});
  EXPECT_EQ(shown.status, 0);
  std::string expected =
      "(.\n"
      "  (.\"FileName\", \"" +
      (dir / "c.kt").string() +
      "\"), \n"
      "  (.\"Schema\", 1), \n"
      "  (.\"a\", 1), \n"
      "  (.\"b\", \n"
      "    (.\n"
      "      (.\"c\", \"x\")\n"
      "    )\n"
      "  )\n"
      ")\n";
  EXPECT_EQ(shown.out, expected);
}

TEST_F(KeyTreeTool, DeleteAndMerge) {
  Run({"set", "d.kt", "x.y", "1"});
  Run({"set", "d.kt", "z", "2"});
  EXPECT_EQ(Run({"del", "d.kt", "x.y"}).status, 0);
  EXPECT_EQ(Run({"get", "d.kt", "x"}).status, 1);  // pruned with its last key
  EXPECT_EQ(Run({"del", "d.kt", "x.y"}).status, 1);

  Run({"set", "src.kt", "z", "3"});
  Run({"set", "src.kt", "n.m", "\"new\""});
  Run({"convert", "src.kt", "src.bin", "--to", "binary"});
  EXPECT_EQ(Run({"merge", "d.kt", "src.bin"}).status, 0);
  EXPECT_EQ(Run({"get", "d.kt", "z"}).out, "3\n");
  EXPECT_EQ(Run({"get", "d.kt", "n.m"}).out, "\"new\"\n");
  // The destination keeps its own name and form.
  EXPECT_EQ(Run({"get", "d.kt", "FileName"}).out, NameLine("d.kt"));
  EXPECT_EQ(Slurp(dir / "d.kt")[0], '\xFF');
}

TEST_F(KeyTreeTool, ConvertBetweenForms) {
  Run({"set", "a.kt", "k", "1"});
  EXPECT_EQ(Run({"convert", "a.kt", "a.bin", "--to", "binary", "--schema", "7"}).status, 0);
  EXPECT_EQ(Slurp(dir / "a.bin").substr(0, 4), std::string("\xE1\x97\x01\x00", 4));
  EXPECT_EQ(Run({"get", "a.bin", "Schema"}).out, "7\n");
  // Editing a binary file keeps it binary, with its schema.
  EXPECT_EQ(Run({"set", "a.bin", "k", "2"}).status, 0);
  EXPECT_EQ(Slurp(dir / "a.bin").substr(0, 4), std::string("\xE1\x97\x01\x00", 4));
  EXPECT_EQ(Run({"get", "a.bin", "Schema"}).out, "7\n");

  EXPECT_EQ(Run({"convert", "a.bin", "a.txt", "--to", "text"}).status, 0);
  EXPECT_EQ(Slurp(dir / "a.txt")[0], '\n');
  EXPECT_EQ(Run({"get", "a.txt", "k"}).out, "2\n");
  EXPECT_EQ(Run({"set", "a.txt", "k", "3"}).status, 0);
  EXPECT_EQ(Slurp(dir / "a.txt")[0], '\n');
  EXPECT_EQ(Run({"convert", "a.txt", "b.kt", "--to", "archive"}).status, 0);
  EXPECT_EQ(Run({"get", "b.kt", "k"}).out, "3\n");
}

TEST_F(KeyTreeTool, BadInputIsStatusTwoWithOneLine) {
  Run({"set", "ok.kt", "leaf", "1"});
  std::ofstream(dir / "junk") << "not a key tree at all";
  std::string archive = Slurp(dir / "ok.kt");
  std::ofstream(dir / "cut.kt", std::ios::binary) << archive.substr(0, archive.size() - 3);
  std::ofstream(dir / "cut.bin", std::ios::binary)
      << std::string("\xE1\x97\x01\x00\x05\xff\x00\x00", 8);
  std::ofstream(dir / "bad.txt") << "(.(.\"a\", 1)";

  const std::initializer_list<std::string> cases[] = {
      {},
      {"frobnicate"},
      {"show"},
      {"show", "missing.kt"},
      {"show", "junk"},
      {"show", "cut.kt"},
      {"show", "cut.bin"},
      {"show", "bad.txt"},
      {"show", "."},
      {"get", "ok.kt"},
      {"get", "ok.kt", ""},
      {"set", "ok.kt", "leaf.below", "1"},
      {"set", "junk", "a", "1"},
      {"set", "nodir/x.kt", "a", "1"},
      {"convert", "ok.kt", "out.kt"},
      {"convert", "ok.kt", "out.kt", "--to", "yaml"},
      {"convert", "ok.kt", "out.kt", "--to", "binary", "--schema", "x"},
      {"convert", "ok.kt", "out.kt", "--to", "binary", "--bogus"},
      {"merge", "ok.kt", "junk"},
  };
  for (const auto& args : cases) {
    std::string shown;
    for (const std::string& a : args) shown += a + " ";
    Result r = Run(args);
    EXPECT_EQ(r.status, 2) << shown;
    EXPECT_FALSE(r.err.empty()) << shown;
    EXPECT_EQ(r.out, "") << shown;
  }
  // The one-line messages name the problem.
  EXPECT_EQ(Run({"show", "junk"}).err, "keytree: junk: not a key tree file\n");
  EXPECT_EQ(Run({"show", "missing.kt"}).err, "keytree: missing.kt: cannot open the file\n");
  // Nothing was changed by the failures.
  EXPECT_EQ(Slurp(dir / "ok.kt"), archive);
  EXPECT_FALSE(fs::exists(dir / "out.kt"));
}

TEST_F(KeyTreeTool, JsonRoundTripAndGet) {
  Run({"set", "a.kt", "db.host", "\"数据库\""});
  Run({"set", "a.kt", "db.port", "5432"});
  Run({"set", "a.kt", "ratio", "2.0"});
  Run({"set", "a.kt", "blob", "0x00000002abcd"});
  Run({"set", "a.kt", "id", "1/2/3/4/5/6/7/8/9/10/-1"});
  Run({"set", "a.kt", "list", "(1, \"x\")"});
  ASSERT_EQ(Run({"convert", "a.kt", "a.json", "--to", "json"}).status, 0);
  std::string json = Slurp(dir / "a.json");
  EXPECT_NE(json.find("\"port\": 5432"), std::string::npos) << json;
  EXPECT_NE(json.find("\"ratio\": 2.0"), std::string::npos) << json;
  EXPECT_NE(json.find("\"$hex\": \"abcd\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"$guid\": \"{00000001-0002-0003-0405-060708090AFF}\""), std::string::npos)
      << json;
  ASSERT_EQ(Run({"convert", "a.json", "b.bin", "--from", "json", "--to", "binary"}).status, 0);
  ASSERT_EQ(Run({"convert", "a.json", "b.kt", "--from", "json"}).status, 0);
  // Apart from where each was saved, the trees are the same.
  auto shown = [&](const char* file) {
    std::string out = Run({"show", file}).out;
    size_t at = out.find("(.\"FileName\"");
    return out.erase(at, out.find('\n', at) - at);
  };
  EXPECT_EQ(shown("b.bin"), shown("a.kt"));
  EXPECT_EQ(shown("b.kt"), shown("a.kt"));

  EXPECT_EQ(Run({"get", "a.kt", "db", "--json"}).out,
            "{\n  \"host\": \"数据库\",\n  \"port\": 5432\n}\n");
  EXPECT_EQ(Run({"get", "a.kt", "--json", "ratio"}).out, "2.0\n");
  EXPECT_EQ(Run({"get", "a.kt", "nothing", "--json"}).status, 1);
}

TEST_F(KeyTreeTool, JsonOutsideTheModelIsStatusTwoWithOneLine) {
  const char* bad[] = {
      "[1]", "{\"a\": null}", "{\"a\": 1, \"a\": 2}", "{\"a\": [1, 2]}", "{\"a\": false}", "{"};
  for (const char* text : bad) {
    std::ofstream(dir / "bad.json") << text;
    Result r = Run({"convert", "bad.json", "out.kt", "--from", "json"});
    EXPECT_EQ(r.status, 2) << text;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.rfind("keytree: bad.json: ", 0), 0u) << r.err;
  }
  EXPECT_FALSE(fs::exists(dir / "out.kt"));
  EXPECT_EQ(Run({"convert", "bad.json", "out.kt", "--from", "yaml"}).status, 2);
  EXPECT_EQ(Run({"get", "bad.json", "a", "--bogus"}).status, 2);
}

TEST_F(KeyTreeTool, UnquotedTextIsStoredAsTheGenericParseSays) {
  Result r = Run({"set", "g.kt", "name", "hello"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("zero GUID"), std::string::npos);
  EXPECT_EQ(Run({"get", "g.kt", "name"}).out, "0/0/0/0/0/0/0/0/0/0/0\n");
}

}  // namespace
