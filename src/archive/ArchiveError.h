#pragma once

#include <stdexcept>
#include <string>

namespace ritoma {

// A damaged or unsupported archive, or a failed read or write while
// handling one. what() is a display text (UTF-8). Thrown inside the archive
// code only; the public operations turn it into a result and a message.
class ArchiveError : public std::runtime_error {
public:
  explicit ArchiveError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace ritoma
