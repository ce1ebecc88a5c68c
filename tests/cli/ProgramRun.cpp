#include "ProgramRun.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace ritoma::test {

namespace {

int makeCapture() {
  char path[] = "/tmp/ritoma-cli-outXXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) throw std::runtime_error("mkstemp failed");
  unlink(path);
  return fd;
}

std::string readAll(int fd) {
  std::string text;
  lseek(fd, 0, SEEK_SET);
  char buffer[4096];
  ssize_t got;
  while ((got = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(got));
  close(fd);
  return text;
}

}  // namespace

ProgramRun ProgramRun::run(const std::vector<std::string>& args) { return runThrough("", args); }

ProgramRun ProgramRun::runThrough(const std::string& launcher, const std::vector<std::string>& args) {
  return start(RITOMA_CLI_PATH, launcher, args, 0);
}

ProgramRun ProgramRun::runWithin(unsigned seconds, const std::vector<std::string>& args) {
  return start(RITOMA_CLI_PATH, "", args, seconds);
}

ProgramRun ProgramRun::runKillable(const std::vector<std::string>& args) {
  return start(RITOMA_KILLABLE_CLI_PATH, "", args, 0);
}

ProgramRun ProgramRun::start(const std::string& cliPath, const std::string& launcher,
                             const std::vector<std::string>& args, unsigned seconds) {
  int outFd = makeCapture();
  int errFd = makeCapture();
  std::vector<char*> argv;
  std::string cli = cliPath;
  std::string program = launcher.empty() ? cli : launcher;
  argv.push_back(program.data());
  if (!launcher.empty()) argv.push_back(cli.data());
  std::vector<std::string> copies = args;
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);

  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    int in = open("/dev/null", O_RDONLY);
    dup2(in, 0);
    dup2(outFd, 1);
    dup2(errFd, 2);
    alarm(seconds);  // kept across execv; 0 sets none
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  ProgramRun result;
  result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
  result.out = readAll(outFd);
  result.err = readAll(errFd);
  return result;
}

}  // namespace ritoma::test
