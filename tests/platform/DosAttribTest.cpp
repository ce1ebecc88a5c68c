#include "platform/DosAttrib.h"

#include <gtest/gtest.h>

namespace ritoma {
namespace {

std::string bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

// 2024-01-02 03:04:05 UTC in 100-ns units since 1601.
constexpr FileTime kCreated = 133486382450000000;

TEST(DosAttribTest, EncodesVersion4InThirtyTwoBytes) {
  const std::string expected =
      bytes({0x00, 0x00, 0x04, 0x00, 0x04, 0x00, 0x00, 0x00,    // "" pad, version, level
             0x11, 0x00, 0x00, 0x00, 0x23, 0x00, 0x00, 0x00,    // flags, attrib R|H|A
             0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}) +  // itime
      bytes({0x80, 0xC0, 0x48, 0x58, 0x28, 0x3D, 0xDA, 0x01});   // creation time
  // The folder bit and unknown bits are not stored.
  EXPECT_EQ(DosAttrib::encode(AttrReadOnly | AttrHidden | AttrArchive | AttrFolder | 0x80, kCreated),
            expected);

  const std::string noTime = DosAttrib::encode(AttrSystem, std::nullopt);
  ASSERT_EQ(noTime.size(), 32u);
  EXPECT_EQ(noTime[8], 0x01);  // only the attributes are valid
  EXPECT_EQ(noTime[12], 0x04);
}

TEST(DosAttribTest, DecodesWhatItEncodes) {
  const auto info = DosAttrib::decode(DosAttrib::encode(AttrHidden | AttrSystem, kCreated));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->attributes, AttrHidden | AttrSystem);
  EXPECT_EQ(info->created, kCreated);
}

TEST(DosAttribTest, DecodesVersion3AsSambaWritesIt) {
  std::string v3 = bytes({'0', 'x', '2', '2', 0x00, 0x00,  // "0x22" NUL pad
                          0x03, 0x00, 0x03, 0x00, 0x00, 0x00,  // version, level
                          0x11, 0x00, 0x00, 0x00, 0x21, 0x00, 0x00, 0x00,  // flags, attrib
                          0x00, 0x00, 0x00, 0x00});             // ea size
  v3 += std::string(16, '\0');                                  // size, alloc size
  v3 += bytes({0x80, 0xC0, 0x48, 0x58, 0x28, 0x3D, 0xDA, 0x01});  // creation
  v3 += std::string(8, '\0');                                    // change time
  ASSERT_EQ(v3.size(), 56u);
  const auto info = DosAttrib::decode(v3);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->attributes, AttrReadOnly | AttrArchive);  // the body wins over the string
  EXPECT_EQ(info->created, kCreated);
}

TEST(DosAttribTest, ReadsOlderAndDamagedValues) {
  struct Row {
    const char* name;
    std::string value;
    std::optional<std::uint32_t> attributes;
  };
  const std::string v4 = DosAttrib::encode(AttrArchive, kCreated);
  const Row rows[] = {
      {"bare hex string", "0x22", AttrHidden | AttrArchive},
      {"bare hex string with NUL", bytes({'0', 'x', '4', 0}), AttrSystem},
      {"bare hex in capitals", "0X26", AttrHidden | AttrSystem | AttrArchive},
      {"unknown version uses the string", bytes({'0', 'x', '2', 0, 9, 0}), AttrHidden},
      {"version 4 cut short", v4.substr(0, 30), std::nullopt},
      {"level differs from version", v4.substr(0, 4) + bytes({3, 0, 0, 0}) + v4.substr(8), std::nullopt},
      {"string is no hex", "hello", std::nullopt},
      {"empty value", "", std::nullopt},
      {"overlong string", std::string(40, '1'), std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto info = DosAttrib::decode(row.value);
    ASSERT_EQ(info.has_value(), row.attributes.has_value());
    if (info) {
      EXPECT_EQ(info->attributes, *row.attributes);
      EXPECT_FALSE(info->created);
    }
  }
}

TEST(DosAttribTest, IgnoresCreationTimeNotMarkedValid) {
  std::string v4 = DosAttrib::encode(AttrHidden, kCreated);
  v4[8] = 0x01;  // attributes only
  const auto info = DosAttrib::decode(v4);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->attributes, AttrHidden);
  EXPECT_FALSE(info->created);
}

}  // namespace
}  // namespace ritoma
