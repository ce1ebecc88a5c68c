#include "support/ZoneGuard.h"

#include <cstdlib>
#include <ctime>

namespace ritoma {

ZoneGuard::ZoneGuard(const char* zone) {
  if (const char* old = std::getenv("TZ")) old_ = old;
  ::setenv("TZ", zone, 1);
  ::tzset();
}

ZoneGuard::~ZoneGuard() {
  if (old_) ::setenv("TZ", old_->c_str(), 1);
  else ::unsetenv("TZ");
  ::tzset();
}

}  // namespace ritoma
