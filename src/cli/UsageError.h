#pragma once

#include <stdexcept>
#include <string>

namespace ritoma {

// A command line that cannot be carried out as typed: an unknown option, a
// missing or malformed value, options that do not fit together. The program
// reports what() on standard error and exits with status 2.
class UsageError : public std::runtime_error {
public:
  explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace ritoma
