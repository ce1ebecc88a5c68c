#pragma once

#include <string>
#include <string_view>

namespace ritoma::metadata {

// Tag texts on their way into a file name.
class TagText {
public:
  // Bytes of a tag that does not say its encoding (Exif ASCII, IPTC), as
  // UTF-8: taken as UTF-8 when they are valid UTF-8, else as code page 932
  // when every character is one of its codes (older Japanese cameras and
  // tools), else as Latin-1, which reads any byte.
  static std::string fromBytes(std::string_view bytes);
  // Without the white space and NULs that pad fixed-size fields at either
  // end.
  static std::string trim(std::string_view utf8);
  // The text as code page 932 by the program's lossless codec, each "/",
  // NUL and control character (C0, DEL, C1) replaced by "_", since none
  // can stand in a file name. Bytes that are not UTF-8 are read as
  // fromBytes reads them.
  static std::string toName(std::string_view utf8);
  // True when `text` is valid UTF-8 (no overlong forms, surrogates or code
  // points above U+10FFFF).
  static bool isUtf8(std::string_view text);
};

}  // namespace ritoma::metadata
