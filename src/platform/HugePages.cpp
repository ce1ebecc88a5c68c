#include "platform/HugePages.h"

#include <sys/auxv.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace ritoma {

namespace {
constexpr const char* kVariable = "GLIBC_TUNABLES";
constexpr std::string_view kTunable = "glibc.malloc.hugetlb";
}  // namespace

std::optional<std::string> HugePages::tunablesWith(const char* current) {
  const std::string_view value = current ? current : "";
  // Tunables are "name=value" pairs separated by ":".
  for (std::size_t start = 0; start <= value.size();) {
    const std::size_t end = std::min(value.find(':', start), value.size());
    const std::string_view pair = value.substr(start, end - start);
    if (pair.substr(0, pair.find('=')) == kTunable) return std::nullopt;
    start = end + 1;
  }
  std::string result(value);
  if (!result.empty()) result += ':';
  result += kTunable;
  result += "=1";
  return result;
}

void HugePages::startWithThem(char* argv[]) {
  // Started through the dynamic loader by hand ("ld.so ritoma-cli ..."),
  // the running program is the loader (no interpreter base): starting it
  // again with these arguments would load the first argument as a program.
  if (::getauxval(AT_SECURE) != 0 || ::getauxval(AT_BASE) == 0) return;
  const char* current = std::getenv(kVariable);
  const std::optional<std::string> wanted = tunablesWith(current);
  if (!wanted) return;
  const std::optional<std::string> previous = current ? std::optional<std::string>(current) : std::nullopt;
  if (::setenv(kVariable, wanted->c_str(), 1) != 0) return;
  ::execv("/proc/self/exe", argv);
  if (previous) ::setenv(kVariable, previous->c_str(), 1);
  else ::unsetenv(kVariable);
}

}  // namespace ritoma
