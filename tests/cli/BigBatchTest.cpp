#include <fcntl.h>
#include <sys/stat.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "execution/UndoFile.h"
#include "platform/TimeConvert.h"
#include "support/TempDir.h"
#include "support/ZoneGuard.h"

namespace ritoma::test {
namespace {

constexpr int kFiles = 20'000;  // several blocks of rows for every core

// The files of a batch big enough that its listing, conversions, checks,
// records and table are shared out to the cores: names in three groups
// (ASCII, and with ソ or 表, whose second byte in code page 932 is the
// backslash), in the order the program sorts them, with modification times
// about 27 minutes apart, so that the batch spans a year and both clock
// changes of the zone.
class BigBatch : public ::testing::Test {
protected:
  BigBatch() : zone_("Europe/Berlin") {
    dir.makeFolder("work");
    dir.makeFolder("cfg");
    for (int i = 0; i < kFiles; ++i) {
      static const char* const kGroups[] = {"img_", "ソ_", "表_"};
      char number[16];
      std::snprintf(number, sizeof number, "%05d", i / 3);
      const std::string name = std::string(kGroups[i % 3]) + number + ".jpg";
      dir.writeFile("work/" + name, name);
      const timespec times[2] = {{kFirstTime + i * 1601, 0}, {kFirstTime + i * 1601, 0}};
      if (::utimensat(AT_FDCWD, (dir / ("work/" + name)).c_str(), times, 0) != 0) throw std::runtime_error(name);
      sorted.push_back(name);
      modified.push_back(kFirstTime + i * 1601);
    }
    // img_ < ソ_ < 表_, each group by number: the program's name order.
    std::vector<int> order(kFiles);
    for (int i = 0; i < kFiles; ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [](int a, int b) { return a % 3 < b % 3; });
    std::vector<std::string> names;
    std::vector<std::int64_t> times;
    for (int i : order) {
      names.push_back(sorted[i]);
      times.push_back(modified[i]);
    }
    sorted = std::move(names);
    modified = std::move(times);
  }

  ProgramRun cli(std::vector<std::string> args) const {
    args.insert(args.begin() + 1, {"--config-dir", dir / "cfg"});
    return ProgramRun::run(args);
  }

  static constexpr std::int64_t kFirstTime = 1'700'000'000;  // 2023-11-14

  ZoneGuard zone_;
  TempDir dir;
  std::vector<std::string> sorted;      // the names in the program's order
  std::vector<std::int64_t> modified;   // their modification times
};

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

// The table, the names on the disk and every row of the undo record are
// those of a batch done row by row; the undo puts every name back.
TEST_F(BigBatch, RunAndUndoAsRowByRow) {
  ProgramRun r = cli({"run", "--tsv", "-t", "x_/f", dir / "work"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> table = lines(r.out);
  ASSERT_EQ(table.size(), sorted.size());
  int wrong = 0;
  for (std::size_t i = 0; i < sorted.size() && wrong < 5; ++i) {
    if (table[i] == sorted[i] + "\tx_" + sorted[i] + "\tok") continue;
    ADD_FAILURE() << "row " << i << ": " << table[i];
    ++wrong;
  }
  std::vector<std::string> expected;
  for (const std::string& name : sorted) expected.push_back("x_" + name);
  std::vector<std::string> onDisk = dir.names("work");
  std::sort(expected.begin(), expected.end());
  EXPECT_TRUE(onDisk == expected);

  UndoLog log;
  ASSERT_EQ(UndoFile::decode(dir.readFile("cfg/Ritoma.und"), log), UndoFile::Status::Ok);
  ASSERT_EQ(log.records.size(), sorted.size());
  for (std::size_t i = 0; i < sorted.size() && wrong < 5; ++i) {
    const UndoRecord& record = log.records[i];
    const std::string time = TimeConvert::toText(TimeConvert::fromUnixSeconds(modified[i]));
    if (record.oldName == sorted[i] && record.newName == "x_" + sorted[i] && record.modified == time)
      continue;
    ADD_FAILURE() << "record " << i << ": " << record.oldName << " -> " << record.newName << " at "
                  << record.modified << ", expected " << time;
    ++wrong;
  }

  ProgramRun undo = cli({"undo", "--yes", "--tsv"});
  ASSERT_EQ(undo.status, 0) << undo.err;
  onDisk = dir.names("work");
  expected = sorted;
  std::sort(expected.begin(), expected.end());
  EXPECT_TRUE(onDisk == expected);
  EXPECT_EQ(dir.readFile("work/表_06665.jpg"), "表_06665.jpg");
}

// The checks shared out to the cores find the rows a check row by row
// finds, and only those: a forbidden character and a pair of names that
// differ only in case in the name check, then a name still held by a later
// row in the check of the plan.
TEST_F(BigBatch, ChecksFindTheSameRows) {
  dir.writeFile("work/IMG_00100.JPG");
  ProgramRun names = cli({"plan", "--tsv", "-t", "x_/f", "-r", "img_01234", "-w", "img:01234", dir / "work"});
  EXPECT_EQ(names.status, 1) << names.err;
  std::vector<std::string> failed;
  for (const std::string& line : lines(names.out))
    if (line.substr(line.rfind('\t') + 1) != "ok") failed.push_back(line.substr(0, line.find('\t')));
  std::sort(failed.begin(), failed.end());
  EXPECT_EQ(failed, (std::vector<std::string>{"IMG_00100.JPG", "img_00100.jpg", "img_01234.jpg"}));

  ::unlink((dir / "work/IMG_00100.JPG").c_str());
  dir.writeFile("work/x_img_06000.jpg");
  ProgramRun plan = cli({"plan", "--tsv", "-t", "x_/f", dir / "work"});
  EXPECT_EQ(plan.status, 1) << plan.err;
  failed.clear();
  for (const std::string& line : lines(plan.out))
    if (line.substr(line.rfind('\t') + 1) != "ok") failed.push_back(line);
  EXPECT_EQ(failed, (std::vector<std::string>{"img_06000.jpg\tx_img_06000.jpg\tblocked"}));
  EXPECT_EQ(dir.names("work").size(), static_cast<std::size_t>(kFiles) + 1);
}

}  // namespace
}  // namespace ritoma::test
