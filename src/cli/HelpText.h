#pragma once

#include <string>

namespace ritoma {

// The texts of --help and --version.
class HelpText {
public:
  static std::string page();
  static std::string version();
  // The short reminder printed after a usage error.
  static std::string usageHint();
};

}  // namespace ritoma
