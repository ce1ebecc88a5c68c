#include <gtest/gtest.h>

#include <fstream>

#include "ExecutionTestSupport.h"
#include "execution/DummyWriter.h"
#include "execution/FolderPlanCheck.h"
#include "execution/FolderPlanRun.h"
#include "execution/NameCheck.h"

namespace ritoma::test {
namespace {

// Records what the run asks of the dummy writers.
class RecordingWriter : public DummyWriter {
public:
  Page pageValue = Page::Content;
  Page fallbackValue = Page::Excerpt;
  bool result = true;
  std::vector<std::size_t> archiveFails;
  std::vector<std::string> calls;

  Page page() const override { return pageValue; }
  Page fallback() const override { return fallbackValue; }
  bool writeContent(const std::string&, const std::string& target, PlanList& plan, std::size_t first,
                    std::size_t end) override {
    calls.push_back("content " + std::to_string(first) + "-" + std::to_string(end));
    write(target, plan, first, end);
    return result;
  }
  bool writeExcerpt(const std::string&, const std::string& target, PlanList& plan, std::size_t first,
                    std::size_t end) override {
    calls.push_back("excerpt " + std::to_string(first) + "-" + std::to_string(end));
    write(target, plan, first, end);
    return result;
  }
  bool writeFromArchive(const std::string&, const std::string& target, PlanList& plan,
                        std::size_t row) override {
    calls.push_back("archive " + std::to_string(row));
    if (std::find(archiveFails.begin(), archiveFails.end(), row) != archiveFails.end()) return false;
    write(target, plan, row, row + 1);
    return true;
  }
  const std::string& lastError() const override { return error; }
  const std::string& fallbackReason() const override { return noReason; }
  std::string error;
  std::string noReason;

private:
  // The dummy files themselves, so that the time stage finds them.
  void write(const std::string& target, const PlanList& plan, std::size_t first, std::size_t end) {
    EXPECT_EQ(target.back(), '/');
    for (std::size_t i = first; i < end; ++i)
      if (result && plan.rows[i].mark == MarkNone && !plan.rows[i].isFolderRow())
        std::ofstream(target + TextCodec::toDisk(plan.rows[i].newName)) << "dummy";
  }
};

class DummyHook : public FolderFixture {
protected:
  RecordingWriter writer;
  PlanList plan;

  void SetUp() override {
    FolderFixture::SetUp();
    makeFile("a");
    makeFolder("ソ");
    makeFile("表");
    makeFile("c");
    plan = build(makeEditList({{"a", "a2"}, {"ソ", "d2"}, {"表", "b2"}, {"c", "c2"}}, {"ソ"}));
    plan.rows[3].mark = MarkExists;  // ignored by "ｴﾗｰ無視"
    options.copy = true;
    options.dummy = true;
  }
  RunResult run() { return FolderPlanRun(fs, settings, undoPath(), &writer).execute(plan, options); }
};

TEST_F(DummyHook, PagesPickTheirWriters) {
  EXPECT_FALSE(run().failed);
  EXPECT_EQ(writer.calls, (std::vector<std::string>{"content 0-4"}));

  writer.calls.clear();
  writer.pageValue = DummyWriter::Page::FromArchive;
  writer.archiveFails = {2};
  EXPECT_FALSE(run().failed);
  // Folder rows and marked rows are skipped; a row that is no archive gets
  // the fallback writer for itself alone.
  EXPECT_EQ(writer.calls, (std::vector<std::string>{"archive 0", "archive 2", "excerpt 2-3"}));
  EXPECT_EQ(dir.names("work"), (std::vector<std::string>{"a", "a2", "b2", "c", "ソ", "表"}));
}

TEST_F(DummyHook, FailingWriterEndsTheRun) {
  writer.pageValue = DummyWriter::Page::Excerpt;
  writer.result = false;
  const RunResult result = run();
  EXPECT_TRUE(result.failed);
  EXPECT_EQ(result.code, -1);
}

// Records how the progress window is used.
class RecordingProgress : public ProgressSink {
public:
  std::string caption;
  std::int64_t maximum = -1;
  std::int64_t steps = 0;
  bool open_ = false;
  void open(std::string_view c, std::int64_t m) override { caption = c, maximum = m, open_ = true; }
  void setMaximum(std::int64_t m) override { maximum = m; }
  void step() override { ++steps; }
  void close() override { open_ = false; }
  bool isOpen() const override { return open_; }
};

class ProgressThresholds : public FolderFixture {};

TEST_F(ProgressThresholds, OpenFromTheThresholdOnAndStepToTheMaximum) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (int i = 0; i < 4; ++i) {
    makeFile("f" + std::to_string(i));
    pairs.emplace_back("f" + std::to_string(i), "g" + std::to_string(i));
  }
  const EditList list = makeEditList(pairs);
  std::vector<std::string> names = {"a", "b", "c", "d"};
  for (int threshold : {4, 5, 0}) {
    RecordingProgress p;
    NameCheck::check(names, true, p, threshold);
    EXPECT_EQ(p.caption, threshold == 4 ? "リネームチェック中…" : "") << threshold;
    if (threshold == 4) {
      EXPECT_EQ(p.steps, p.maximum);
    }
    if (threshold == 4) {
      EXPECT_EQ(p.maximum, 8);
    }

    RecordingProgress q;
    const PlanList plan = PlanBuilder::build(list, PlanMode::Folder, work(), fs, q, threshold);
    EXPECT_EQ(q.caption, threshold == 4 ? "ファイル名展開中…" : "") << threshold;
    if (threshold == 4) {
      EXPECT_EQ(q.steps, 4);
    }

    RecordingProgress r;
    settings.greet5 = threshold;
    options.force = true;
    PlanList checked = plan;
    FolderPlanCheck(fs, r, settings, 4).check(checked, options, true);
    EXPECT_EQ(r.caption, threshold == 4 ? "ファイルチェック中…" : "") << threshold;
    // Listed entries + rows, then 12 × rows for the force change steps.
    if (threshold == 4) {
      EXPECT_EQ(r.maximum, 4 + 4 + 12 * 4);
    }
    EXPECT_FALSE(r.isOpen());
  }
}

}  // namespace
}  // namespace ritoma::test
