#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ProgramRun.h"

namespace ritoma::test {

// ritoma-cli with the test's settings folder added to the arguments.
using CliRunner = std::function<ProgramRun(std::vector<std::string>)>;

// Three batches on the empty folder `work` through `cli`, `undo --list`
// before and after a file of the oldest is renamed, then `undo` three
// times: each must bring back the names, contents and last-write times the
// folder had before its batch, byte for byte. `prefix` is part of every
// new name (表 or ソ where the medium takes them).
void walkBackThreeBatches(const CliRunner& cli, const std::string& work, const std::string& prefix);

}  // namespace ritoma::test
