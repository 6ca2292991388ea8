#include "tests/hardening/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace allot::hardening {
namespace {

constexpr int kReportFd = 3;
constexpr int kSilenceLimitMs = 60'000;

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments) {
  int report[2];
  int input[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return;
  if (::pipe2(input, O_CLOEXEC) != 0) {
    ::close(report[0]);
    ::close(report[1]);
    return;
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  pid_ = ::fork();
  if (pid_ == 0) {
    // dup2 clears close-on-exec on the copies, so only these two reach the program.
    if (::dup2(report[1], kReportFd) < 0 || ::dup2(input[0], STDIN_FILENO) < 0) ::_exit(126);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(report[1]);
  ::close(input[0]);
  reportFd_ = report[0];
  inputFd_ = input[1];
  if (pid_ < 0) {
    ::close(reportFd_);
    ::close(inputFd_);
    reportFd_ = inputFd_ = -1;
  }
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !reaped_) {
    ::kill(pid_, SIGKILL);
    wait();
  }
  if (reportFd_ >= 0) ::close(reportFd_);
  if (inputFd_ >= 0) ::close(inputFd_);
}

bool ChildProcess::fill() {
  if (reportFd_ < 0) return false;
  pollfd waiting{reportFd_, POLLIN, 0};
  int ready;
  do {
    ready = ::poll(&waiting, 1, kSilenceLimitMs);
  } while (ready < 0 && errno == EINTR);
  if (ready <= 0) return false;
  char chunk[4096];
  ssize_t got;
  do {
    got = ::read(reportFd_, chunk, sizeof chunk);
  } while (got < 0 && errno == EINTR);
  if (got <= 0) return false;
  buffered_.append(chunk, static_cast<std::size_t>(got));
  return true;
}

std::optional<std::string> ChildProcess::readLine() {
  for (;;) {
    const std::size_t end = buffered_.find('\n');
    if (end != std::string::npos) {
      std::string line = buffered_.substr(0, end);
      buffered_.erase(0, end + 1);
      return line;
    }
    if (!fill()) return std::nullopt;
  }
}

std::vector<std::string> ChildProcess::readRemainingLines() {
  std::vector<std::string> lines;
  while (std::optional<std::string> line = readLine()) lines.push_back(std::move(*line));
  return lines;
}

void ChildProcess::sendByte() {
  const char go = 'g';
  if (inputFd_ >= 0) (void)!::write(inputFd_, &go, 1);
}

void ChildProcess::kill() {
  if (pid_ > 0 && !reaped_) ::kill(pid_, SIGKILL);
}

int ChildProcess::wait() {
  if (pid_ <= 0 || reaped_) return status_;
  while (::waitpid(pid_, &status_, 0) < 0 && errno == EINTR) {
  }
  reaped_ = true;
  return status_;
}

}  // namespace allot::hardening
