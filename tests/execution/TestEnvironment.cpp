#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

// Time texts in these tests are Tokyo local time, whoever runs them.
class TokyoTime : public ::testing::Environment {
public:
  void SetUp() override {
    ::setenv("TZ", "Asia/Tokyo", 1);
    ::tzset();
  }
};

[[maybe_unused]] ::testing::Environment* const kTokyo = ::testing::AddGlobalTestEnvironment(new TokyoTime);

}  // namespace
