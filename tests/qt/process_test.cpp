// The allot program as a process: a second launch on the same store raises the first one's window
// (also when both start at once) through a socket in a folder no other user may write to, which
// drops a client that sends too much; each quit signal saves the store before the process ends,
// its files are the user's alone, and a launch that cannot take its folder or lock explains itself
// and stops.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
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
  // As the unprivileged user "nobody" when asked and run by root, who may write anywhere.
  AllotProcess(const fs::path& dataHome, const fs::path& errors, const fs::path& runtime = "/tmp",
               bool asNobody = false)
      : errors_(errors) {
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
    std::vector<std::string> words = {ALLOT_PROGRAM};
    if (asNobody && ::geteuid() == 0) {
      words.insert(words.begin(),
                   {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    }
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~AllotProcess() {
    if (pid_ > 0 && !exited_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }

  // Whether it has ended; status() is then its exit status.
  bool ended() {
    int status = 0;
    if (!exited_ && ::waitpid(pid_, &status, WNOHANG) == pid_) {
      exited_ = true;
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return exited_;
  }
  int status() const { return status_; }
  // The exit status, or -1 when it did not end within the time.
  int waitForExit(std::chrono::seconds limit = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      if (ended()) return status_;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }
  void signal(int number) { ::kill(pid_, number); }
  std::string errors() const { return fileBytes(errors_); }

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
  int status_ = -1;
  fs::path errors_;
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

// The socket in `folder`, empty when there is none (or no folder).
fs::path socketIn(const fs::path& folder) {
  std::error_code absent;
  for (const auto& entry : fs::directory_iterator(folder, absent)) {
    if (entry.is_socket()) return entry.path();
  }
  return {};
}

// Connects to `socket` as another program might and sends a line without end; true once the
// listener closed the connection, having taken far less than the 16 MiB offered.
bool dropsALongLine(const fs::path& socket) {
  constexpr std::size_t kOffered = 16 << 20;
  const int peer = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socket.c_str(), sizeof address.sun_path - 1);
  const std::string chunk(64 * 1024, 'x');
  std::size_t sent = 0;
  const bool closed = ::connect(peer, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                      eventually([&] {
                        while (sent < kOffered) {
                          const ssize_t n = ::send(peer, chunk.data(), chunk.size(), MSG_NOSIGNAL);
                          if (n < 0) return errno != EAGAIN;
                          sent += n;
                        }
                        return true;
                      });
  ::close(peer);
  return closed && sent < kOffered;
}

// A runtime folder as the system makes one: short, and the user's alone. Also a home short
// enough that a socket fits beside the store.
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
  const RuntimeFolder directory;
  const fs::path home = directory.path() / "linked-home";
  fs::create_directory(directory.path() / "home");
  fs::create_directory_symlink(directory.path() / "home", home);
  const fs::path store = home / "allot" / "defaults.sqlite3";
  const RuntimeFolder runtime;
  const mode_t umask = ::umask(0);  // the children's, as permissive as it gets

  // The first launch finds a budget, which the quit saves back whole; the others start afresh.
  // The runtime folder is the user's alone at first, where the socket goes; then others may
  // write to it (0777, 1777), and the socket goes beside the store instead. The last two launches
  // start at the same moment.
  BudgetStore budget;
  addEnvelope(budget, "Rent", 1);
  fs::create_directories(store.parent_path());
  fs::permissions(store.parent_path(), fs::perms::owner_all);
  saveAndCommit(budget, store);
  struct Case {
    int quitSignal;
    fs::perms runtimeMode;
    bool together;
  };
  for (const Case& c :
       {Case{SIGTERM, fs::perms::owner_all, false}, Case{SIGINT, fs::perms::all, false},
        Case{SIGHUP, fs::perms::all | fs::perms::sticky_bit, true}}) {
    const int quitSignal = c.quitSignal;
    if (quitSignal != SIGTERM) fs::remove_all(store.parent_path());
    fs::permissions(runtime.path(), c.runtimeMode);
    const fs::path socketFolder =
        c.runtimeMode == fs::perms::owner_all ? runtime.path() : store.parent_path();
    AllotProcess one(home, home / "one.err", runtime.path());
    if (!c.together) {
      EXPECT_TRUE(eventually([&] { return !socketIn(socketFolder).empty(); })) << one.errors();
    }
    AllotProcess two(home, home / "two.err", runtime.path());

    // Exactly one of them ends, having raised the other's window.
    ASSERT_TRUE(eventually([&] { return one.ended() || two.ended(); }));
    AllotProcess& raiser = two.ended() ? two : one;
    AllotProcess& first = &raiser == &two ? one : two;
    EXPECT_EQ(raiser.status(), 0) << "signal " << quitSignal;
    EXPECT_NE(raiser.errors().find("brought to the front"), std::string::npos) << raiser.errors();
    EXPECT_FALSE(first.ended()) << "signal " << quitSignal;
    if (socketFolder != runtime.path()) EXPECT_EQ(socketIn(runtime.path()), fs::path());
    EXPECT_TRUE(dropsALongLine(socketIn(socketFolder))) << "signal " << quitSignal;

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
    for (const auto& entry : fs::directory_iterator(store.parent_path())) {
      EXPECT_EQ(entry.path().string().find(".unloadable-"), std::string::npos) << "a copy aside";
    }
    EXPECT_EQ(first.errors().find("could not be loaded"), std::string::npos) << first.errors();
  }
  ::umask(umask);
}

// A data folder that cannot be written and holds no lock file yet: the budget is shown, said to be
// read-only, and nothing is written there. A limit on the size of files is reported like a full
// disk.
TEST(AllotProcess, AFolderThatCannotBeWrittenOrGrowIsReportedNotFatal) {
  const RuntimeFolder directory;
  const fs::path home = directory.path() / "home";
  const fs::path store = home / "allot" / "defaults.sqlite3";
  BudgetStore budget;
  addEnvelope(budget, "Rent", 1);
  saveAndCommit(budget, store);
  const std::string bytes = fileBytes(store);
  fs::create_directory(home / "runtime");
  if (::geteuid() == 0) {
    fs::permissions(directory.path(), fs::perms(0755));
    for (const fs::path& path : {home, home / "runtime", store.parent_path(), store}) {
      ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    }
  }
  fs::permissions(store.parent_path(), fs::perms(0500));
  AllotProcess allot(home, directory.path() / "allot.err", home / "runtime", true);
  EXPECT_TRUE(eventually([&] { return allot.errors().find("read-only") != std::string::npos; }))
      << allot.errors();
  EXPECT_FALSE(allot.ended()) << allot.errors();
  allot.signal(SIGTERM);
  EXPECT_EQ(allot.waitForExit(), 0);
  EXPECT_EQ(fileBytes(store), bytes);
  EXPECT_FALSE(fs::exists(store.string() + ".lock"));
  fs::permissions(store.parent_path(), fs::perms::owner_all);

  // Under a file-size limit a save fails as on a full disk, said, instead of ending the process.
  const fs::path fresh = directory.path() / "fresh";
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit small{4096, limit.rlim_max};
  ::setrlimit(RLIMIT_FSIZE, &small);
  AllotProcess limited(fresh, directory.path() / "limited.err", home / "runtime");
  ::setrlimit(RLIMIT_FSIZE, &limit);
  EXPECT_TRUE(eventually([&] { return fs::exists(fresh / "allot" / "defaults.sqlite3.lock"); }));
  limited.signal(SIGTERM);
  EXPECT_EQ(limited.waitForExit(), 0);
  EXPECT_NE(limited.errors().find("Could not save"), std::string::npos) << limited.errors();
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
      {"shared folder",
       [&] {
         fs::create_directory(folder);
         fs::permissions(folder, fs::perms::all);
       },
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
