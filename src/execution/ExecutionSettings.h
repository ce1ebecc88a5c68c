#pragma once

namespace ritoma {

// The options of section "Option" that the check and the execution read.
struct ExecutionSettings {
  int greet3 = 100;      // progress threshold of the rename check
  int greet4 = 300;      // progress threshold of plan building
  int greet5 = 100;      // progress threshold of the collision check
  bool chkAuto = true;   // the collision check runs by itself
  bool chkStop = false;  // the collision check stops at the first mark
  bool msgExec = true;   // confirm before executing
  bool msgDir = true;    // warn that folders are left out
  bool chkForce = true;  // clear force change after a successful run
};

}  // namespace ritoma
