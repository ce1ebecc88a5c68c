// The hand-off message: frames, path lists and absolute paths; the command
// line's file URIs.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shell/FileUri.h"
#include "shell/HandOff.h"
#include "support/Require.h"

using namespace ritoma;
using ritoma::fuzz::require;

namespace {

bool isClean(std::string_view absolute) {
  if (absolute.empty() || absolute.front() != '/') return false;
  if (absolute == "/") return true;
  // A final "/" marks a path that names a folder.
  if (absolute.back() == '/') absolute.remove_suffix(1);
  return absolute.find("//") == std::string_view::npos &&
         absolute.find("/./") == std::string_view::npos &&
         absolute.find("/../") == std::string_view::npos &&
         !absolute.ends_with("/.") && !absolute.ends_with("/..");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view buffer(reinterpret_cast<const char*>(data), size);
  HandOff::Frame frame;
  std::size_t consumed = 0;
  const HandOff::Parse parse = HandOff::decode(buffer, frame, consumed);
  if (parse != HandOff::Parse::Complete) return 0;
  require(consumed >= HandOff::HeaderSize && consumed <= buffer.size(), "a frame lies in the buffer");
  require(frame.text.find('\0') == std::string::npos, "a frame's text ends at its NUL");

  HandOff::Frame again;
  std::size_t againConsumed = 0;
  const std::string encoded = HandOff::encode(frame);
  require(HandOff::decode(encoded, again, againConsumed) == HandOff::Parse::Complete &&
              againConsumed == encoded.size() && again.marker == frame.marker &&
              again.text == frame.text,
          "an encoded frame decodes to itself");

  const auto paths = HandOff::splitPaths(frame.text);
  require(HandOff::splitPaths(HandOff::joinPaths(paths)) == paths, "split paths join and split back");
  for (const auto& path : paths) {
    require(path.find_first_of("\r\n") == std::string::npos, "a path holds no line break");
    const std::string absolute = HandOff::makeAbsolute(path, "/home/u/work");
    require(isClean(absolute), "an absolute path is clean");
    require(HandOff::makeAbsolute(absolute, "/elsewhere") == absolute, "an absolute path stays");
  }

  // The same text as command-line arguments: every argument is either a
  // clean path or refused, and a decoded URI names a path with no NUL.
  std::vector<std::string> refused;
  const auto argumentPaths = HandOff::argumentPaths(paths, "/home/u/work", refused);
  require(argumentPaths.size() + refused.size() == paths.size(), "every argument is taken or refused");
  for (const auto& path : argumentPaths) require(isClean(path), "an argument's path is clean");
  for (const auto& path : FileUri::listPaths(frame.text))
    require(path.starts_with('/') && path.find('\0') == std::string::npos, "a URI list gives absolute paths");
  return 0;
}
