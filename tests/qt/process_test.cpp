// The allot program as a process: a second launch on the same store raises the first one's window,
// each quit signal saves the store before the process ends, its files are the user's alone, and
// a launch that cannot take its folder or lock explains itself and stops.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <iterator>
#include <thread>

#include "core/persistence.h"
#include "platform/defaults/sqlite_user_defaults.h"
#include "tests/support/store_files.h"
#include "tests/support/temporary_directory.h"

extern char** environ;

namespace allot::testing {
namespace {

namespace fs = std::filesystem;

class AllotProcess {
 public:
  AllotProcess(const fs::path& dataHome, const fs::path& errors,
               const fs::path& runtime = "/tmp") {
    const std::string dataHomeSetting = "XDG_DATA_HOME=" + dataHome.string();
    std::vector<std::string> environment = {dataHomeSetting, "QT_QPA_PLATFORM=offscreen",
                                            "HOME=" + dataHome.string(), "LANG=C.UTF-8",
                                            "XDG_RUNTIME_DIR=" + runtime.string()};
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

unsigned modeOf(const fs::path& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

// Waits until `ready` holds, for at most 20 seconds.
bool eventually(const std::function<bool()>& ready) {
  for (int i = 0; i < 2000; ++i) {
    if (ready()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

bool hasSocket(const fs::path& folder) {
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.is_socket()) return true;
  }
  return false;
}

// A runtime folder as the system makes one: short, and the user's alone.
class RuntimeFolder {
 public:
  RuntimeFolder() {
    char name[] = "/tmp/allot-runtime-XXXXXX";
    path_ = ::mkdtemp(name);
  }
  ~RuntimeFolder() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// The data home is reached through a link, as a home on another disk or a synced folder is.
TEST(AllotProcess, ASecondLaunchRaisesTheFirstAndEveryQuitSignalSavesPrivately) {
  TemporaryDirectory directory;
  const fs::path home = directory.path() / "linked-home";
  fs::create_directory(directory.path() / "home");
  fs::create_directory_symlink(directory.path() / "home", home);
  const fs::path store = home / "allot" / "defaults.sqlite3";
  const RuntimeFolder runtime;
  const mode_t umask = ::umask(0);  // the children's, as permissive as it gets

  // The first launch finds a budget, which the quit saves back whole; the others start afresh.
  BudgetStore budget;
  addEnvelope(budget, "Rent", 1);
  fs::create_directories(store.parent_path());
  fs::permissions(store.parent_path(), fs::perms::owner_all);
  saveAndCommit(budget, store);
  for (int quitSignal : {SIGTERM, SIGINT, SIGHUP}) {
    if (quitSignal != SIGTERM) fs::remove_all(store.parent_path());
    AllotProcess first(home, home / "first.err", runtime.path());
    EXPECT_TRUE(eventually([&] { return hasSocket(runtime.path()); }))
        << fileBytes(home / "first.err");

    AllotProcess second(home, home / "second.err", runtime.path());
    EXPECT_EQ(second.waitForExit(), 0);
    EXPECT_NE(fileBytes(home / "second.err").find("brought to the front"), std::string::npos)
        << fileBytes(home / "second.err");

    first.signal(quitSignal);
    EXPECT_EQ(first.waitForExit(), 0) << "signal " << quitSignal;
    ASSERT_TRUE(fs::exists(store)) << "nothing was saved on signal " << quitSignal;
    SqliteUserDefaults defaults(store);
    EXPECT_EQ(defaults.valueForKey("totalAmount"), Value(0.0));
    EXPECT_EQ(defaults.valueForKey("detailArrays"),
              quitSignal == SIGTERM ? Value(Value::List{Value::List{"Added 'Rent'"}})
                                    : Value(Value::List{}));
    EXPECT_EQ(modeOf(store.parent_path()), 0700u);
    EXPECT_EQ(modeOf(store), 0600u);
    EXPECT_EQ(modeOf(store.string() + ".lock"), 0600u);
    EXPECT_EQ(std::distance(fs::directory_iterator(store.parent_path()), {}), 2) << "no copy";
    EXPECT_EQ(fileBytes(home / "first.err").find("could not be loaded"), std::string::npos);
  }
  ::umask(umask);
}

// A data folder that others may write, a lock file that cannot be opened, and a lock held by a
// program that does not answer: each stops the launch with one line on standard error and a small
// window saying the same, which stays until closed (here, by a signal).
TEST(AllotProcess, ALaunchThatCannotTakeItsFolderOrLockExplainsAndStops) {
  TemporaryDirectory directory;
  const fs::path& home = directory.path();
  const fs::path folder = home / "allot";
  const fs::path lock = folder / "defaults.sqlite3.lock";
  struct Case {
    const char* name;
    std::function<void()> prepare;
    const char* said;
  };
  int held = -1;
  const Case cases[] = {
      {"shared folder", [&] { fs::create_directory(folder); fs::permissions(folder, fs::perms::all); },
       "may be written by other users"},
      {"lock that cannot be opened", [&] { fs::create_directories(lock); }, "cannot lock"},
      {"lock held by a silent program",
       [&] {
         fs::create_directories(folder);
         held = ::open(lock.c_str(), O_RDWR | O_CREAT, 0600);
         ::flock(held, LOCK_EX);
       },
       "does not answer"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(folder);
    c.prepare();
    AllotProcess allot(home, home / "allot.err");
    EXPECT_TRUE(eventually([&] {
      return fileBytes(home / "allot.err").find(c.said) != std::string::npos;
    })) << fileBytes(home / "allot.err");
    EXPECT_FALSE(fs::exists(folder / "defaults.sqlite3"));
    allot.signal(SIGTERM);
    EXPECT_EQ(allot.waitForExit(), 128 + SIGTERM);
  }
  ::close(held);
}

}  // namespace
}  // namespace allot::testing
