// The template compiler and its expansion: the first line is the name
// template, the second the extension template, every further line the
// current name of one row (every second row carries the key mark).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/NotIntegerError.h"
#include "conversion/TemplateEngine.h"
#include "support/InputLines.h"

using namespace ritoma;
using ritoma::fuzz::inputLines;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = inputLines(std::string_view(reinterpret_cast<const char*>(data), size));
  if (parts.empty()) return 0;
  TemplateEngine engine;
  engine.context.folderPath = "/home/u/\x95\x5C\x83\x5C";  // 表ソ
  engine.context.archiveName = "a.lzh";
  engine.context.inArchive = parts[0].size() % 2 == 1;
  engine.context.sizeWidth = 9;
  try {
    engine.ClearTemplates();
    engine.CompileTemplate(parts[0], engine.nameTemplate);
    engine.CompileTemplate(parts.size() > 1 ? parts[1] : std::string_view("/e<0,0,0>"),
                           engine.extTemplate);
  } catch (const NotIntegerError&) {
    return 0;
  }
  engine.ResetCounters(false);
  for (std::size_t i = 2; i < parts.size(); ++i) {
    TemplateRow row;
    row.source = parts[i];
    row.listedName = parts[i];
    row.key = i % 2 == 1;
    row.infoText = i % 3 == 0 ? std::string_view("2003/01/01 09:05:07 1,234,567")
                              : std::string_view(parts[i]);
    engine.ExpandEntry(row);
  }
  return 0;
}
