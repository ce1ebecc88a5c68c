#pragma once

namespace ritoma {

// The programs' licence as an SPDX expression, as LICENSE, the Debian
// copyright file and the AppStream metadata state it too.
inline constexpr const char* LicenseId = "GPL-3.0-or-later";
// The line that --version prints under the version.
inline constexpr const char* LicenseLine =
    "License GPL-3.0-or-later: GNU GPL version 3 or later; see /usr/share/common-licenses/GPL-3";

}  // namespace ritoma
