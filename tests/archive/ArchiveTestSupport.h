#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "archive/ArcInfo.h"
#include "archive/ArchiveBackend.h"
#include "platform/PosixFileSystem.h"
#include "shell/ProgressSink.h"

namespace ritoma::test {

inline std::string fixturePath(const std::string& name) {
  return std::string(RITOMA_FIXTURES) + "/archive/" + name;
}

inline std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Runs a shell command; returns its exit status and fills `output` with
// what it printed (stdout and stderr).
inline int runTool(const std::string& command, std::string* output = nullptr) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  std::string text;
  char buffer[4096];
  std::size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, got);
  const int status = pclose(pipe);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::string quoted(const std::string& path) { return "'" + path + "'"; }

inline std::vector<ArcInfo> listOrFail(FileSystem& fs, ArcKind kind, const std::string& path) {
  std::vector<ArcInfo> entries;
  std::string error;
  if (!ArchiveBackend::list(fs, kind, path, entries, error))
    throw std::runtime_error("listing failed: " + error);
  return entries;
}

inline std::vector<std::string> names(const std::vector<ArcInfo>& entries) {
  std::vector<std::string> out;
  for (const ArcInfo& e : entries) out.push_back(e.name);
  return out;
}

// Name -> content of every stored file, extracted through the back end.
inline std::vector<std::pair<std::string, std::string>> contents(FileSystem& fs, ArcKind kind,
                                                                 const std::string& path) {
  ArchiveBackend backend(fs, kind);
  std::vector<std::pair<std::string, std::string>> out;
  for (const ArcInfo& e : listOrFail(fs, kind, path)) {
    if (e.isDirectory()) continue;
    std::string data;
    if (!backend.extractMem(path, e, data))
      throw std::runtime_error("extraction failed: " + backend.lastError());
    out.emplace_back(e.name, data);
  }
  return out;
}

// Contents of the fixture files (see tests/fixtures/README.md).
inline std::string plainText() { return "plain stored text\n"; }
inline std::string linesText() {
  std::string text;
  char line[64];
  for (int i = 1; i <= 200; ++i) {
    std::snprintf(line, sizeof line, "line %03d of a Shift_JIS named file\n", i);
    text += line;
  }
  return text;
}
inline std::string binaryData() {
  std::string data;
  for (int r = 0; r < 8; ++r)
    for (int b = 0; b < 256; ++b) data += static_cast<char>(b);
  return data;
}

// A progress window that records what it was asked to show.
class RecordingProgress : public ProgressSink {
public:
  void open(std::string_view caption, std::int64_t maximum) override {
    caption_ = caption;
    maximum_ = maximum;
    open_ = true;
    ++opened_;
  }
  void setMaximum(std::int64_t maximum) override { maximum_ = maximum; }
  void step() override { ++steps_; }
  void close() override { open_ = false; }
  bool isOpen() const override { return open_; }

  std::string caption_;
  std::int64_t maximum_ = 0;
  std::int64_t steps_ = 0;
  int opened_ = 0;
  bool open_ = false;
};

}  // namespace ritoma::test
