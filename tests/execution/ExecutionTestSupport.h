#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "execution/AttributeText.h"
#include "execution/ExecutionSettings.h"
#include "execution/FolderPlanEngine.h"
#include "execution/PlanBuilder.h"
#include "execution/PlanList.h"
#include "execution/RunOptions.h"
#include "execution/UndoFile.h"
#include "execution/UndoSelection.h"
#include "platform/PosixFileSystem.h"
#include "platform/TimeConvert.h"
#include "selection/EditList.h"
#include "shell/ProgressSink.h"
#include "shell/UserInteraction.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"
#include "text/TextCodec.h"

namespace ritoma::test {

// Code page 932 from a UTF-8 literal.
inline std::string cp(std::string_view utf8) { return TextCodec::fromUtf8(utf8); }

// Answers questions from a script and records everything it was shown.
class ScriptedUi : public UserInteraction {
public:
  std::deque<Answer> answers;
  std::vector<std::string> questions;
  std::vector<std::string> messages;
  std::vector<MessageKind> questionLooks;  // the icon of each question asked with one

  Answer askAs(MessageKind look, QuestionKind kind, std::string_view text, std::string_view caption) override {
    questionLooks.push_back(look);
    return ask(kind, text, caption);
  }
  Answer ask(QuestionKind, std::string_view text, std::string_view) override {
    questions.emplace_back(text);
    if (answers.empty()) ADD_FAILURE() << "unexpected question: " << text;
    if (answers.empty()) return Answer::Cancel;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  void tell(MessageKind, std::string_view text, std::string_view) override { messages.emplace_back(text); }
  bool input(std::string_view, std::string_view, std::string&) override { return false; }
};

// What a folder holds: per raw name, the kind, times and attributes.
struct EntryState {
  bool isFolder = false;
  FileTime created = 0, modified = 0, accessed = 0;
  std::uint32_t attributes = 0;
  std::string content;
  bool operator==(const EntryState&) const = default;
};
using FolderState = std::map<std::string, EntryState>;

inline void PrintTo(const EntryState& e, std::ostream* os) {
  *os << (e.isFolder ? "folder" : "file") << " c=" << TimeConvert::toText(e.created)
      << " m=" << TimeConvert::toText(e.modified) << " a=" << TimeConvert::toText(e.accessed)
      << " attrs=" << AttributeText::fromBits(e.attributes) << " '" << e.content << "'";
}

// An edit list with one stage: pairs of UTF-8 names (old, new); icon 1
// for names listed in `folders`.
inline EditList makeEditList(const std::vector<std::pair<std::string, std::string>>& pairs,
                              const std::vector<std::string>& folders = {}) {
  EditList list;
  std::vector<std::string> stage;
  for (const auto& [from, to] : pairs) {
    EditRow row;
    row.isFolder = std::find(folders.begin(), folders.end(), from) != folders.end();
    row.icon = row.isFolder ? 1 : 0;
    if (row.isFolder) ++list.folderCount;
    row.names.push_back(cp(from));
    list.rows.push_back(row);
    stage.push_back(cp(to));
  }
  list.appendStage(stage);
  return list;
}

// The selection list of a folder, every entry unchecked.
class FolderSelection : public UndoSelection {
public:
  FolderSelection(FileSystem& fs, const std::string& folder) {
    std::vector<FileInfo> entries;
    fs.listFolder(folder, entries);
    for (const auto& e : entries) names_.push_back({TextCodec::toInternal(e.name), e.isFolder});
    checked.assign(names_.size(), false);
  }
  std::size_t size() const override { return names_.size(); }
  std::string fullName(std::size_t e) const override { return names_[e].first; }
  bool isChecked(std::size_t e) const override { return checked[e]; }
  void check(std::size_t e) override { checked[e] = true; }
  int icon(std::size_t e) const override { return names_[e].second ? 1 : 0; }
  std::string infoText(std::size_t e) const override { return "2000/01/01 00:00:00 " + std::to_string(e); }
  std::vector<bool> checked;

private:
  std::vector<std::pair<std::string, bool>> names_;
};

// A folder of test files, a real file system behind a fault-injecting one,
// and the settings and options of a run.
class FolderFixture : public ::testing::Test {
protected:
  TempDir dir;
  PosixFileSystem real;
  FaultyFileSystem fs{real};
  NullProgress progress;
  ExecutionSettings settings;
  RunOptions options;
  ScriptedUi ui;

  std::string undoPath() const { return dir / "config/Ritoma.und"; }
  // The undo record of an earlier batch, elsewhere: what a run may replace.
  static std::string olderRecord() {
    UndoLog log;
    log.folder = "/earlier/表/";
    log.records.push_back({"b", "a", false, "", "", "", ""});
    return *UndoFile::encode(log);
  }

  void SetUp() override { dir.makeFolder("config"); dir.makeFolder("work"); }

  std::string work() const { return dir / "work"; }
  std::string disk(std::string_view utf8) const { return work() + "/" + std::string(utf8); }

  // A file with whole-second times (so that time texts restore them
  // exactly) and the given attributes; `n` varies the times per file.
  void makeFile(std::string_view utf8, int n = 0, std::uint32_t attrs = AttrArchive,
                std::string_view content = {}) {
    dir.writeFile("work/" + std::string(utf8), content.empty() ? utf8 : content);
    const FileTime base = TimeConvert::fromUnixSeconds(1500000000 + 1000 * n);
    ASSERT_FALSE(real.setTimes(disk(utf8), base, base + 600'000'000LL, base + 1'200'000'000LL));
    ASSERT_FALSE(real.setAttributes(disk(utf8), attrs));
  }
  void makeFolder(std::string_view utf8) { dir.makeFolder("work/" + std::string(utf8)); }

  FolderState state(const std::string& folder) {
    std::vector<FileInfo> entries;
    EXPECT_FALSE(real.listFolder(folder, entries));
    FolderState out;
    for (const auto& e : entries) {
      EntryState s;
      s.isFolder = e.isFolder;
      if (!e.isFolder) {
        s.created = e.created;
        s.modified = e.modified;
        s.accessed = e.accessed;
        s.attributes = e.attributes;
        // Reading moves the access time; put it back so that taking a
        // state changes nothing.
        EXPECT_FALSE(real.readWholeFile(folder + "/" + e.name, s.content));
        EXPECT_FALSE(real.setTimes(folder + "/" + e.name, std::nullopt, std::nullopt, e.accessed));
      }
      out[e.name] = s;
    }
    return out;
  }
  FolderState state() { return state(work()); }

  PlanList build(const EditList& list) {
    return PlanBuilder::build(list, PlanMode::Folder, work(), fs, progress, settings.greet4);
  }

  // Marks of the rows, in order.
  static std::vector<int> marks(const PlanList& plan) {
    std::vector<int> out;
    for (const auto& r : plan.rows) out.push_back(r.mark);
    return out;
  }
};

}  // namespace ritoma::test
