// vrifax-run on POSIX systems: the reference rules only (no check library
// can be loaded here), for use in shell pipelines.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <random>

#include "tools/vrifax-run/Tool.h"

namespace {

class PosixSystem : public vrifax_run::System {
 public:
  std::unique_ptr<std::istream> OpenCorpus(const std::string& path, std::string* error) override {
    if (path == "-") return std::make_unique<std::istream>(std::cin.rdbuf());
    errno = 0;
    auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (file->is_open()) return file;
    *error = errno ? std::strerror(errno) : "cannot be opened";
    return nullptr;
  }

  void Out(std::string_view text) override { Write(stdout, text); }
  void Err(std::string_view text) override { Write(stderr, text); }
  bool ErrIsTerminal() override { return isatty(STDERR_FILENO) == 1; }

  std::unique_ptr<vrifax_run::Checker> OpenLibrary(const std::string&, std::string* error) override {
    *error = "this build loads no check library; --rules and check use the reference rules";
    return nullptr;
  }

  std::uint64_t FreshSeed() override {
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device();
  }

 private:
  static void Write(std::FILE* stream, std::string_view text) {
    // A closed pipe leaves nothing to report to.
    (void)std::fwrite(text.data(), 1, text.size(), stream);
  }
};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  PosixSystem system;
  try {
    const int code = vrifax_run::RunTool(args, system);
    return std::fflush(stdout) == 0 ? code : vrifax_run::kExitUsage;
  } catch (const std::exception& e) {
    system.Err(std::string("vrifax-run: ") + e.what() + "\n");
    return vrifax_run::kExitUsage;
  }
}
