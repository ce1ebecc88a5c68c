#pragma once

#include <optional>
#include <string>

namespace ritoma {

// A batch of many files spends most of its time outside the system calls
// on first touches of new memory, one page fault for every 4 KiB. With the
// C library's transparent huge pages (the tunable glibc.malloc.hugetlb)
// one fault brings 2 MiB where the kernel allows it: a million-file plan
// takes about a third less time at the same peak size. The library reads
// its tunables only when a program starts, so a program that wants them
// starts itself once more with the tunable added to GLIBC_TUNABLES.
class HugePages {
public:
  // Starts this program again, with the same arguments and the tunable
  // added. Returns at once when the tunable is set already (also to 0 by
  // the user), in a set-user-ID start (the library drops tunables there),
  // when started through the dynamic loader by hand, or when the program
  // cannot start itself again; it then goes on without. Call it before
  // anything is opened or written.
  static void startWithThem(char* argv[]);

  // The GLIBC_TUNABLES value that adds the tunable to `current` (the
  // variable's value, nullptr when unset), or nullopt when `current`
  // names the tunable already.
  static std::optional<std::string> tunablesWith(const char* current);
};

}  // namespace ritoma
