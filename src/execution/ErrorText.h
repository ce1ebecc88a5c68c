#pragma once

#include <string>
#include <system_error>

namespace ritoma {

// Why a file operation failed, as the user reads it (UTF-8): the reasons a
// rename, copy or write commonly meets have a Japanese text; any other
// system error shows the system's own text with its number. An error of a
// category other than the system's shows that category's message, so that
// a cause the program defines itself words its own text.
class ErrorText {
public:
  static std::string of(std::error_code ec);
  // `what` followed by the reason in full-width brackets, or `what` alone
  // without an error.
  static std::string withReason(const std::string& what, std::error_code ec);
};

}  // namespace ritoma
