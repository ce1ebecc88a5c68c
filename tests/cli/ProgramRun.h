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
  // The same, killed by SIGALRM (status 142) when it runs longer than
  // `seconds`, for a run that may otherwise never end.
  static ProgramRun runWithin(unsigned seconds, const std::vector<std::string>& args);
  // The same program built with the crash tests' kill switch.
  static ProgramRun runKillable(const std::vector<std::string>& args);

private:
  static ProgramRun start(const std::string& cli, const std::string& launcher,
                          const std::vector<std::string>& args, unsigned seconds);
};

}  // namespace ritoma::test
