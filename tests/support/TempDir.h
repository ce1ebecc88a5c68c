#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ritoma {

// A fresh folder under $TMPDIR (or /tmp), removed with everything in it
// when the object goes away, read-only files and folders included.
// Names are raw bytes, so test names that are not valid UTF-8 work too.
// Helpers throw std::runtime_error on failure, so a broken fixture fails
// the test loudly.
//
//   TempDir dir;
//   dir.writeFile("\x95\x5c.txt", "data");   // any bytes as the name
//   dir.makeFolder("sub");
//   dir.writeFile("sub/a", "");             // relative paths are fine
//   EXPECT_EQ(dir.names(), (std::vector<std::string>{"sub", "\x95\x5c.txt"}));
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, without a trailing "/".
  const std::string& path() const { return path_; }
  // path() + "/" + relative.
  std::string operator/(std::string_view relative) const;

  // Creates or overwrites the file `relative` with `content`.
  void writeFile(std::string_view relative, std::string_view content = {}) const;
  void makeFolder(std::string_view relative) const;
  // Content of the file `relative`.
  std::string readFile(std::string_view relative) const;
  bool exists(std::string_view relative) const;
  // Names in the folder `relative` (the TempDir itself when empty), sorted
  // bytewise, without "." and "..".
  std::vector<std::string> names(std::string_view relative = {}) const;

private:
  std::string path_;
};

}  // namespace ritoma
