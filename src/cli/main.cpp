#include <cstdio>
#include <string>
#include <vector>

#include "cli/BatchRunner.h"
#include "cli/CommandLine.h"
#include "cli/HelpText.h"
#include "cli/UsageError.h"
#include "platform/HugePages.h"

int main(int argc, char* argv[]) {
  using ritoma::CommandLine;
  std::vector<std::string> args(argv + 1, argv + argc);
  CommandLine::Options options;
  try {
    options = CommandLine::parse(args);
  } catch (const ritoma::UsageError& e) {
    std::fprintf(stderr, "ritoma-cli: %s\n%s", e.what(), ritoma::HelpText::usageHint().c_str());
    return 2;
  }
  switch (options.command) {
    case CommandLine::Command::Help:
      std::fputs(ritoma::HelpText::page().c_str(), stdout);
      return 0;
    case CommandLine::Command::Version:
      std::fputs(ritoma::HelpText::version().c_str(), stdout);
      return 0;
    default:
      break;
  }
  ritoma::HugePages::startWithThem(argv);
  ritoma::BatchRunner runner(options);
  return runner.run();
}
