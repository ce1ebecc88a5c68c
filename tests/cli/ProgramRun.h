#pragma once

#include <string>
#include <vector>

namespace ritoma::test {

// Runs ritoma-cli with the given arguments, standard input from /dev/null
// (no terminal), and collects its exit status and both output streams.
struct ProgramRun {
  int status = -1;
  std::string out;
  std::string err;

  static ProgramRun run(const std::vector<std::string>& args);
  // The same, started by `launcher` with the program's path as its first
  // argument (the dynamic loader, for one).
  static ProgramRun runThrough(const std::string& launcher, const std::vector<std::string>& args);
};

}  // namespace ritoma::test
