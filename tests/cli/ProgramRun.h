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
};

}  // namespace ritoma::test
