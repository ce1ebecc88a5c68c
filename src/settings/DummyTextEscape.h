#pragma once

#include <string>
#include <string_view>

namespace ritoma {

// The dummy text as the settings file keeps it under [Dummy] "Edit". A
// value there loses surrounding blanks and quotes and holds no line break,
// so the text is stored escaped. Both directions work byte by byte: a
// code-page-932 trail byte 0x5C is escaped and restored like any "\".
class DummyTextEscape {
public:
  // "\" → "\\"; CR LF and a lone LF → "\n"; TAB → "\t"; then each leading
  // and trailing byte up to 0x20 → "\s", and a double or single quote at
  // either end → "\Q" or "\q". A lone CR passes unchanged.
  static std::string encode(std::string_view text);
  // Left to right: "\\" → "\", "\n" → CR LF, "\t" → TAB, "\s" → space,
  // "\Q" → double quote, "\q" → single quote; any other byte is copied
  // (so a hand-written "D:\temp" reads as "D:" TAB "emp").
  static std::string decode(std::string_view stored);
};

}  // namespace ritoma
