#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

#include "support/TempDir.h"

namespace ritoma::test {

// A small file system of one kind, mounted as removable and network media
// meet the program: exFAT through exfat-fuse, FAT through fusefat and NTFS
// through ntfs-3g, each on a loop device over a fresh image file, and
// sshfs over a loopback sshd started for it with its own keys. The
// destructor unmounts, lets the loop device go and stops the sshd, also
// after a failed assertion.
//
//   MountedMedium medium(MountedMedium::Kind::Exfat);
//   if (!medium.skipReason().empty()) GTEST_SKIP() << medium.skipReason();
//   ASSERT_TRUE(medium.failure().empty()) << medium.failure();
//   ... use medium.path() ...
//
// Mounting needs root, /dev/fuse, a free loop device (not for sshfs) and
// the programs scripts/setup installs; where one is missing, skipReason()
// says which.
class MountedMedium {
public:
  enum class Kind { Exfat, Fat, Ntfs, Sshfs };

  explicit MountedMedium(Kind kind);
  ~MountedMedium();
  MountedMedium(const MountedMedium&) = delete;
  MountedMedium& operator=(const MountedMedium&) = delete;

  // The mounted folder, without a trailing "/"; empty when not mounted.
  const std::string& path() const { return mounted_ ? point_ : empty_; }
  // Why the medium cannot be had here (a missing prerequisite); empty
  // when it can.
  const std::string& skipReason() const { return skipReason_; }
  // Why mounting failed although everything it needs is there; empty
  // when it is mounted or skipped.
  const std::string& failure() const { return failure_; }
  // The loop device under the medium ("" for sshfs); it goes when the
  // medium is unmounted.
  const std::string& device() const { return device_; }
  // A working folder beside the mount point, for the test's own files.
  std::string scratch() const { return dir_.path() + "/scratch"; }

  static const char* name(Kind kind);

private:
  bool prerequisites();
  bool makeImage();
  bool attachLoop();
  bool startSshd();
  bool mount();
  void unmount();
  // Runs `args` (args[0] a full path), its output into a log file; true
  // when it exits with 0. On failure `failure_` gets the command and its
  // output.
  bool run(const std::vector<std::string>& args);

  Kind kind_;
  TempDir dir_;  // first member: removed after the medium is unmounted
  std::string point_;
  std::string image_;
  std::string device_;
  std::string skipReason_;
  std::string failure_;
  std::string empty_;
  pid_t sshd_ = -1;
  int port_ = 0;
  bool mounted_ = false;
};

}  // namespace ritoma::test
