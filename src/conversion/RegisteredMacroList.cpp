#include "conversion/RegisteredMacroList.h"

namespace ritoma {

RegisteredMacroList::RegisteredMacroList()
    : RegisteredList("Macro", {{{"C-", &RegisteredMacro::name},
                                {"F-", &RegisteredMacro::fileTemplate},
                                {"E-", &RegisteredMacro::extTemplate}}}) {}

}  // namespace ritoma
