// The allot program as a process: a second one on the same store refuses to start, and each quit
// signal saves the store before the process ends.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/persistence.h"
#include "platform/defaults/sqlite_user_defaults.h"
#include "tests/support/temporary_directory.h"

extern char** environ;

namespace allot::testing {
namespace {

namespace fs = std::filesystem;

class AllotProcess {
 public:
  AllotProcess(const fs::path& dataHome, const fs::path& errors) {
    const std::string dataHomeSetting = "XDG_DATA_HOME=" + dataHome.string();
    std::vector<std::string> environment = {dataHomeSetting, "QT_QPA_PLATFORM=offscreen",
                                            "HOME=" + dataHome.string(), "LANG=C.UTF-8"};
    std::vector<char*> envp;
    for (std::string& setting : environment) envp.push_back(setting.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    char program[] = ALLOT_PROGRAM;
    char* argv[] = {program, nullptr};
    if (posix_spawn(&pid_, program, &actions, nullptr, argv, envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~AllotProcess() {
    if (pid_ > 0 && !exited_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }

  // The exit status, or -1 when it did not end within the time.
  int waitForExit(std::chrono::seconds limit = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }
  void signal(int number) { ::kill(pid_, number); }

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
};

TEST(AllotProcess, ASecondInstanceRefusesAndEveryQuitSignalSaves) {
  TemporaryDirectory directory;
  const fs::path& home = directory.path();
  const fs::path store = home / "allot" / "defaults.sqlite3";

  for (int quitSignal : {SIGTERM, SIGINT, SIGHUP}) {
    fs::remove(store);
    AllotProcess first(home, home / "first.err");
    // The lock file appears as the first one starts; give it time to show its window too.
    for (int i = 0; i < 500 && !fs::exists(store.string() + ".lock"); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));

    AllotProcess second(home, home / "second.err");
    EXPECT_EQ(second.waitForExit(), 1);
    EXPECT_NE(fileBytes(home / "second.err").find("another Allot is already running"),
              std::string::npos)
        << fileBytes(home / "second.err");

    first.signal(quitSignal);
    EXPECT_EQ(first.waitForExit(), 0) << "signal " << quitSignal;
    ASSERT_TRUE(fs::exists(store)) << "nothing was saved on signal " << quitSignal;
    SqliteUserDefaults defaults(store);
    EXPECT_EQ(defaults.valueForKey("totalAmount"), Value(0.0));
    EXPECT_EQ(defaults.valueForKey("detailAmountArrays"), Value(Value::List{}));
  }
}

}  // namespace
}  // namespace allot::testing
