#pragma once

#include <optional>
#include <string>

namespace ritoma {

// Puts the process under another time zone (TZ) for its lifetime, and the
// old one back afterwards.
class ZoneGuard {
public:
  explicit ZoneGuard(const char* zone);
  ~ZoneGuard();
  ZoneGuard(const ZoneGuard&) = delete;
  ZoneGuard& operator=(const ZoneGuard&) = delete;

private:
  std::optional<std::string> old_;
};

}  // namespace ritoma
