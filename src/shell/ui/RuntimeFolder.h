#pragma once

#include <string>

namespace ritoma {

// The folder that holds the single-instance socket: one that only this user
// can enter, so no other user can publish a socket of that name first (and
// so receive the paths a start hands over) or plant one that makes every
// start fail.
class RuntimeFolder {
public:
  // `runtimeDir` ($XDG_RUNTIME_DIR) when it is private (see isPrivate);
  // otherwise "ritoma" under `cacheHome` ($XDG_CACHE_HOME when absolute,
  // else `home`/.cache), created with mode 0700 when missing and then used
  // only when it is private. Empty when neither can be used.
  static std::string locate(const std::string& runtimeDir, const std::string& cacheHome,
                            const std::string& home);
  // The same from this process's environment.
  static std::string forThisUser();

  // True for an absolute path naming a folder itself (not a link to one)
  // that this user owns and that grants nothing to group or others.
  static bool isPrivate(const std::string& path);
};

}  // namespace ritoma
