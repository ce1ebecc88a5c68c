#pragma once

#include <string>

#include "conversion/RegisteredList.h"

namespace ritoma {

// One registered macro: a name with a file-name template and an extension
// template (empty: the extension is not converted). Templates may hold the
// string macro "/?".
struct RegisteredMacro {
  std::string name;
  std::string fileTemplate;
  std::string extTemplate;
  bool operator==(const RegisteredMacro&) const = default;
};

// The registered macros, kept in section "Macro" ("Count"; "C-%.3d" name,
// "F-%.3d" file template, "E-%.3d" extension template).
class RegisteredMacroList : public RegisteredList<RegisteredMacro> {
public:
  RegisteredMacroList();
};

}  // namespace ritoma
