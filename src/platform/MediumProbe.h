#pragma once

#include <sys/types.h>

#include <string>

#include "platform/DosAttribStore.h"
#include "platform/FatIoctlStore.h"
#include "platform/FileSystem.h"
#include "platform/NtfsXattrStore.h"
#include "platform/PosixCalls.h"

namespace ritoma {

// Tells what kind of medium a path lies on, from the file system's magic
// number (statfs) and, for FUSE, the mount's type and an NTFS probe: which
// attribute store keeps the attributes and creation time there, and how
// finely times are kept. It owns one store of each kind.
//
//   NTFS (ntfs-3g, ntfs3)    NtfsXattrStore    times exact
//   FAT (vfat)               FatIoctlStore     last write 2 s, last access a day
//   exFAT (kernel)           DosAttribStore    10 ms, last access 2 s
//   exFAT through FUSE       DosAttribStore    2 s; no R
//   FAT through fusefat      DosAttribStore    2 s, no last access; no R
//   sshfs                    DosAttribStore    1 s
//   anything else            DosAttribStore    exact
//
// The last three keep no extended attributes, so S, H, A and a creation
// time are not held there (DosAttribStore finds that out).
class MediumProbe {
public:
  explicit MediumProbe(PosixCalls& calls);

  AttributeStore& storeOf(const std::string& path);
  // The store of the open file or folder `fd`, whose path is `path`.
  AttributeStore& storeOfOpen(int fd, const std::string& path);
  MediumTraits traitsOf(const std::string& path);

  // The type of the mount of the device `device` in a mount table
  // (/proc/self/mountinfo format); empty when it is not there.
  static std::string mountType(const std::string& table, dev_t device);

private:
  enum class Kind { Posix, Sshfs, Ntfs3g, Ntfs3, Vfat, Exfat, ExfatFuse, FatFuse };

  Kind kindOf(long magic, const std::string& path);
  // The kind of the medium holding `path`; Posix where statfs fails.
  Kind kindAt(const std::string& path);
  AttributeStore& storeFor(Kind kind);

  PosixCalls& calls_;
  DosAttribStore dos_;
  NtfsXattrStore ntfs3g_;
  NtfsXattrStore ntfs3_;
  FatIoctlStore fat_;
};

}  // namespace ritoma
