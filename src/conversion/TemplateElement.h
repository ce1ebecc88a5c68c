#pragma once

#include <memory>
#include <string>
#include <vector>

#include "conversion/CnvData.h"

namespace ritoma {

// One element of a compiled template: literal text copied unchanged, or a
// macro (then `literal` is empty).
struct TemplateElement {
  std::string literal;
  std::unique_ptr<CnvData> data;
};

using TemplateList = std::vector<TemplateElement>;

}  // namespace ritoma
