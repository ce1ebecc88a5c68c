#pragma once

#include <stdexcept>
#include <string>

namespace ritoma {

// A field of a macro's number block that is not an integer. what() is the
// display text "'<field>' は整数ではありません" (UTF-8); field() keeps the
// field as written (code page 932).
class NotIntegerError : public std::runtime_error {
public:
  explicit NotIntegerError(const std::string& field);
  const std::string& field() const { return field_; }

private:
  std::string field_;
};

}  // namespace ritoma
