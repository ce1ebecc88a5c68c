#include "platform/MediumProbe.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace ritoma {

namespace {

// Magic numbers of statfs (linux/magic.h; exFAT's is missing from older
// headers).
constexpr long kFuseMagic = 0x65735546;
constexpr long kMsdosMagic = 0x4d44;
constexpr long kExfatMagic = 0x2011BAB0;
constexpr long kNtfsMagic = 0x5346544e;

constexpr FileTime kTenMilliseconds = 100'000;
constexpr FileTime kSecond = 10'000'000;
constexpr FileTime kDay = 86'400 * kSecond;

}  // namespace

MediumProbe::MediumProbe(PosixCalls& calls)
    : calls_(calls),
      dos_(calls),
      ntfs3g_(calls, NtfsXattrStore::Driver::Ntfs3g),
      ntfs3_(calls, NtfsXattrStore::Driver::Ntfs3),
      fat_(calls) {}

std::string MediumProbe::mountType(const std::string& table, dev_t device) {
  const std::string id = std::to_string(major(device)) + ":" + std::to_string(minor(device));
  std::size_t start = 0;
  while (start < table.size()) {
    std::size_t end = table.find('\n', start);
    if (end == std::string::npos) end = table.size();
    const std::string_view line(table.data() + start, end - start);
    start = end + 1;
    // "36 35 98:0 /root /mnt opts [optional fields] - type source superopts"
    const std::size_t first = line.find(' ');
    const std::size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
    if (second == std::string_view::npos) continue;
    const std::size_t third = line.find(' ', second + 1);
    if (line.substr(second + 1, third - second - 1) != id) continue;
    const std::size_t dash = line.find(" - ");
    if (dash == std::string_view::npos) continue;
    const std::size_t typeEnd = line.find(' ', dash + 3);
    return std::string(line.substr(dash + 3, typeEnd == std::string_view::npos ? typeEnd : typeEnd - dash - 3));
  }
  return {};
}

MediumProbe::Kind MediumProbe::kindOf(long magic, const std::string& path) {
  switch (magic) {
    case kMsdosMagic: return Kind::Vfat;
    case kExfatMagic: return Kind::Exfat;
    case kNtfsMagic: return Kind::Ntfs3;
    case kFuseMagic: break;
    default: return Kind::Posix;
  }
  // FUSE mounts of a block device are all "fuseblk": ntfs-3g answers its
  // own attribute, and the others are exFAT's.
  if (NtfsXattrStore::answersNtfs3g(calls_, path)) return Kind::Ntfs3g;
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) return Kind::Posix;
  const std::string type = mountType(calls_.mountInfo(), st.st_dev);
  if (type == "fuseblk" || type.find("exfat") != std::string::npos) return Kind::ExfatFuse;
  if (type.find("fat") != std::string::npos) return Kind::FatFuse;
  if (type == "fuse.sshfs") return Kind::Sshfs;
  return Kind::Posix;
}

AttributeStore& MediumProbe::storeFor(Kind kind) {
  switch (kind) {
    case Kind::Ntfs3g: return ntfs3g_;
    case Kind::Ntfs3: return ntfs3_;
    case Kind::Vfat: return fat_;
    default: return dos_;
  }
}

MediumProbe::Kind MediumProbe::kindAt(const std::string& path) {
  struct statfs fs{};
  return calls_.statfs(path.c_str(), &fs) == 0 ? kindOf(static_cast<long>(fs.f_type), path) : Kind::Posix;
}

AttributeStore& MediumProbe::storeOf(const std::string& path) { return storeFor(kindAt(path)); }

AttributeStore& MediumProbe::storeOfOpen(int fd, const std::string& path) {
  struct statfs fs{};
  if (calls_.fstatfs(fd, &fs) != 0) return dos_;
  return storeFor(kindOf(static_cast<long>(fs.f_type), path));
}

MediumTraits MediumProbe::traitsOf(const std::string& path) {
  const Kind kind = kindAt(path);
  MediumTraits traits;
  switch (kind) {
    case Kind::Ntfs3g:
    case Kind::Ntfs3:
      return traits;
    case Kind::Vfat:
      traits.creationTime = false;
      traits.createdStep = kTenMilliseconds;
      traits.modifiedStep = 2 * kSecond;
      traits.accessedStep = kDay;
      return traits;
    case Kind::Exfat:
      traits.createdStep = traits.modifiedStep = kTenMilliseconds;
      traits.accessedStep = 2 * kSecond;
      break;
    case Kind::ExfatFuse:
      traits.readOnly = false;
      traits.createdStep = traits.modifiedStep = traits.accessedStep = 2 * kSecond;
      break;
    case Kind::FatFuse:
      traits.readOnly = false;
      traits.createdStep = traits.modifiedStep = 2 * kSecond;
      traits.accessedStep = 0;
      break;
    case Kind::Sshfs:
      traits.createdStep = traits.modifiedStep = traits.accessedStep = kSecond;
      break;
    case Kind::Posix:
      break;
  }
  traits.creationTime = traits.dosAttributes = dos_.heldAt(path);
  return traits;
}

}  // namespace ritoma
