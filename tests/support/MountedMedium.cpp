#include "support/MountedMedium.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace ritoma::test {

namespace {

// Image sizes: the smallest each tool formats without complaint.
constexpr off_t kImageSize = 8 << 20;

// The full path of `program` on the search path or in the system folders,
// which a test's PATH may leave out; empty when it is nowhere.
std::string findProgram(const std::string& program) {
  std::string dirs = "/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin";
  if (const char* path = std::getenv("PATH")) dirs = std::string(path) + ":" + dirs;
  std::stringstream list(dirs);
  std::string dir;
  while (std::getline(list, dir, ':')) {
    if (dir.empty()) continue;
    const std::string candidate = dir + "/" + program;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string joined(const std::vector<std::string>& args) {
  std::string line;
  for (const auto& a : args) line += (line.empty() ? "" : " ") + a;
  return line;
}

// Starts `args` with standard input from /dev/null and both outputs into
// `log`; -1 when it cannot be started.
pid_t spawn(const std::vector<std::string>& args, const std::string& log) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  const int in = ::open("/dev/null", O_RDONLY);
  const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  if (in < 0 || out < 0) ::_exit(127);
  ::dup2(in, 0);
  ::dup2(out, 1);
  ::dup2(out, 2);
  ::execv(argv[0], argv.data());
  ::_exit(127);
}

int freePort() {
  const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  int port = 0;
  if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) == 0)
    port = ntohs(address.sin_port);
  ::close(s);
  return port;
}

bool accepts(int port) {
  const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(s);
  return ok;
}

struct Tool {
  const char* program;
  const char* package;
};

// The programs each kind needs, with the Debian package of each.
std::vector<Tool> toolsOf(MountedMedium::Kind kind) {
  switch (kind) {
    case MountedMedium::Kind::Exfat:
      return {{"losetup", "mount"}, {"mkfs.exfat", "exfatprogs"}, {"mount.exfat-fuse", "exfat-fuse"}};
    case MountedMedium::Kind::Fat:
      return {{"losetup", "mount"}, {"mkfs.vfat", "dosfstools"}, {"fusefat", "fusefat"}};
    case MountedMedium::Kind::Ntfs:
      return {{"losetup", "mount"}, {"mkntfs", "ntfs-3g"}, {"ntfs-3g", "ntfs-3g"}};
    case MountedMedium::Kind::Sshfs:
      return {{"sshd", "openssh-server"}, {"ssh-keygen", "openssh-client"}, {"sshfs", "sshfs"}};
  }
  return {};
}

}  // namespace

const char* MountedMedium::name(Kind kind) {
  switch (kind) {
    case Kind::Exfat: return "exFAT";
    case Kind::Fat: return "FAT";
    case Kind::Ntfs: return "NTFS";
    case Kind::Sshfs: return "sshfs";
  }
  return "";
}

MountedMedium::MountedMedium(Kind kind) : kind_(kind) {
  point_ = dir_.path() + "/medium";
  dir_.makeFolder("medium");
  dir_.makeFolder("scratch");
  if (!prerequisites()) return;
  if (kind_ == Kind::Sshfs) {
    if (!startSshd()) return;
  } else if (!makeImage() || !attachLoop()) {
    return;
  }
  mounted_ = mount();
}

MountedMedium::~MountedMedium() { unmount(); }

bool MountedMedium::prerequisites() {
  const std::string what = std::string("mounting ") + name(kind_);
  if (::geteuid() != 0) {
    skipReason_ = what + " needs root";
  } else if (::access("/dev/fuse", R_OK | W_OK) != 0) {
    skipReason_ = what + " needs /dev/fuse";
  } else if (kind_ != Kind::Sshfs && ::access("/dev/loop-control", R_OK | W_OK) != 0) {
    skipReason_ = what + " needs a loop device (/dev/loop-control is missing)";
  } else {
    for (const Tool& tool : toolsOf(kind_))
      if (findProgram(tool.program).empty()) {
        skipReason_ = what + " needs " + tool.program + " (package " + tool.package + ", see scripts/setup)";
        break;
      }
  }
  return skipReason_.empty();
}

bool MountedMedium::run(const std::vector<std::string>& args) {
  const std::string log = dir_.path() + "/command.log";
  ::unlink(log.c_str());
  const pid_t pid = spawn(args, log);
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0)
    return true;
  failure_ = joined(args) + " failed: " + readFile(log);
  return false;
}

bool MountedMedium::makeImage() {
  image_ = dir_.path() + "/medium.img";
  const int fd = ::open(image_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  const bool sized = fd >= 0 && ::ftruncate(fd, kImageSize) == 0;
  if (fd >= 0) ::close(fd);
  if (!sized) {
    failure_ = "cannot make " + image_ + ": " + std::strerror(errno);
    return false;
  }
  switch (kind_) {
    case Kind::Exfat: return run({findProgram("mkfs.exfat"), "-L", "CARD", image_});
    case Kind::Fat: return run({findProgram("mkfs.vfat"), image_});
    case Kind::Ntfs: return run({findProgram("mkntfs"), "-F", "-f", "-q", "-L", "DRIVE", image_});
    case Kind::Sshfs: break;
  }
  return false;
}

bool MountedMedium::attachLoop() {
  if (!run({findProgram("losetup"), "-f", "--show", image_})) {
    // Every loop device in use is a missing prerequisite, not a fault.
    skipReason_ = std::string("mounting ") + name(kind_) + " needs a free loop device: " + failure_;
    failure_.clear();
    return false;
  }
  device_ = readFile(dir_.path() + "/command.log");
  while (!device_.empty() && (device_.back() == '\n' || device_.back() == ' ')) device_.pop_back();
  return true;
}

bool MountedMedium::startSshd() {
  const std::string ssh = dir_.path() + "/ssh";
  dir_.makeFolder("ssh");
  dir_.makeFolder("remote");
  const std::string keygen = findProgram("ssh-keygen");
  if (!run({keygen, "-q", "-t", "ed25519", "-N", "", "-f", ssh + "/host"}) ||
      !run({keygen, "-q", "-t", "ed25519", "-N", "", "-f", ssh + "/client"}))
    return false;
  writeFile(ssh + "/authorized_keys", readFile(ssh + "/client.pub"));
  // The privilege separation folder sshd insists on; a system without a
  // running sshd may lack it.
  ::mkdir("/run/sshd", 0755);
  for (int attempt = 0; attempt < 3 && sshd_ < 0; ++attempt) {
    port_ = freePort();
    writeFile(ssh + "/sshd_config", "ListenAddress 127.0.0.1:" + std::to_string(port_) +
                                        "\nHostKey " + ssh + "/host\nAuthorizedKeysFile " + ssh +
                                        "/authorized_keys\nPermitRootLogin prohibit-password\n"
                                        "PasswordAuthentication no\nKbdInteractiveAuthentication no\n"
                                        "UsePAM no\nStrictModes no\nPidFile none\n"
                                        "Subsystem sftp internal-sftp\n");
    const pid_t pid = spawn({findProgram("sshd"), "-D", "-e", "-f", ssh + "/sshd_config"}, ssh + "/sshd.log");
    if (pid < 0) break;
    for (int wait = 0; wait < 250; ++wait) {
      if (accepts(port_)) {
        sshd_ = pid;
        break;
      }
      int status = 0;
      if (::waitpid(pid, &status, WNOHANG) == pid) break;  // the port was taken meanwhile
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (sshd_ < 0 && ::kill(pid, SIGTERM) == 0) ::waitpid(pid, nullptr, 0);
  }
  if (sshd_ < 0) failure_ = "sshd did not start: " + readFile(ssh + "/sshd.log");
  return sshd_ >= 0;
}

bool MountedMedium::mount() {
  bool ok = false;
  switch (kind_) {
    case Kind::Exfat: ok = run({findProgram("mount.exfat-fuse"), device_, point_}); break;
    // fusefat writes FAT's local times from UTC but reads them in its own
    // time zone, so that elsewhere every time it takes reads back hours
    // off (and a run that sets one fails): it runs in UTC.
    case Kind::Fat:
      ok = run({findProgram("env"), "TZ=UTC", findProgram("fusefat"), "-o", "rw+", device_, point_});
      break;
    case Kind::Ntfs: ok = run({findProgram("ntfs-3g"), device_, point_}); break;
    case Kind::Sshfs: {
      const std::string ssh = dir_.path() + "/ssh";
      ok = run({findProgram("sshfs"), "-F", "/dev/null", "-p", std::to_string(port_), "-o",
                "IdentityFile=" + ssh + "/client,StrictHostKeyChecking=no,UserKnownHostsFile=/dev/null,"
                "BatchMode=yes",
                "root@127.0.0.1:" + dir_.path() + "/remote", point_});
      break;
    }
  }
  // The loop device is let go now: the kernel detaches it once the file
  // system closes it, so a test that dies mounted leaves no device behind.
  if (!device_.empty()) {
    const std::string failure = failure_;
    run({findProgram("losetup"), "-d", device_});
    if (!failure.empty()) failure_ = failure;
  }
  return ok;
}

void MountedMedium::unmount() {
  if (mounted_) {
    // A file system still busy with the last request refuses for a moment.
    bool done = false;
    for (int attempt = 0; attempt < 50 && !done; ++attempt) {
      done = ::umount2(point_.c_str(), 0) == 0 || errno == EINVAL || errno == ENOENT;
      if (!done) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!done) ::umount2(point_.c_str(), MNT_DETACH);
    mounted_ = false;
  }
  if (sshd_ > 0) {
    ::kill(sshd_, SIGTERM);
    ::waitpid(sshd_, nullptr, 0);
    sshd_ = -1;
  }
}

}  // namespace ritoma::test
