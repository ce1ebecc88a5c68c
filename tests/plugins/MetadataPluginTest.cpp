#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "conversion/TemplateEngine.h"
#include "platform/PosixFileSystem.h"
#include "plugins/PluginHost.h"
#include "plugins/PluginLibrary.h"
#include "support/TempDir.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

// The photo and audio plug-ins as built beside the executables; empty in a
// build without them.
const std::string kExif = RITOMA_EXIF_PLUGIN;
const std::string kAudio = RITOMA_AUDIO_PLUGIN;
const std::string kFixtures = std::string(RITOMA_FIXTURES) + "/metadata";

std::string J(const char* utf8) { return TextCodec::fromUtf8(utf8); }

struct Case {
  const char* file;
  const char* templ;
  const char* expected;  // UTF-8
};

// Both plug-ins in service through the host, as letters E and M, over a
// copy of the fixtures in a folder "表ソ" where every file's name starts
// with "表ソ_": 表 and ソ end in the byte of "\", which a path built
// carelessly from code page 932 would break.
class MetadataPluginTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (kExif.empty() || kAudio.empty()) GTEST_SKIP() << "built without the metadata plug-ins";
    dir.makeFolder("表ソ");
    for (const auto& entry : std::filesystem::directory_iterator(kFixtures)) {
      const std::string name = entry.path().filename().string();
      if (name.ends_with(".sh")) continue;
      std::filesystem::copy_file(entry.path(), dir / ("表ソ/表ソ_" + name));
    }
    dir.writeFile("表ソ/表ソ_text.jpg", "not a picture");
    // Opening a pipe for reading would wait for a writer forever.
    ASSERT_EQ(::mkfifo((dir / "表ソ/表ソ_fifo.jpg").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir / "表ソ/表ソ_fifo.mp3").c_str(), 0600), 0);
    dir.makeFolder("表ソ/表ソ_folder.mp3");
    for (const auto& [path, letter] : {std::pair{kExif, 'E'}, std::pair{kAudio, 'M'}}) {
      std::string why;
      auto library = PluginLibrary::open(path, why);
      ASSERT_TRUE(library) << why;
      host.putInService({path.substr(path.rfind('/') + 1), std::move(library)}, letter, dir / "Ritoma.ini");
    }
  }

  // The name the template gives the fixture `file` (as copied: "表ソ_" +
  // file) in folder mode, or in archive mode with `file` as the archive.
  std::string expand(const std::string& file, const std::string& templ, bool inArchive = false) {
    TemplateEngine engine;
    engine.context.plugins = &host;
    engine.context.folderPath = TextCodec::toInternal(dir / "表ソ");
    engine.context.inArchive = inArchive;
    engine.context.archiveName = J("表ソ_") + file;
    engine.CompileTemplate(J(templ.c_str()), engine.nameTemplate);
    engine.ResetCounters(false);
    const std::string listed = J("表ソ_") + file;
    return engine.ExpandEntry(TemplateRow{J("変換前.dat"), false, "", listed});
  }

  void expectNames(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.file) + " " + c.templ);
      EXPECT_EQ(TextCodec::toUtf8(expand(c.file, c.templ)), c.expected);
    }
  }

  TempDir dir;
  PosixFileSystem fs;
  PluginHost host{fs, {}};
};

TEST_F(MetadataPluginTest, PhotoFieldsFormatsAndFallbacks) {
  const std::vector<Case> cases = {
      // Dates: the default format, strftime letters, Japanese text in the format.
      {"photo.jpg", "/xE<date>", "20240503_142501"},
      {"photo.jpg", "/xE<date,%Y%m%d>_x", "20240503_x"},
      {"photo.jpg", "/xE<DATE,%Y年%m月%d日(%a)>", "2024年05月03日(Fri)"},
      {"photo.jpg", "/xE<date,%Y/%m/%d>", "2024_05_03"},
      // DateTimeOriginal of a clock never set: the date falls back to Image.DateTime.
      {"nodate.jpg", "/xE<date,%Y%m%d>", "20231231"},
      {"photo.png", "/xE<date,%Y%m%d>", "20210102"},
      {"photo.heic", "/xE<date,%Y%m%d>-/xE<model>", "20220222-Pixel 7"},
      // Texts, and "/" inside a tag.
      {"photo.jpg", "/xE<make> /xE<model>", "Canon EOS R6_Mark II"},
      {"photo.jpg", "/xE<lens>", "RF24-105mm F4 L IS USM"},
      // Numbers padded to FORMAT's width; the photo values that are not numbers.
      {"photo.jpg", "ISO/xE<iso,5>_/xE<width>x/xE<height,3>", "ISO00400_16x016"},
      {"photo.jpg", "F/xE<fnumber> /xE<exposure>s", "F2.8 1_250s"},
      {"photo.jpg", "/xE<gps>", "35.6812N,139.7671E"},
      // Keys of Exif, IPTC and XMP; a key's date takes a date format.
      {"photo.jpg", "/xE<Exif.Image.ImageDescription>", "表ソの写真"},
      {"photo.jpg", "/xE<Iptc.Application2.City>", "東京"},
      {"photo.jpg", "/xE<Xmp.dc.title>", "서울 表"},
      {"photo.jpg", "/xE<Xmp.xmp.CreateDate,%Y-%m-%d>|/xE<Exif.Photo.DateTimeDigitized,,->", "2024-05-03|-"},
      {"photo.jpg", "/xE<Exif.Image.DateTime>", "20240601_090000"},
      // A tab in a tag becomes "_".
      {"photo.jpg", "/xE<Exif.Image.Artist>", "山田_太郎"},
      // Fallbacks: a missing field, an unknown key or name, not a picture, no file.
      {"nodate.jpg", "/xE<model,,unknown>", "unknown"},
      {"nodate.jpg", "/xE<lens,,不明,機種>", "不明,機種"},
      {"photo.jpg", "/xE<Exif.Photo.NoSuchTag,,a>/xE<Exif.Photo.LensSerialNumber,,b>/xE<shutter,,c>", "abc"},
      {"photo.jpg", "/xE<Xmp.nosuch.Key,,d>/xE<Iptc.Application2.Nope,,e>/xE<,,f>", "def"},
      {"song.mp3", "/xE<date,%Y,ない>", "ない"},
      {"text.jpg", "/xE<date,,ない>", "ない"},
      {"missing.jpg", "/xE<model,,ない>", "ない"},
      {"fifo.jpg", "/xE<model,,ない>", "ない"},
  };
  expectNames(cases);
}

TEST_F(MetadataPluginTest, AudioFieldsOfEveryFormat) {
  const std::vector<Case> cases = {
      {"song.mp3", "/xM<track,2> - /xM<title>", "03 - 表ソの歌"},
      {"song.mp3", "/xM<artist>|/xM<album>|/xM<albumartist>|/xM<genre>", "アーティスト|AC_DC ライブ|Various|Rock"},
      {"song.mp3", "/xM<track>/xM<disc,3>|/xM<year>|/xM<DATE,%Y%m%d>|/xM<date>", "3001|2019|20190503|20190503_000000"},
      {"id3v1.mp3", "/xM<track,3> /xM<title> (/xM<artist>, /xM<year>, /xM<genre>)", "007 Old Song (Someone, 1999, Rock)"},
      {"song.flac", "/xM<track,2> - /xM<title> - /xM<artist> - /xM<year>", "05 - 노래 表 - ソ - 2020"},
      {"song.m4a", "/xM<track,2>-/xM<disc>-/xM<albumartist>-/xM<title>-/xM<year>", "03-2-Band_Group-M4A title-2021"},
      {"song.ogg", "/xM<track,3> /xM<title>", "011 Ogg Vorbis"},
      {"song.opus", "/xM<track,2> /xM<title>", "01 Opus"},
      {"song.flac", "/xM<album,,無題>|/xM<COMPOSER,,-,->", "無題|-,-"},
      {"photo.jpg", "/xM<title,,no title>", "no title"},
      {"missing.mp3", "/xM<title,,no file>", "no file"},
      {"fifo.mp3", "/xM<title,,no file>", "no file"},
      {"folder.mp3", "/xM<title,,no file>", "no file"},
  };
  expectNames(cases);
}

TEST_F(MetadataPluginTest, TagTextsWithoutAShiftJisCodeKeepTheirCharactersLosslessly) {
  // 서 and 울 have no code in code page 932: they become the codec's
  // stand-in pairs, never "?", and come back unchanged on disk.
  const std::string name = expand("photo.jpg", "/xE<Xmp.dc.title>");
  EXPECT_EQ(name.find('?'), std::string::npos);
  EXPECT_EQ(name, TextCodec::fromUtf8("서울 表"));
  bool ok = false;
  EXPECT_EQ(TextCodec::toDisk(name, &ok), "서울 表");
  EXPECT_TRUE(ok);
}

TEST_F(MetadataPluginTest, ArchiveModeGivesAnEmptyTextEvenWithAFallback) {
  EXPECT_EQ(expand("photo.jpg", "[/xE<date,%Y,none>][/xM<title,,none>]", true), "[][]");
  EXPECT_EQ(expand("photo.jpg", "[/xE<date,%Y,none>]"), "[2024]");
}

TEST_F(MetadataPluginTest, AChangedFileIsReadAgain) {
  // The last file's metadata is kept between calls; a new content under
  // the same name must not give the old tags.
  EXPECT_EQ(expand("photo.jpg", "/xE<model,,none>/xM<title,,none>"), "EOS R6_Mark IInone");
  dir.writeFile("表ソ/表ソ_photo.jpg", dir.readFile("表ソ/表ソ_nodate.jpg"));
  EXPECT_EQ(expand("photo.jpg", "/xE<model,,none>"), "none");
  dir.writeFile("表ソ/表ソ_song.mp3", dir.readFile("表ソ/表ソ_song.mp3"));
  EXPECT_EQ(expand("song.mp3", "/xM<title>"), J("表ソの歌"));
  dir.writeFile("表ソ/表ソ_song.mp3", dir.readFile("表ソ/表ソ_id3v1.mp3"));
  EXPECT_EQ(expand("song.mp3", "/xM<title>"), "Old Song");
}

TEST_F(MetadataPluginTest, InfoAndNoDialogWithoutAQtApplication) {
  EXPECT_EQ(host.caption(0), J("写真情報(/xE)"));
  EXPECT_EQ(host.caption(1), J("曲情報(/xM)"));
  EXPECT_EQ(host.library(0).proposedLetter(), 'E');
  EXPECT_EQ(host.library(1).proposedLetter(), 'M');
  // ritoma-cli and these tests run no Qt application: "+" answers nothing
  // instead of opening a window.
  EXPECT_EQ(host.setOption(0, RitomaPluginWindow{0, 0, 800, 600}), std::nullopt);
  EXPECT_EQ(host.setOption(1, RitomaPluginWindow{0, 0, 800, 600}), std::nullopt);
}

}  // namespace
}  // namespace ritoma
