#pragma once

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// The folder of empty files the listing benchmarks read.
class BenchFolder {
public:
  // Fills `folder` with `count` empty files, named in scrambled order with
  // mixed case so that the sort has work to do.
  static void fill(const std::string& folder, int count) {
    std::filesystem::create_directories(folder);
    for (int i = 0; i < count; ++i) {
      const unsigned n = static_cast<unsigned>(static_cast<unsigned long long>(i) * 2654435761ull % 1000003ull);
      char name[64];
      std::snprintf(name, sizeof name, "%s_%07u%s", (n % 3 == 0) ? "Photo" : "photo", n,
                    (n % 5 == 0) ? ".JPG" : ".jpg");
      std::ofstream(folder + "/" + name);
    }
  }

  // The folder to list: `named`, or when it is empty a new folder made from
  // the mkdtemp pattern `tempPattern` (`made` set; the result is empty when
  // it cannot be made). A new or missing folder is filled with `count` files.
  static std::string prepare(const std::string& named, int count, const std::string& tempPattern, bool& made) {
    std::string folder = named;
    made = false;
    if (folder.empty()) {
      std::vector<char> pattern(tempPattern.begin(), tempPattern.end());
      pattern.push_back('\0');
      if (!mkdtemp(pattern.data())) return {};
      folder = pattern.data();
      made = true;
    }
    if (made || !std::filesystem::exists(folder)) {
      std::printf("creating %d files in %s ...\n", count, folder.c_str());
      fill(folder, count);
    }
    return folder;
  }
};
