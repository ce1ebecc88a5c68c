#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/MacroOptions.h"
#include "conversion/TemplateEngine.h"
#include "platform/PosixFileSystem.h"
#include "support/TempDir.h"

namespace ritoma {
namespace {

enum Page { PageF, PageE, PageN, PageKParent, PageKChild, PageD, PageT, PageS, PageO };

class MacroOptionsTest : public ::testing::Test {
protected:
  TempDir dir;
  PosixFileSystem fs;
  MacroOptions options;

  IniFile ini() { return IniFile(fs, dir / "Ritoma.ini"); }
};

TEST_F(MacroOptionsTest, FactoryTextsWritingEveryValue) {
  const IniFile file = ini();
  options.Load(file);
  const std::vector<std::pair<int, const char*>> cases = {
      {PageF, "/f<0,0,0>"}, {PageE, "/e<0,0,0>"}, {PageN, "/n<1,3,1>"},  {PageKParent, "/K<0,-1,1>"},
      {PageKChild, "/k<1,2,1>"}, {PageD, "/D<y2m3d3>"}, {PageT, "/T<h2m3s3>"}, {PageS, "/s<0,1>"},
      {PageO, "/o<0,0,0>"},
  };
  for (const auto& [page, text] : cases) EXPECT_EQ(options.BuildMacroText(page), text) << page;
  EXPECT_EQ(options.StampExample(PageD), "20030405");
  EXPECT_EQ(options.StampExample(PageT), "_60708");
}

TEST_F(MacroOptionsTest, OmissionLeavesOutDefaultsButKeepsPositions) {
  options.SetOmitDefaults(true);
  for (int page = 0; page < MacroDefaults::PageCount; ++page) {
    const std::string text = options.BuildMacroText(page);
    EXPECT_EQ(text.size(), 2u) << text;  // the plain macro
  }
  struct Case {
    const char* what;
    void (*change)(MacroDefaults&);
    int page;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"/n digits", [](MacroDefaults& c) { c.n2 = 4; }, PageN, "/n<,4>"},
      {"/f upper case", [](MacroDefaults& c) { c.f3 = 2; }, PageF, "/f<,,2>"},
      {"/f start and case", [](MacroDefaults& c) { c.f1 = 3; c.f3 = 1; }, PageF, "/f<3,,1>"},
      {"/f length", [](MacroDefaults& c) { c.f2 = 5; }, PageF, "/f<,5>"},
      {"/o start", [](MacroDefaults& c) { c.o1 = -2; }, PageO, "/o<-2>"},
      {"/s right-align", [](MacroDefaults& c) { c.s1 = 1; }, PageS, "/s<1>"},
      {"/s separators off", [](MacroDefaults& c) { c.s2 = 0; }, PageS, "/s<,0>"},
      {"/D month only", [](MacroDefaults& c) { c.Dy1 = 0; c.Dd1 = 0; }, PageD, "/D<m3>"},
      {"/D nothing checked", [](MacroDefaults& c) { c.Dy1 = 0; c.Dm1 = 0; c.Dd1 = 0; }, PageD, ""},
      {"/D unchecked radio differs", [](MacroDefaults& c) { c.Dd1 = 0; }, PageD, "/D<y2m3>"},
      {"/T hour zero", [](MacroDefaults& c) { c.Th2 = 2; }, PageT, "/T<h3m3s3>"},
  };
  for (const Case& c : cases) {
    options.controls = options.defaults;
    c.change(options.controls);
    EXPECT_EQ(options.BuildMacroText(c.page), c.expected) << c.what;
  }
  options.SetOmitDefaults(false);
  options.controls = options.defaults;
  options.controls.Dy1 = options.controls.Dd1 = 0;
  EXPECT_EQ(options.BuildMacroText(PageD), "/D<m3>");
}

TEST_F(MacroOptionsTest, ParentKeyWithOneCharacterLimitsStartAndStep) {
  options.controls.K12 = -1;
  options.controls.K11 = 12;
  options.controls.K13 = 5;
  EXPECT_EQ(options.BuildMacroText(PageKParent), "/K<0,-1,1>");
  EXPECT_EQ(options.controls.K11, 0);
  options.controls.K12 = 2;
  options.controls.K11 = 12;
  EXPECT_EQ(options.BuildMacroText(PageKParent), "/K<12,2,1>");
}

TEST_F(MacroOptionsTest, Examples) {
  options.controls.Dy2 = 0;
  options.controls.Dm2 = 1;
  options.controls.Dd2 = 0;
  EXPECT_EQ(options.StampExample(PageD), "03_45");
  options.controls.Tm1 = 0;
  options.controls.Th2 = 2;
  EXPECT_EQ(options.StampExample(PageT), "0608");
  EXPECT_EQ(options.SizeExample(), (std::vector<std::string>{"1,234", "123,456,789"}));
  options.controls.s1 = 1;
  options.controls.s2 = 0;
  EXPECT_EQ(options.SizeExample(), (std::vector<std::string>{"     1234", "123456789"}));
}

TEST_F(MacroOptionsTest, SavedDefaultsReachTheTemplateAndTheOmission) {
  {
    IniFile file = ini();
    options.Load(file);
    options.controls.n1 = 5;
    options.controls.f1 = 2;  // another page: not saved with "表示ﾏｸﾛのみ"
    options.SaveDefaults(file, PageN);
    options.SetOmitDefaults(true);
    EXPECT_EQ(options.BuildMacroText(PageN), "/n");
    options.SaveOmission(file);
  }
  MacroOptions reloaded;
  reloaded.Load(ini());
  EXPECT_EQ(reloaded.defaults.n1, 5);
  EXPECT_EQ(reloaded.defaults.f1, 0);
  EXPECT_TRUE(reloaded.omitDefaults());
  EXPECT_EQ(reloaded.controls, reloaded.defaults);

  TemplateEngine engine;
  engine.context.defaults = reloaded.defaults;
  engine.CompileTemplate("/n", engine.nameTemplate);
  engine.ResetCounters(false);
  EXPECT_EQ(engine.ExpandEntry({"a", false, "", "a"}), "005");

  reloaded.controls.f1 = 7;
  reloaded.ResetPage(PageF);
  EXPECT_EQ(reloaded.controls.f1, 0);
  reloaded.controls.o3 = 2;
  IniFile file = ini();
  reloaded.SaveAllDefaults(file);
  MacroDefaults stored;
  stored.load(ini());
  EXPECT_EQ(stored.o3, 2);
  EXPECT_EQ(stored.n1, 5);
}

TEST_F(MacroOptionsTest, MissingOrBrokenKeysGiveFactoryValues) {
  dir.writeFile("Ritoma.ini", "[MacroOption]\nn1=abc\nK12=-2\n");
  MacroDefaults d;
  d.load(ini());
  EXPECT_EQ(d.n1, 1);
  EXPECT_EQ(d.K12, -2);
  EXPECT_EQ(d.Dm2, 2);
  EXPECT_FALSE(d.omitDefaults);
}

// A hand-edited value outside its control's range is read clamped into it: the
// dialog's text, the expansion and a save all use what the dialog shows.
TEST_F(MacroOptionsTest, OutOfRangeValuesAreReadAsTheDialogShowsThem) {
  struct Case {
    const char* keys;
    int page;
    const char* text;
  };
  const Case cases[] = {
      {"Dm2=5", PageD, "/D<y2m3d3>"},
      {"Dy2=-4\nDd1=9", PageD, "/D<y1m3d3>"},
      {"Th2=-1", PageT, "/T<h1m3s3>"},
      {"n1=-5\nn2=40000\nn3=0", PageN, "/n<0,32767,1>"},
      {"K12=-9\nK13=-1", PageKParent, "/K<0,-2,1>"},
      {"f1=500\nf3=7", PageF, "/f<127,0,2>"},
      {"o2=-2000000000", PageO, "/o<0,-127,0>"},
      {"s1=3\ns2=-1", PageS, "/s<1,0>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    dir.writeFile("Ritoma.ini", std::string("[MacroOption]\n") + c.keys + "\n");
    MacroOptions read;
    IniFile file = ini();
    read.Load(file);
    EXPECT_EQ(read.BuildMacroText(c.page), c.text);
    read.SaveAllDefaults(file);
    MacroDefaults saved;
    saved.load(ini());
    EXPECT_EQ(saved, read.defaults);
  }
}

}  // namespace
}  // namespace ritoma
