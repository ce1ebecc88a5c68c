#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ritoma {

// The message a later start sends to the running instance: the paths of its
// command line, each made absolute and followed by CR LF. All texts here are
// disk bytes (UTF-8, not necessarily valid).
//
// Frame on the local socket (little-endian):
//
//    0               4               8
//   +---------------+---------------+------------------------------+
//   |    marker     |  byte count   |  text ... NUL                |
//   +---------------+---------------+------------------------------+
//
//   marker      0xFFFFFFFF; the receiver ignores the text of any other value
//   byte count  length of the text + 1 (the NUL is counted); 1 for no paths
//
// After handling the frame the receiver answers with one byte (Ack), so the
// sender can wait until the paths have been opened.
class HandOff {
public:
  static constexpr std::uint32_t Marker = 0xFFFFFFFFu;
  static constexpr std::size_t HeaderSize = 8;
  static constexpr std::size_t MarkerOffset = 0;
  static constexpr std::size_t CountOffset = 4;
  static constexpr char Ack = 1;
  // Larger frames are refused (a command line is far smaller).
  static constexpr std::uint32_t MaxCount = 16u * 1024u * 1024u;

  struct Frame {
    std::uint32_t marker = Marker;
    std::string text;  // without the NUL
  };

  enum class Parse { Complete, NeedMore, Invalid };

  // The text of a path list: every path followed by CR LF.
  static std::string joinPaths(const std::vector<std::string>& paths);
  // Lines of a received text, split at CR, LF or CR LF and ending at the
  // first NUL; a final line ending gives no empty last path.
  static std::vector<std::string> splitPaths(std::string_view text);

  // `expand` of this platform: there are no short names, so a path is only
  // made absolute against `workingFolder`, with "." and ".." components and
  // repeated "/" resolved by name. A path ending in "/", "/." or "/.." names
  // a folder and keeps one final "/", so its folder part is that folder.
  static std::string makeAbsolute(std::string_view path, std::string_view workingFolder);
  // The paths of a command line, in its order: a path made absolute, a
  // "file:" URI as the local path it names (FileUri), also made absolute.
  // Any other URI (another scheme or host) is added to `refused` and left out.
  static std::vector<std::string> argumentPaths(const std::vector<std::string>& arguments,
                                                std::string_view workingFolder, std::vector<std::string>& refused);

  static std::string encode(const Frame& frame);
  // Parses one frame from the start of `buffer`. On Complete, `consumed`
  // is the frame's length. Invalid for a count of 0 or above MaxCount.
  static Parse decode(std::string_view buffer, Frame& frame, std::size_t& consumed);
};

}  // namespace ritoma
