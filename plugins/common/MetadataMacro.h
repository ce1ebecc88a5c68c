#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "TagValue.h"
#include "ritoma_plugin.h"

namespace ritoma::metadata {

// The five entry points of a plug-in whose macro "/x" + letter +
// "<FIELD[,FORMAT[,FALLBACK]]>" inserts a field of the file a row names: a
// subclass says how to read a field from a file. Nothing thrown leaves it.
//
// FORMAT is made of strftime conversions for a date ("%Y%m%d_%H%M%S", also
// the default), a width to zero-pad a number to ("2": "03"), and is not
// used for a text. FALLBACK (default empty) stands for a field the file
// does not have, or has empty, and for a file that cannot be read. In an
// archive there is no file to read, and the text is empty.
class MetadataMacro {
public:
  static constexpr const char* kDefaultDateFormat = "%Y%m%d_%H%M%S";

  MetadataMacro(std::string name, char letter, std::string information, FieldChoices fields);
  virtual ~MetadataMacro() = default;
  MetadataMacro(const MetadataMacro&) = delete;
  MetadataMacro& operator=(const MetadataMacro&) = delete;

  int getInfo(RitomaPluginInfo* info) const;
  void initDll(const RitomaPluginInit* init);
  // Opens the dialog that picks field, format and fallback, and answers
  // the whole macro text; null when cancelled, and without a dialog when
  // the host is not a Qt Widgets application.
  const char* setOption(const RitomaPluginWindow* window);
  const char* execMacro(const ExecMacroInfo* call);
  void endDll();

protected:
  // The value of `field` (UTF-8, as the option names it) in the file at
  // `path` (bytes on disk), or nothing when the file has no such field or
  // cannot be read. May throw.
  virtual std::optional<TagValue> read(const std::string& path, const std::string& field) = 0;

private:
  std::string expand(const ExecMacroInfo& call);
  // The value written by `format`, or nothing when a date does not parse.
  static std::optional<std::string> render(const TagValue& value, const std::string& format);

  std::string name_;  // UTF-8
  char letter_;
  std::string information_;  // UTF-8
  FieldChoices fields_;
  char boundLetter_ = 0;
  std::string result_;  // code page 932, the text last returned
};

}  // namespace ritoma::metadata
