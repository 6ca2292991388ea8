// ChildProcess: runs the crash-safety child with a pipe for its report lines and one for its
// standard input, reads its lines, and kills and reaps it. It never kills anything it did not
// start, and reaps its child when destroyed.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace allot::hardening {

class ChildProcess {
 public:
  // Starts `program` with `arguments`; the report pipe's write end is passed as file descriptor 3
  // (the child is told its number among the arguments).
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  // The next report line, waiting for it; nothing once the child has closed the pipe (or after a
  // minute of silence, which only a hung child causes).
  std::optional<std::string> readLine();
  // Every line still to come, up to the end of the pipe; for after the child has ended.
  std::vector<std::string> readRemainingLines();
  void sendByte();
  void kill();
  // The raw wait status.
  int wait();

 private:
  bool fill();

  pid_t pid_ = -1;
  int reportFd_ = -1;
  int inputFd_ = -1;
  std::string buffered_;
  bool reaped_ = false;
  int status_ = 0;
};

}  // namespace allot::hardening
