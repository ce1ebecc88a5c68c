#include "platform/HugePages.h"

#include <gtest/gtest.h>

namespace ritoma {
namespace {

TEST(HugePagesTest, TunableIsAddedOnceAndAUsersChoiceIsKept) {
  struct Row {
    const char* name;
    const char* current;  // nullptr: the variable is unset
    const char* wanted;   // nullptr: nothing to add
  };
  const Row rows[] = {
      {"unset", nullptr, "glibc.malloc.hugetlb=1"},
      {"empty", "", "glibc.malloc.hugetlb=1"},
      {"other tunables kept", "glibc.malloc.check=3:glibc.malloc.tcache_count=0",
       "glibc.malloc.check=3:glibc.malloc.tcache_count=0:glibc.malloc.hugetlb=1"},
      {"already asked for", "glibc.malloc.hugetlb=1", nullptr},
      {"turned off by the user", "glibc.malloc.check=3:glibc.malloc.hugetlb=0", nullptr},
      {"a longer name is another tunable", "glibc.malloc.hugetlbx=1",
       "glibc.malloc.hugetlbx=1:glibc.malloc.hugetlb=1"},
  };
  for (const auto& row : rows) {
    const auto wanted = HugePages::tunablesWith(row.current);
    ASSERT_EQ(wanted.has_value(), row.wanted != nullptr) << row.name;
    if (wanted) {
      EXPECT_EQ(*wanted, row.wanted) << row.name;
    }
  }
}

}  // namespace
}  // namespace ritoma
