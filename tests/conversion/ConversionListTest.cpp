#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/ConversionList.h"
#include "conversion/NotIntegerError.h"
#include "text/TextCodec.h"

namespace ritoma {
namespace {

std::string J(const char* utf8) { return TextCodec::fromUtf8(utf8); }

class RecordingProgress : public ProgressSink {
public:
  std::vector<std::string> events;
  void open(std::string_view caption, std::int64_t maximum) override {
    events.push_back("open " + std::string(caption) + " " + std::to_string(maximum));
    open_ = true;
  }
  void setMaximum(std::int64_t) override {}
  void step() override { events.push_back("step"); }
  void close() override {
    events.push_back("close");
    open_ = false;
  }
  bool isOpen() const override { return open_; }

private:
  bool open_ = false;
};

class ConversionListTest : public ::testing::Test {
protected:
  EditList edit;
  ConversionList list;
  TemplateEngine engine;
  NullProgress progress;

  void SetUp() override {
    for (const std::string& name : {J("表.txt"), std::string("b.txt"), J("ソ.dat"), std::string("d.txt")}) {
      EditRow row;
      row.infoText = "2003/04/05 06:07:08 1,234";
      row.names = {name};
      edit.rows.push_back(row);
    }
    edit.sizeWidth = 5;
  }

  void open(const ConversionStage& stage) { list.Open(edit, stage); }
  void applyTemplate(const std::string& name) {
    list.PreviewTemplate(engine, edit, 0, name, nullptr);
    list.ApplyToRows(engine, edit, progress, 0);
  }
  std::vector<std::string> results() const {
    std::vector<std::string> out;
    for (const ConversionRow& r : list.rows) out.push_back(r.result);
    return out;
  }
  std::vector<std::string> column(std::size_t c) const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < edit.rows.size(); ++i) out.push_back(edit.nameAt(i, c));
    return out;
  }
};

TEST_F(ConversionListTest, OnlyCheckedRowsAreNumberedAndSavedUnconvertedRowsKeepTheirSource) {
  const ConversionStage stage = ConversionStage::ForStageButton(edit);
  EXPECT_EQ(stage.sourceColumn, 1u);
  EXPECT_EQ(stage.stageNumber, 1);
  EXPECT_EQ(stage.firstColumnToReplace, 2u);
  open(stage);
  list.rows[0].checked = false;
  list.rows[2].checked = false;
  applyTemplate("/n<1,1>");
  EXPECT_EQ(results(), (std::vector<std::string>{"", "1.txt", "", "2.txt"}));
  EXPECT_EQ(list.SaveStage(edit), 2);
  EXPECT_EQ(edit.caption(2), J("→変換1"));
  EXPECT_EQ(column(2), (std::vector<std::string>{J("表.txt"), "1.txt", J("ソ.dat"), "2.txt"}));
}

TEST_F(ConversionListTest, SavingWithoutConversionCopiesTheSources) {
  open(ConversionStage::ForStageButton(edit));
  EXPECT_EQ(list.SaveStage(edit), 2);
  EXPECT_EQ(column(2), column(1));
}

TEST_F(ConversionListTest, EachApplicationStartsFromTheSource) {
  open(ConversionStage::ForStageButton(edit));
  applyTemplate("x/f");
  StringReplacer replacer;
  replacer.search = "x";
  replacer.replacement = "y";
  list.ApplyToRows(replacer, progress, 0);
  EXPECT_EQ(results(), (std::vector<std::string>{J("表.txt"), "b.txt", J("ソ.dat"), "d.txt"}));
  // After saving, the next stage starts from the saved names.
  applyTemplate("x/f");
  list.SaveStage(edit);
  open(ConversionStage::ForStageButton(edit));
  list.ApplyToRows(replacer, progress, 0);
  EXPECT_EQ(results(), (std::vector<std::string>{J("y表.txt"), "yb.txt", J("yソ.dat"), "yd.txt"}));
}

TEST_F(ConversionListTest, RedoingStageTwoRebuildsItFromStageOne) {
  open(ConversionStage::ForStageButton(edit));
  applyTemplate("1_/f");
  list.SaveStage(edit);
  open(ConversionStage::ForStageButton(edit));
  applyTemplate("2_/f");
  EXPECT_EQ(list.SaveStage(edit), 3);

  EXPECT_FALSE(ConversionStage::ForHeaderClick(edit, 0));
  EXPECT_FALSE(ConversionStage::ForHeaderClick(edit, 1));
  EXPECT_FALSE(ConversionStage::ForHeaderClick(edit, 4));
  const auto redo = ConversionStage::ForHeaderClick(edit, 3);
  ASSERT_TRUE(redo);
  EXPECT_EQ(redo->stageNumber, 2);
  EXPECT_EQ(redo->firstColumnToReplace, 3u);
  open(*redo);
  EXPECT_EQ(list.rows[1].source, "1_b.txt");
  applyTemplate("R_/f");
  EXPECT_EQ(list.SaveStage(edit), 3);
  EXPECT_EQ(edit.stageCount(), 2u);
  EXPECT_EQ(edit.caption(3), J("→変換2"));
  EXPECT_EQ(column(3)[1], "R_1_b.txt");

  // Redoing stage 1 drops stage 2 as well.
  open(*ConversionStage::ForHeaderClick(edit, 2));
  EXPECT_EQ(list.SaveStage(edit), 2);
  EXPECT_EQ(edit.stageCount(), 1u);
  EXPECT_EQ(column(2), column(1));
}

TEST_F(ConversionListTest, ErrorColumnRedoesTheLastStageForFailingRowsOnly) {
  open(ConversionStage::ForStageButton(edit));
  applyTemplate("1_/f");
  list.SaveStage(edit);
  open(ConversionStage::ForStageButton(edit));
  applyTemplate("2_/f");
  list.SaveStage(edit);
  edit.setErrorColumn(J("ﾁｪｯｸ ｴﾗｰ"), {"", "duplicate", "", "bad"});
  ASSERT_EQ(edit.columnCount(), 5u);

  const ConversionStage stage = ConversionStage::ForStageButton(edit);
  EXPECT_EQ(stage.sourceColumn, 3u);
  EXPECT_EQ(stage.stageNumber, 3);
  EXPECT_EQ(stage.firstColumnToReplace, 4u);
  EXPECT_TRUE(stage.errorRowsOnly);
  const auto header = ConversionStage::ForHeaderClick(edit, 4);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->sourceColumn, 3u);
  EXPECT_TRUE(header->errorRowsOnly);

  open(stage);
  EXPECT_EQ((std::vector<bool>{list.rows[0].checked, list.rows[1].checked, list.rows[2].checked, list.rows[3].checked}),
            (std::vector<bool>{false, true, false, true}));
  applyTemplate("3_/f");
  EXPECT_EQ(list.SaveStage(edit), 4);
  EXPECT_FALSE(edit.hasErrorColumn());
  EXPECT_EQ(edit.caption(4), J("→変換3"));
  EXPECT_EQ(column(4), (std::vector<std::string>{J("2_1_表.txt"), "3_2_1_b.txt", J("2_1_ソ.dat"), "3_2_1_d.txt"}));
}

TEST_F(ConversionListTest, PreviewCompilesOnceAndThePassClearsTheTemplates) {
  open(ConversionStage::ForStageButton(edit));
  list.rows[2].key = true;
  EXPECT_EQ(list.PreviewTemplate(engine, edit, 2, "/k-/f", nullptr), J("01-ソ.dat"));
  const std::string ext = "/e<,,2>";
  EXPECT_EQ(list.PreviewTemplate(engine, edit, 1, "/n", &ext), "001.TXT");
  list.ApplyToRows(engine, edit, progress, 0);
  EXPECT_EQ(results(), (std::vector<std::string>{"001.TXT", "002.TXT", "003.DAT", "004.TXT"}));
  EXPECT_TRUE(engine.nameTemplate.empty());
  // Without a new preview a pass has no templates: every checked row gets an empty result.
  list.ApplyToRows(engine, edit, progress, 0);
  EXPECT_EQ(results(), (std::vector<std::string>{"", "", "", ""}));

  EXPECT_THROW(list.PreviewTemplate(engine, edit, 0, "/n<x>", nullptr), NotIntegerError);
}

TEST_F(ConversionListTest, ProgressOpensAtTheThresholdAndStepsPerConvertedRow) {
  open(ConversionStage::ForStageButton(edit));
  list.rows[1].checked = false;
  CharConverter conv;
  conv.position = 2;
  struct Case {
    int threshold;
    std::vector<std::string> events;
  };
  const std::string open4 = "open 変換中… 4";
  const std::vector<Case> cases = {
      {0, {}}, {5, {}}, {-1, {}}, {4, {open4, "step", "step", "step", "close"}}, {1, {open4, "step", "step", "step", "close"}}};
  for (const Case& c : cases) {
    RecordingProgress rec;
    list.ApplyToRows(conv, rec, c.threshold);
    EXPECT_EQ(rec.events, c.events) << c.threshold;
  }
  EXPECT_EQ(results(), (std::vector<std::string>{J("表.txt"), "", J("ソ.dat"), "D.txt"}));
}

}  // namespace
}  // namespace ritoma
