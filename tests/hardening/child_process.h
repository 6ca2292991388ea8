// ChildProcess: runs the crash-safety child with a pipe for its report lines (passed as file
// descriptor 3, which the child is told among its arguments) and one for its standard input, reads
// its lines, and kills and reaps it. It never kills anything it did not start, and reaps its child
// when destroyed.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>
#include <vector>

namespace allot::hardening {

class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments) {
    int report[2], input[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return;
    if (::pipe2(input, O_CLOEXEC) != 0) {
      ::close(report[0]);
      ::close(report[1]);
      return;
    }
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
      // dup2 clears close-on-exec on the copies, so only these two reach the program.
      if (::dup2(report[1], 3) < 0 || ::dup2(input[0], STDIN_FILENO) < 0) ::_exit(126);
      ::execv(program.c_str(), argv.data());
      ::_exit(127);
    }
    ::close(report[1]);
    ::close(input[0]);
    reportFd_ = report[0];
    inputFd_ = input[1];
  }
  ~ChildProcess() {
    kill();
    wait();
    ::close(reportFd_);
    ::close(inputFd_);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }

  // The next report line, waiting for it; nothing once the child has closed the pipe (or after a
  // minute of silence, which only a hung child causes).
  std::optional<std::string> readLine() {
    std::size_t end;
    while ((end = buffered_.find('\n')) == std::string::npos) {
      pollfd waiting{reportFd_, POLLIN, 0};
      int ready;
      while ((ready = ::poll(&waiting, 1, 60'000)) < 0 && errno == EINTR) {
      }
      char chunk[4096];
      ssize_t got = 0;
      while (ready > 0 && (got = ::read(reportFd_, chunk, sizeof chunk)) < 0 && errno == EINTR) {
      }
      if (got <= 0) return std::nullopt;
      buffered_.append(chunk, static_cast<std::size_t>(got));
    }
    std::string line = buffered_.substr(0, end);
    buffered_.erase(0, end + 1);
    return line;
  }
  // Every line still to come, up to the end of the pipe; for after the child has ended.
  std::vector<std::string> readRemainingLines() {
    std::vector<std::string> lines;
    while (std::optional<std::string> line = readLine()) lines.push_back(std::move(*line));
    return lines;
  }
  void sendByte() { (void)!::write(inputFd_, "g", 1); }
  void kill() {
    if (pid_ > 0 && !reaped_) ::kill(pid_, SIGKILL);
  }
  // The raw wait status.
  int wait() {
    if (pid_ <= 0 || reaped_) return status_;
    while (::waitpid(pid_, &status_, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
    return status_;
  }

 private:
  pid_t pid_ = -1;
  int reportFd_ = -1;
  int inputFd_ = -1;
  std::string buffered_;
  bool reaped_ = false;
  int status_ = 0;
};

}  // namespace allot::hardening
