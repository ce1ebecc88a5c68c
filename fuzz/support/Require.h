#pragma once

#include <cstdio>
#include <cstdlib>

namespace ritoma::fuzz {

// A property of the code under test that failed: libFuzzer records the input
// as a crash.
inline void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "property failed: %s\n", what);
  std::abort();
}

}  // namespace ritoma::fuzz
