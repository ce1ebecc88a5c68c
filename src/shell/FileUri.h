#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ritoma {

// File managers hand over the chosen files as "file:" URIs (RFC 8089)
// rather than paths. All texts here are disk bytes.
class FileUri {
public:
  // True for a text that is a URI rather than a path: a scheme (a letter,
  // then letters, digits, "+", "-" or ".") followed by "://", or "file:"
  // (any letter case) followed by "/". "a:b.txt" and "file:x" stay names.
  static bool isUri(std::string_view text);

  // The disk path a file URI names: "file:" then either "//" with an empty
  // or "localhost" authority, or the path right away; every "%" with two hex
  // digits becomes the byte they give, any other "%" stays as it is.
  // Nothing for another scheme, another host, a query or fragment ("?",
  // "#"), or an escape that gives a NUL byte: such a URI names no local file.
  static std::optional<std::string> toPath(std::string_view uri);

  // The paths of the local files in a "text/uri-list" (one URI a line,
  // CR LF or LF, "#" lines are comments); other URIs are left out.
  static std::vector<std::string> listPaths(std::string_view uriList);
};

}  // namespace ritoma
