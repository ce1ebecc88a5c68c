#include <cstdio>
#include <cstring>

namespace {

const char* const kHelp =
    "Usage: ritoma-cli plan [OPTIONS] PATH...\n"
    "       ritoma-cli run  [OPTIONS] PATH...\n"
    "       ritoma-cli undo [--yes] [--tsv] [--force-temp[=MARKER]]\n"
    "       ritoma-cli --help | --version\n";

}  // namespace

int main(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("ritoma-cli %s\n", RITOMA_VERSION);
      return 0;
    }
  }
  std::fputs(kHelp, stderr);
  return 2;
}
