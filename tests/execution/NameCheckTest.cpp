#include "execution/NameCheck.h"
#include "execution/RunOptions.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "ExecutionTestSupport.h"
#include "selection/EditListBuilder.h"
#include "selection/FileEntry.h"
#include "selection/FolderEnumerator.h"

namespace ritoma::test {
namespace {

struct NameCase {
  const char* label;
  std::string name;  // code page 932
  bool folderMode;
  std::string error;  // expected text, code page 932 ("" = clear)
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.label; }

class NameCheckForbidden : public ::testing::TestWithParam<NameCase> {};

TEST_P(NameCheckForbidden, ErrorText) {
  const NameCase& c = GetParam();
  NullProgress progress;
  const auto result = NameCheck::check({c.name}, c.folderMode, progress, 100);
  ASSERT_TRUE(result.refusal.empty());
  EXPECT_EQ(result.errors.at(0), c.error);
  EXPECT_EQ(result.errorCount, c.error.empty() ? 0 : 1);
  EXPECT_EQ(NameCheck::nameError(c.name, c.folderMode), c.error);
}

const std::string kForbidden = TextCodec::fromUtf8("は使用禁止文字です。");
const std::string kDots = cp("「.」と「..」はﾊﾟｽに使用できません。");
const std::string kAbsolute = cp("絶対ﾊﾟｽは書庫のﾌｧｲﾙ名に使用できません。");
const std::string kEndsInSeparator = cp("ﾌｧｲﾙ名が \\ か / で終わっています。");

INSTANTIATE_TEST_SUITE_P(
    Names, NameCheckForbidden,
    ::testing::Values(
        NameCase{"TrailByteBackslashPasses", cp("表ソ能.txt"), true, ""},
        NameCase{"TrailBytePipePasses", std::string("\x83\x7C", 2) + ".txt", true, ""},
        NameCase{"ColonThenQuestion", "a?b:c", true, ": ? " + kForbidden},
        NameCase{"SlashesFirstInFolderMode", "a|b/c\\d", true, "\\ / | " + kForbidden},
        NameCase{"PathPassesInArchiveMode", cp("dir/表\\x.txt"), false, ""},
        NameCase{"AllInOrder", "<>|\"?*:", false, ": * ? \" < > | " + kForbidden},
        NameCase{"CutDoubleByte", std::string("ab\x95"), true, cp("ﾌｧｲﾙ名に使用できない文字があります。")},
        NameCase{"CutDoubleByteInArchive", std::string("ab\x95"), false, cp("ﾌｧｲﾙ名に使用できない文字があります。")},
        NameCase{"Empty", "", true, cp("ﾌｧｲﾙ名が空です。")},
        NameCase{"Dot", ".", true, cp("ﾌｧｲﾙ名として使用できません。")},
        NameCase{"DotDot", "..", true, cp("ﾌｧｲﾙ名として使用できません。")},
        NameCase{"DotDotInArchive", "..", false, kDots},
        NameCase{"ClimbingWithSlashes", "../../x", false, kDots},
        NameCase{"ClimbingWithBackslashes", "..\\..\\x", false, kDots},
        NameCase{"DotComponentInside", cp("表/./x"), false, kDots},
        NameCase{"DotsInsideNamesPass", cp("..表/ソ..txt/.hidden"), false, ""},
        NameCase{"AbsoluteWithSlash", "/abs/x", false, kAbsolute},
        NameCase{"AbsoluteWithBackslash", "\\abs\\x", false, kAbsolute},
        NameCase{"FolderNameWithSlash", "photos/", false, kEndsInSeparator},
        NameCase{"FolderNameWithBackslash", "photos\\", false, kEndsInSeparator},
        NameCase{"EmptyComponent", "a//b", false, cp("ﾊﾟｽに空のﾌｫﾙﾀﾞ名があります。")},
        NameCase{"EndingInHyoIsAName", cp("写真/表"), false, ""},
        NameCase{"EndingInSoIsAName", cp("ソ"), false, ""},
        NameCase{"StartingWithSoIsNotAbsolute", cp("ソ\\表\\x"), false, ""},
        NameCase{"Longest", std::string(255, 'a'), true, ""}),
    [](const auto& info) { return std::string(info.param.label); });

// Inside an archive a header of code page 932 takes every character that
// has a code there, one-way codes included; a UTF-8 header takes any
// character. What has no code is refused by name, before anything is written.
struct ArchiveNameCase {
  const char* label;
  std::string name;        // as typed, UTF-8
  bool storedAsCodePage;
  std::string error;       // code page 932 ("" = clear)
};

TEST(NameCheck, ArchiveHeadersOfCodePage932NeedACodeForEveryCharacter) {
  const std::string noCode = cp("」はｼﾌﾄJISにない文字のため書庫のﾌｧｲﾙ名に使用できません。");
  const ArchiveNameCase rows[] = {
      {"hyo and so", "dir/表ソ.txt", true, ""},
      {"one-way codes", "〜−‖¢£¬.txt", true, ""},
      {"e acute", "café.txt", true, cp("「é") + noCode},
      {"emoji after a kanji", "表😀.png", true, cp("「😀") + noCode},
      {"hangul", "가.txt", true, cp("「가") + noCode},
      {"yen sign", "¥100", true, cp("「¥") + noCode},
      {"invalid byte", "a\xFF.txt", true, cp("UTF-8 として無効なﾊﾞｲﾄ 0xFF は書庫のﾌｧｲﾙ名に使用できません。")},
      {"e acute in a UTF-8 header", "résumé.txt", false, ""},
      {"emoji in a UTF-8 header", "😀.png", false, ""},
  };
  std::vector<std::string> names;
  std::vector<bool> storedAsCodePage;
  for (const ArchiveNameCase& row : rows) {
    names.push_back(TextCodec::toInternal(row.name));
    storedAsCodePage.push_back(row.storedAsCodePage);
  }
  NullProgress progress;
  const auto result = NameCheck::check(names, false, progress, 0, storedAsCodePage);
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].label);
    EXPECT_EQ(TextCodec::toDisplayUtf8(result.errors.at(i)), TextCodec::toDisplayUtf8(rows[i].error));
  }
  EXPECT_EQ(result.errorCount, 5);

  // The edit list hands each row's header kind to the check.
  EditList list = makeEditList({{"a.txt", "〜.txt"}, {"b.txt", "é.txt"}});
  list.rows[0].storedAsCodePage = list.rows[1].storedAsCodePage = true;
  EXPECT_EQ(NameCheck::checkEditList(list, false, progress, 0).errorCount, 1);
  EXPECT_EQ(list.rows[1].error, cp("「é") + noCode);
  list.rows[1].storedAsCodePage = false;
  EXPECT_TRUE(NameCheck::checkEditList(list, false, progress, 0).passed());
}

// A renamed entry may not take the path of a folder of the archive (a
// directory entry, or a folder implied by another entry's path as the batch
// leaves it), nor lie in a folder that is a stored file. Each row is one
// batch of a single row over the same archive.
TEST(NameCheck, ArchiveFoldersAreNoNamesForFiles) {
  const std::vector<std::string> stored = {"photos/", "photos/a.jpg", "docs/表/readme.txt",
                                           "ソ.txt", "notes.txt", "keep/x.txt"};
  std::vector<ArcInfo> entries;
  for (std::size_t i = 0; i < stored.size(); ++i) {
    entries.push_back({});
    entries.back().name = cp(stored[i]);
    entries.back().index = static_cast<std::uint32_t>(i);
  }
  const std::string sameAsFolder = "書庫内のﾌｫﾙﾀﾞと同じ名前です。";
  const std::string inAFile = "ﾌｫﾙﾀﾞ名が書庫内のﾌｧｲﾙと同じ名前です。";
  const struct {
    const char* label;
    std::uint32_t entry;
    std::string newName;
    std::string error;  // UTF-8, "" = clear
  } cases[] = {
      {"entry renamed to its own folder", 1, "photos", sameAsFolder},
      {"folder entry compared without case", 4, "PHOTOS", sameAsFolder},
      {"implied folder ending in hyo", 3, "Docs/表", sameAsFolder},
      {"implied folder typed with a backslash", 4, "docs\\表", sameAsFolder},
      {"implied folder docs", 4, "docs", sameAsFolder},
      {"inside a stored file", 4, "ソ.txt/x", inAFile},
      {"inside a stored file ending in so", 4, "ソ.txt\\x", inAFile},
      {"folder left by its only entry", 5, "keep", ""},
      {"into an existing folder", 4, "docs/表/ソ.txt", ""},
      {"name ending in hyo beside its folder", 4, "docs/表表", ""},
      {"folder entry renamed onto a file", 0, "notes.txt/", "書庫内のﾌｧｲﾙと同じ名前です。"},
      {"folder entry renamed to a new folder", 0, "写真/", ""},
      {"folder entry losing its separator", 0, "pics", "ﾌｫﾙﾀﾞの名前は \\ か / で終わる必要があります。"},
  };
  NullProgress progress;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EditList list = makeEditList({{stored[c.entry], c.newName}});
    list.rows[0].archiveIndex = c.entry;
    if (entries[c.entry].isDirectory()) list.rows[0].icon = FileEntry::IconArchiveFolder;
    const auto result = NameCheck::checkEditList(list, false, progress, 0, true, &entries);
    EXPECT_EQ(TextCodec::toUtf8(result.errors.at(0)), c.error);
    EXPECT_EQ(result.errorCount, c.error.empty() ? 0 : 1);
  }

  // A file and a folder of one name that the archive held before (a ZIP can)
  // are not this batch's doing: only a row that changes its name is
  // refused. Folder mode has no archive to ask.
  std::vector<ArcInfo> clash(3);
  clash[0].name = cp("表");
  clash[1].name = cp("表/ソ");
  clash[2].name = cp("ソ.txt");
  for (std::uint32_t i = 0; i < clash.size(); ++i) clash[i].index = i;
  EditList kept = makeEditList({{"表", "表"}});
  kept.rows[0].archiveIndex = 0;
  EXPECT_TRUE(NameCheck::checkEditList(kept, false, progress, 0, false, &clash).passed());
  EditList changed = makeEditList({{"ソ.txt", "表"}});
  changed.rows[0].archiveIndex = 2;
  EXPECT_EQ(NameCheck::checkEditList(changed, false, progress, 0, false, &clash).errors,
            std::vector<std::string>{cp(sameAsFolder)});
  EXPECT_TRUE(NameCheck::checkEditList(changed, true, progress, 0, false, &clash).passed());
}

TEST(NameCheck, TooLongCountsDiskBytes) {
  // 86 kanji are 172 bytes here but 258 bytes on disk.
  std::string name;
  for (int i = 0; i < 86; ++i) name += cp("表");
  NullProgress progress;
  auto result = NameCheck::check({name}, true, progress, 0);
  EXPECT_EQ(result.errors[0], cp("ﾌｧｲﾙ名が長すぎます。"));
  result = NameCheck::check({name.substr(2)}, true, progress, 0);
  EXPECT_EQ(result.errorCount, 0);
}

TEST(NameCheck, DuplicatesIgnoreCaseAndMarkBothRows) {
  NullProgress progress;
  EditList list = makeEditList(
      {{"1", "Ａbc.TXT"}, {"2", "表.txt"}, {"3", "ａBC.txt"}, {"4", "x:y"}, {"5", "X:Y"}});
  const auto result = NameCheck::checkEditList(list, true, progress, 100);
  const std::string dup = cp("ﾌｧｲﾙ名が重複しています。");
  EXPECT_EQ(result.errorCount, 4 + 2);  // four duplicates, two forbidden colons
  ASSERT_TRUE(list.hasErrorColumn());
  EXPECT_EQ(list.errorCaption(), cp("ﾁｪｯｸ … ｴﾗｰ6件"));
  EXPECT_EQ(list.rows[0].error, dup);
  EXPECT_EQ(list.rows[1].error, "");
  EXPECT_EQ(list.rows[2].error, dup);
  EXPECT_EQ(list.rows[3].error, ": " + kForbidden + dup);

  // Fixed names remove the column again.
  list.removeColumnsFrom(2);
  list.appendStage({cp("a"), cp("b"), cp("c"), cp("d"), cp("e")});
  EXPECT_TRUE(NameCheck::checkEditList(list, true, progress, 100).passed());
  EXPECT_FALSE(list.hasErrorColumn());
}

// In the settings folder the program's own files (their temporary names,
// the older undo records and the one an undo run sets aside) are refused,
// in any letter case; elsewhere they are plain names.
TEST(NameCheck, OwnFilesOfTheSettingsFolderAreRefusedThere) {
  NullProgress progress;
  const std::vector<std::pair<std::string, std::string>> pairs = {
      {"表.txt", "Ritoma.und"},    {"ソ.txt", "ritoma.JNL"},   {"c", "Ritoma.ini.tmp42"},
      {"g", "Ritoma.und.1"},       {"h", "RITOMA.UND.9"},      {"i", "Ritoma.und.Undone"},
      {"d", "Ritoma.und.tmp"},     {"e", "Ritoma.und.bak"},    {"f", "表Ritoma.ini"},
      {"j", "Ritoma.und.0"},       {"k", "Ritoma.und.10"},     {"l", "Ritoma.und.1x"}};
  constexpr std::size_t refused = 6;
  EditList list = makeEditList(pairs);
  const auto there = NameCheck::checkEditList(list, true, progress, 0, false, nullptr, true);
  EXPECT_EQ(there.errorCount, static_cast<int>(refused));
  EXPECT_EQ(list.rows[0].error, cp("「Ritoma.und」はRitomaが設定ﾌｫﾙﾀﾞで使用するﾌｧｲﾙ名です。"));
  for (std::size_t i = 1; i < refused; ++i) EXPECT_FALSE(list.rows[i].error.empty()) << pairs[i].second;
  for (std::size_t i = refused; i < pairs.size(); ++i) EXPECT_EQ(list.rows[i].error, "") << pairs[i].second;

  EditList elsewhere = makeEditList(pairs);
  EXPECT_TRUE(NameCheck::checkEditList(elsewhere, true, progress, 0, false, nullptr, false).passed());
}

// In LZH paths "\\" and "/" are one separator: a path typed with either is a
// duplicate of the other. A trail byte 0x5C is no separator.
TEST(NameCheck, LzhPathsAreDuplicatesWhateverTheirSeparator) {
  const std::vector<std::string> names = {"doc\\a.txt", "DOC/a.txt", cp("表\\b.txt"),
                                          cp("表/b.txt"), cp("ソ.txt"), cp("ソ/.txt")};
  NullProgress progress;
  const std::string duplicate = cp("ﾌｧｲﾙ名が重複しています。");
  const auto lzh = NameCheck::check(names, false, progress, 0, {}, true);
  EXPECT_EQ(lzh.errors, (std::vector<std::string>{duplicate, duplicate, duplicate, duplicate, "", ""}));
  const auto zip = NameCheck::check(names, false, progress, 0);
  EXPECT_EQ(zip.errorCount, 0);
}

TEST(NameCheck, RefusesWhatTheUndoFileCannotRecord) {
  NullProgress progress;
  // The row count has no limit: the undo file records any batch.
  std::vector<std::string> names(70000);
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = cp("表") + std::to_string(i);
  EXPECT_TRUE(NameCheck::check(names, true, progress, 0).passed());

  EditList list = makeEditList({{"a", "b"}});
  list.removeColumnsFrom(2);
  list.appendStage({std::string(NameCheck::MaxNameBytes + 1, 'x')});
  const auto result = NameCheck::checkEditList(list, false, progress, 0);
  EXPECT_FALSE(result.refusal.empty());
  EXPECT_FALSE(list.hasErrorColumn());
}

// The force-change marker starts every temporary name, so it must itself be
// a name the check lets through on disk; the front ends share this verdict.
TEST(NameCheck, ForceMarkerMustPassAsANameOnDisk) {
  const struct {
    const char* label;
    std::string marker;  // code page 932
    const char* reason;  // part of the message, "" = accepted
  } cases[] = {
      {"default", "@", ""},
      {"trail byte 0x5C", cp("表ソ"), ""},
      {"leading dot and more", ".~", ""},
      {"parent folder", "../", "/ は使用禁止文字です。"},
      {"slash alone", "/", "/ は使用禁止文字です。"},
      {"two dots", "..", "ﾌｧｲﾙ名として使用できません。"},
      {"one dot", ".", "ﾌｧｲﾙ名として使用できません。"},
      {"empty", "", "ﾌｧｲﾙ名が空です。"},
      {"NUL inside", std::string("a\0b", 3), "ﾌｧｲﾙ名に使用できない文字があります。"},
      {"backslash", "a\\", "\\ は使用禁止文字です。"},
      {"question mark", "?", "? は使用禁止文字です。"},
      {"cut double byte", "\x95", "ﾌｧｲﾙ名に使用できない文字があります。"},
      {"longer than a name", std::string(256, '@'), "ﾌｧｲﾙ名が長すぎます。"},
  };
  for (const auto& c : cases) {
    const std::string error = RunOptions::markerError(c.marker);
    if (*c.reason == '\0') {
      EXPECT_EQ(error, "") << c.label;
      continue;
    }
    EXPECT_NE(error.find("強制変更のマーカー"), std::string::npos) << c.label << ": " << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.label << ": " << error;
  }
}

// Leaves a UNIX socket bound at `path` (the name stays after the close).
void bindSocket(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.size(), sizeof address.sun_path);
  std::memcpy(address.sun_path, path.data(), path.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  const int bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  ::close(fd);
  ASSERT_EQ(bound, 0);
}

class NameCheckKinds : public FolderFixture {};

// Each kind of entry as the listing finds it, without following links; the
// check refuses a pipe and a socket with its own text whatever the new name,
// and passes files, links (to a device, outside the folder, or to nothing).
TEST_F(NameCheckKinds, ListingTellsKindsAndTheCheckRefusesWhatIsNoFile) {
  dir.makeFolder("outside");
  dir.writeFile("outside/secret.txt", "secret");
  makeFile("表.txt");
  ASSERT_EQ(::mkfifo(disk("ソ.fifo").c_str(), 0600), 0);
  bindSocket(disk("sock"));
  ASSERT_EQ(::symlink("/dev/null", disk("null").c_str()), 0);
  ASSERT_EQ(::symlink("../outside/secret.txt", disk("out.lnk").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere", disk("gone").c_str()), 0);

  std::vector<FileInfo> found;
  ASSERT_FALSE(FolderEnumerator::enumerateFolder(fs, cp(work() + "/"), "*", FilterNormal, found));
  std::sort(found.begin(), found.end(), [](const FileInfo& a, const FileInfo& b) { return a.name < b.name; });
  struct Expected {
    std::string name;
    EntryKind kind;
    std::string error;
  };
  const std::string notAFile = "」は通常のﾌｧｲﾙではないため処理できません。";
  const std::vector<Expected> expected{
      {"gone", EntryKind::MissingLink, ""},
      {"null", EntryKind::Link, ""},
      {"out.lnk", EntryKind::Link, ""},
      {"sock", EntryKind::Other, "「sock" + notAFile},
      {"ソ.fifo", EntryKind::Other, "「ソ.fifo" + notAFile},
      {"表.txt", EntryKind::File, ""},
  };
  ASSERT_EQ(found.size(), expected.size());
  std::vector<FileEntry> entries;
  for (std::size_t i = 0; i < found.size(); ++i) {
    EXPECT_EQ(found[i].name, expected[i].name);
    EXPECT_EQ(found[i].kind, expected[i].kind) << expected[i].name;
    EXPECT_FALSE(found[i].isFolder);
    entries.push_back(FileEntry::fromDisk(found[i], true));
  }
  // A link's size is that of its own target text.
  EXPECT_EQ(found[2].size, std::string("../outside/secret.txt").size());

  EditList list;
  EditListBuilder::build(entries, list);
  std::vector<std::string> newNames;
  for (const auto& row : list.rows) newNames.push_back(row.names.front() + cp("_"));
  list.appendStage(newNames);
  const NameCheck::Result result = NameCheck::checkEditList(list, true, progress, 0);
  EXPECT_EQ(result.errorCount, 2);
  ASSERT_EQ(result.errors.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(TextCodec::toUtf8(result.errors[i]), expected[i].error) << expected[i].name;
  EXPECT_EQ(dir.readFile("outside/secret.txt"), "secret");
}

}  // namespace
}  // namespace ritoma::test
