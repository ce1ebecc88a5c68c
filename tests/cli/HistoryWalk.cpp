#include "HistoryWalk.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace ritoma::test {

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Each entry of `folder` as "name|content|mtime seconds.nanoseconds", sorted.
std::vector<std::string> snapshot(const std::string& folder) {
  std::vector<std::string> out;
  if (DIR* listing = ::opendir(folder.c_str())) {
    while (const dirent* entry = ::readdir(listing)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      struct stat st{};
      EXPECT_EQ(::stat((folder + "/" + name).c_str(), &st), 0) << name;
      out.push_back(name + "|" + readFile(folder + "/" + name) + "|" + std::to_string(st.st_mtim.tv_sec) +
                    "." + std::to_string(st.st_mtim.tv_nsec));
    }
    ::closedir(listing);
  }
  std::sort(out.begin(), out.end());
  return out;
}

// The fields of each line of `undo --list --tsv` but the time, which is
// only checked for its form.
std::vector<std::vector<std::string>> listed(const CliRunner& cli) {
  const ProgramRun list = cli({"undo", "--list", "--tsv"});
  EXPECT_EQ(list.status, 0) << list.err;
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(list.out);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> fields;
    std::istringstream parts(line);
    for (std::string field; std::getline(parts, field, '\t');) fields.push_back(field);
    EXPECT_EQ(fields.size(), 5u) << line;
    if (fields.size() != 5) continue;
    EXPECT_EQ(fields[1].size(), 19u) << fields[1];
    fields.erase(fields.begin() + 1);
    rows.push_back(fields);
  }
  return rows;
}

}  // namespace

void walkBackThreeBatches(const CliRunner& cli, const std::string& work, const std::string& prefix) {
  const std::vector<std::string> files = {prefix + "1.txt", "2.txt", "c.txt"};
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string path = work + "/" + files[i];
    std::ofstream(path, std::ios::binary) << i;
    const timespec times[2] = {{1500000000, 0}, {1500000000 + 3600 * static_cast<time_t>(i), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
  }
  std::vector<std::vector<std::string>> states{snapshot(work)};
  auto expectRun = [&](std::vector<std::string> args) {
    const ProgramRun run = cli(args);
    ASSERT_EQ(run.status, 0) << run.err << run.out;
    states.push_back(snapshot(work));
  };
  // All three files; then two of them with a new time; then one.
  ASSERT_NO_FATAL_FAILURE(expectRun({"run", "-t", prefix + "_/f", work}));
  ASSERT_NO_FATAL_FAILURE(expectRun({"run", "--modified", "2020/01/02 03:04:06", "-r", "_", "-w", "-",
                                     work + "/" + prefix + "_2.txt", work + "/" + prefix + "_c.txt"}));
  ASSERT_NO_FATAL_FAILURE(expectRun({"run", "-r", "c", "-w", "d", work + "/" + prefix + "-c.txt"}));
  ASSERT_EQ(states[3].size(), 3u);
  EXPECT_NE(states[3], states[0]);

  using Rows = std::vector<std::vector<std::string>>;
  EXPECT_EQ(listed(cli), (Rows{{"1", "1", "ok", work}, {"2", "2", "ok", work}, {"3", "3", "ok", work}}));
  // A file of the oldest batch only, renamed by hand and named back.
  const std::string moved = work + "/" + prefix + "_" + prefix + "1.txt";
  ASSERT_EQ(std::rename(moved.c_str(), (work + "/gone").c_str()), 0);
  EXPECT_EQ(listed(cli), (Rows{{"1", "1", "ok", work}, {"2", "2", "ok", work}, {"3", "3", "changed", work}}));
  ASSERT_EQ(std::rename((work + "/gone").c_str(), moved.c_str()), 0);

  for (std::size_t left = 3; left-- > 0;) {
    SCOPED_TRACE("undo back to state " + std::to_string(left));
    const ProgramRun undo = cli({"undo"});
    ASSERT_EQ(undo.status, 0) << undo.err << undo.out;
    EXPECT_EQ(snapshot(work), states[left]);
    if (left > 0) {
      EXPECT_EQ(listed(cli).size(), left);
    }
  }
  const ProgramRun none = cli({"undo", "--list"});
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("UNDO情報はありません"), std::string::npos) << none.err;
}

}  // namespace ritoma::test
