// The settings file: everything the program reads from it at start-up, then
// a written key that reads back and leaves the other keys as they were.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "conversion/MacroDefaults.h"
#include "conversion/RegisteredMacroList.h"
#include "conversion/RegisteredReplaceList.h"
#include "conversion/ReplaceHistory.h"
#include "settings/IniFile.h"
#include "settings/Options.h"
#include "support/MemoryFileSystem.h"
#include "support/Require.h"

using namespace ritoma;
using ritoma::fuzz::MemoryFileSystem;
using ritoma::fuzz::require;

namespace {

const char* const kPath = "/mem/Ritoma.ini";

void probe(std::string_view bytes) {
  MemoryFileSystem fs;
  fs.setFile(kPath, bytes);
  IniFile ini(fs, kPath);

  Options options;
  options.load(ini);
  MacroDefaults defaults;
  defaults.load(ini);
  ReplaceHistory history;
  history.load(ini);
  RegisteredMacroList macros;
  macros.load(ini);
  RegisteredReplaceList replacements;
  replacements.load(ini);
  ini.readString("Window", "Dir");
  ini.readString("Rename", "Word");

  const auto keysBefore = ini.readSectionKeys("Option");
  std::string before;
  for (const auto& key : keysBefore) before += ini.readString("Option", key) + '\n';
  const std::string value = " \"\x95\x5C\" x ";  // blanks and quotes around 表
  ini.writeString("Filter", "Fuzz", value);
  IniFile reread(fs, kPath);
  require(reread.readString("Filter", "Fuzz") == value, "a written value reads back");
  std::string after;
  for (const auto& key : reread.readSectionKeys("Option")) after += reread.readString("Option", key) + '\n';
  require(reread.readSectionKeys("Option") == keysBefore && after == before,
          "writing one key keeps every other");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  probe(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
