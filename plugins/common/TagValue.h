#pragma once

#include <string>
#include <vector>

namespace ritoma::metadata {

// How a field's FORMAT applies to it.
enum class ValueKind {
  Text,    // as it stands
  Number,  // its leading whole number, zero-padded to FORMAT's width
  Date,    // read as a date and written by FORMAT's strftime conversions
};

// One field's value as read from a file: UTF-8, not yet cleaned for a name.
struct TagValue {
  std::string text;
  ValueKind kind = ValueKind::Text;
};

// A field the "+" dialog offers: its name in the option text, a line
// saying what it is (UTF-8) and how FORMAT applies to it.
struct FieldChoice {
  std::string field;
  std::string description;
  ValueKind kind = ValueKind::Text;
};

using FieldChoices = std::vector<FieldChoice>;

}  // namespace ritoma::metadata
