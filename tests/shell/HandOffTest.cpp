#include <gtest/gtest.h>

#include "shell/HandOff.h"

namespace ritoma {
namespace {

struct SplitCase {
  const char* name;
  std::string text;
  std::vector<std::string> paths;
};

TEST(HandOff, SplitsReceivedTextIntoPaths) {
  const SplitCase cases[] = {
      {"two paths each ending CR LF, then NUL", std::string("/a/x.txt\r\n/a/y.txt\r\n\0", 21),
       {"/a/x.txt", "/a/y.txt"}},
      {"empty text", "", {}},
      {"bare CR and bare LF", "/a\r/b\n/c", {"/a", "/b", "/c"}},
      {"empty line inside is kept", "/a\r\n\r\n/b\r\n", {"/a", "", "/b"}},
      {"text after the NUL is ignored", std::string("/a\r\n\0/b\r\n", 9), {"/a"}},
      {"trail byte 0x5C of cp932 bytes kept", "/d/\x95\x5C.txt\r\n", {"/d/\x95\x5C.txt"}},
  };
  for (const auto& c : cases) EXPECT_EQ(HandOff::splitPaths(c.text), c.paths) << c.name;
}

TEST(HandOff, JoinedPathsRoundTrip) {
  const std::vector<std::string> paths{"/tmp/表.txt", "/tmp/ソ b.txt"};
  const std::string text = HandOff::joinPaths(paths);
  EXPECT_EQ(text, "/tmp/表.txt\r\n/tmp/ソ b.txt\r\n");
  EXPECT_EQ(HandOff::splitPaths(text), paths);
}

TEST(HandOff, MakesPathsAbsoluteAgainstTheWorkingFolder) {
  struct Case {
    const char* path;
    const char* expected;
  } const cases[] = {
      {"a.txt", "/home/u/a.txt"},
      {"./sub/../b.txt", "/home/u/b.txt"},
      {"/etc//passwd", "/etc/passwd"},
      {"../../../..", "/"},
      {"表/ソ.txt", "/home/u/表/ソ.txt"},
      {"", "/home/u/"},
      // A folder named by its form keeps one final "/".
      {"Pictures/", "/home/u/Pictures/"},
      {"/srv/表//", "/srv/表/"},
      {"Pictures/.", "/home/u/Pictures/"},
      {".", "/home/u/"},
      {"Pictures/..", "/home/u/"},
      {"..", "/home/"},
      {"/", "/"},
      {"Pictures/.hidden", "/home/u/Pictures/.hidden"},
  };
  for (const auto& c : cases) EXPECT_EQ(HandOff::makeAbsolute(c.path, "/home/u"), c.expected) << c.path;
}

TEST(HandOff, FrameEncodesMarkerCountTextAndNul) {
  const std::string frame = HandOff::encode({HandOff::Marker, "/a\r\n"});
  ASSERT_EQ(frame.size(), 8u + 5u);
  EXPECT_EQ(frame.substr(0, 4), std::string(4, '\xFF'));
  EXPECT_EQ(frame.substr(4, 4), std::string("\x05\0\0\0", 4));
  EXPECT_EQ(frame.back(), '\0');

  const std::string empty = HandOff::encode({HandOff::Marker, ""});
  EXPECT_EQ(empty.substr(4, 4), std::string("\x01\0\0\0", 4)) << "no paths still sends a count of 1";
}

TEST(HandOff, DecodeWaitsForTheWholeFrameAndRejectsBadCounts) {
  const std::string frame = HandOff::encode({0x1234u, "/a\r\n/b\r\n"}) + "next";
  HandOff::Frame out;
  std::size_t consumed = 0;
  for (std::size_t cut = 0; cut < frame.size() - 4; ++cut)
    EXPECT_EQ(HandOff::decode(std::string_view(frame).substr(0, cut), out, consumed), HandOff::Parse::NeedMore)
        << cut;
  ASSERT_EQ(HandOff::decode(frame, out, consumed), HandOff::Parse::Complete);
  EXPECT_EQ(out.marker, 0x1234u);
  EXPECT_EQ(out.text, "/a\r\n/b\r\n");
  EXPECT_EQ(consumed, frame.size() - 4);

  EXPECT_EQ(HandOff::decode(std::string("\xFF\xFF\xFF\xFF\0\0\0\0", 8), out, consumed), HandOff::Parse::Invalid);
  EXPECT_EQ(HandOff::decode(std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8), out, consumed),
            HandOff::Parse::Invalid);
}

}  // namespace
}  // namespace ritoma
