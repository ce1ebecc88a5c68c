#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "conversion/MacroDefaults.h"
#include "conversion/MacroPluginHost.h"
#include "conversion/TemplateElement.h"

namespace ritoma {

// What one row gives to the expansion: the conversion row and its edit-list
// row. Texts are code page 932.
struct TemplateRow {
  std::string_view source;      // the name before this stage
  bool key = false;             // the row's key mark
  std::string_view infoText;    // "yyyy/mm/dd hh:mm:ss size"
  std::string_view listedName;  // the full name as selected
};

// The run-wide inputs read when a template is compiled and expanded.
struct TemplateContext {
  MacroDefaults defaults;
  MacroPluginHost* plugins = nullptr;  // none: "/x" is literal
  std::string folderPath;              // the current folder, as the status bar shows it
  std::string archiveName;             // the archive name panel's text
  bool inArchive = false;              // archive entries are listed
  int sizeWidth = 0;                   // widest size text of the edit list
};

// The conversion template engine: compiles the name and extension templates
// once into element lists and expands them per row. Every text is a code-
// page-932 byte string; searches for the macro characters skip trail bytes,
// while the positions of /f, /e and /o count bytes.
class TemplateEngine {
public:
  TemplateContext context;
  TemplateList nameTemplate;
  TemplateList extTemplate;
  std::int32_t passNumber = 0;

  // Appends the elements of `text` to `list`. Throws NotIntegerError for a
  // number-block field that is not an integer (the list then holds the
  // elements compiled so far; the next compile starts from an empty list).
  void CompileTemplate(std::string_view text, TemplateList& list);
  void ClearTemplates();
  void ResetCounters(bool preview);
  // The new full name of one row; advances the counters and passNumber.
  std::string ExpandEntry(const TemplateRow& row);

  static std::string TakePart(std::string_view text, int start, int length);
  static std::string ApplyLetterCase(std::string_view text, int mode);

  // Block parsers; `rest` starts at the macro and loses what they read.
  static void ParseNumberBlock(std::string_view& rest, CnvData& data);
  static void ParseStampBlock(std::string_view& rest, CnvData& data);
  static void ParsePluginBlock(std::string_view& rest, CnvData& data);

private:
  void setDefaultOptions(CnvData& data) const;
  std::string folderName() const;
  void expandList(TemplateList& list, const TemplateRow& row, std::string& out);
};

}  // namespace ritoma
