// A fresh directory for one test, removed with everything in it afterwards.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "platform/text.h"

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "platform-test-XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  // A path inside, as the file system and as wide text.
  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  std::u16string WPath(const std::string& name) const { return FromUtf8(Path(name)); }
  const std::string& Dir() const { return path_; }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
  }

 private:
  std::string path_;
};

// Runs fn in a child process and returns its result (or -1 when the child did
// not end normally). With a limit, the child cannot write files beyond that
// many bytes: writes fail as on a full disk, which is how tests make a save
// fail half-way.
inline int RunInChild(const std::function<int()>& fn, long fileSizeLimit = -1) {
  pid_t pid = ::fork();
  if (pid == 0) {
    if (fileSizeLimit >= 0) {
      std::signal(SIGXFSZ, SIG_IGN);
      struct rlimit rl {
        static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)
      };
      ::setrlimit(RLIMIT_FSIZE, &rl);
    }
    ::_exit(fn());
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}
