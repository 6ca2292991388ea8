// A process killed in the middle of saving, again and again, or whose disk fills up: what is on
// disk must always load, and be exactly one state that it committed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

#include "core/envelope_editing.h"
#include "core/envelope_list.h"
#include "core/persistence.h"
#include "core/transactions.h"
#include "platform/defaults/sqlite_user_defaults.h"
#include "tests/support/samples.h"
#include "tests/support/store_files.h"
#include "tests/support/temporary_directory.h"

namespace fs = std::filesystem;

namespace allot::hardening {
namespace {

using testing::fileBytes;
using testing::runSql;
using testing::sameBudget;
using testing::saveAndCommit;
using testing::sizeableBudget;
using testing::TemporaryDirectory;
using testing::writeOlderLayoutFile;
constexpr int kKills = 240;

// Generation g is the empty store after g steps of the real operations (adding, editing and moving
// envelopes, recording 1.00), so that every state the child commits names its generation in the
// total and can be compared whole with the state expected for it. Nothing: no generation's total.
std::optional<std::uint64_t> generationOf(const BudgetStore& store) {
  const double total = store.totalAmount();
  if (!(total >= 0.0) || total > 1e9 || std::trunc(total) != total) return std::nullopt;
  return static_cast<std::uint64_t>(total);
}

// Turns generation g into generation g + 1.
void advanceGeneration(BudgetStore& store, NumberFormatter& formatter) {
  const std::uint64_t next = generationOf(store).value_or(0) + 1;
  const std::string tag = std::to_string(next);
  if (store.envelopeCount() == 0 || next % 8 == 0) {
    addEnvelope(store, "Envelope " + tag, static_cast<std::int64_t>(next % 5));
  }
  const std::size_t count = store.envelopeCount();
  if (next % 50 == 0) updateEnvelope(store, next / 50 % count, "Renamed in " + tag, 1);
  if (next % 11 == 0) moveEnvelope(store, count - 1, 0);
  // Notes of varying length, so that commits change different numbers of pages.
  std::string note = "generation " + tag + " " + std::string(next % 97, '.');
  recordTransaction(store, next % count, std::move(note), "1", "add", formatter);
}

// The child, run as "hardening_tests --crash-child STORE_FILE [FILE_SIZE_LIMIT]": it loads the
// budget and then, generation after generation, changes it, saves it and commits it, writing a
// line to file descriptor 3 after each step: "loaded <g>" once, then "committed <g>" or
// "failed <g> <why>". With FILE_SIZE_LIMIT it runs under that RLIMIT_FSIZE (SIGXFSZ ignored, so
// that writes fail with EFBIG as on a full disk) until a commit fails; it then waits for a byte on
// standard input, lifts the limit, commits once more and exits.
int crashChild(const char* file, const char* limit) {
  auto report = [](const std::string& line) { ::dprintf(3, "%s\n", line.c_str()); };
  if (limit != nullptr) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limited{static_cast<rlim_t>(std::strtoull(limit, nullptr, 10)), RLIM_INFINITY};
    if (::setrlimit(RLIMIT_FSIZE, &limited) != 0) return 2;
  }
  SqliteUserDefaults defaults(file);
  auto [loaded, store] = testing::loadFrom(defaults);
  const std::optional<std::uint64_t> start = generationOf(store);
  if (!loaded.isOk() || !start) {
    report("unloadable " + loaded.message());
    return 3;
  }
  report("loaded " + std::to_string(*start));
  NumberFormatter formatter("en_US");
  auto commit = [&](std::uint64_t generation) {
    const Status committed = defaults.synchronize();
    report(committed.isOk() ? "committed " + std::to_string(generation)
                            : "failed " + std::to_string(generation) + " " + committed.message());
    return committed.isOk();
  };
  for (std::uint64_t generation = *start + 1; generation <= 100'000; ++generation) {
    advanceGeneration(store, formatter);
    saveStore(store, defaults);
    if (commit(generation)) continue;
    char go = 0;
    if (limit == nullptr || ::read(STDIN_FILENO, &go, 1) != 1) return 4;
    const rlimit lifted{RLIM_INFINITY, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &lifted);
    return commit(generation) ? 0 : 4;
  }
  return 0;
}

// Runs the child with a pipe for its report lines, as file descriptor 3, and one for its standard
// input; reads its lines, and kills and reaps it. It never kills anything it did not start, and
// reaps its child when destroyed.
class ChildProcess {
 public:
  explicit ChildProcess(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"/proc/self/exe", "--crash-child"});
    int report[2], input[2];
    if (::pipe2(report, O_CLOEXEC) != 0 || ::pipe2(input, O_CLOEXEC) != 0) return;
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
      // dup2 clears close-on-exec on the copies, so only these two reach the program.
      if (::dup2(report[1], 3) < 0 || ::dup2(input[0], STDIN_FILENO) < 0) ::_exit(126);
      ::execv(argv[0], argv.data());
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
  void sendByte() { (void)!::write(inputFd_, "g", 1); }
  void kill() {
    if (pid_ > 0) ::kill(pid_, SIGKILL);
  }
  // The raw wait status; the child is then reaped and no longer killed.
  int wait() {
    int status = 0;
    while (pid_ > 0 && ::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return status;
  }

 private:
  pid_t pid_ = -1;
  int reportFd_ = -1;
  int inputFd_ = -1;
  std::string buffered_;
};

// Generations in order, built by the same steps the child takes.
class ExpectedGenerations {
 public:
  const BudgetStore& at(std::uint64_t generation) {
    if (generation < generation_) {
      store_ = BudgetStore();
      generation_ = 0;
    }
    for (; generation_ < generation; ++generation_) advanceGeneration(store_, formatter_);
    return store_;
  }

 private:
  NumberFormatter formatter_{"en_US"};
  BudgetStore store_;
  std::uint64_t generation_ = 0;
};

// Loads the file as the application would and returns its generation after checking that the
// whole store is that generation's. A store mixing keys from two commits would differ from both
// generations somewhere.
std::optional<std::uint64_t> loadGeneration(const fs::path& file, ExpectedGenerations& expected) {
  SqliteUserDefaults defaults(file);
  BudgetStore store;
  const Status loaded = loadStore(store, defaults);
  EXPECT_TRUE(loaded.isOk()) << loaded.message();
  EXPECT_EQ(defaults.readStatus().message(), "");
  const std::optional<std::uint64_t> generation = generationOf(store);
  EXPECT_TRUE(generation && testing::sameBudget(store, expected.at(*generation)))
      << "total " << store.totalAmount();
  return generation;
}

// The child's lines must be "loaded <g>" for the generation `onDisk` last seen on disk, then
// "committed <g + 1>", "committed <g + 2>"... Returns the last generation the child acknowledged.
std::uint64_t acknowledged(const std::vector<std::string>& lines, std::uint64_t onDisk) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i], (i == 0 ? "loaded " : "committed ") + std::to_string(onDisk + i));
  }
  return onDisk + (lines.empty() ? 0 : lines.size() - 1);
}

// Runs the child on `file`, which holds generation `onDisk`, and kills it once it has reported
// `lines` lines and a further `pause`. The file must then hold the last generation the child
// acknowledged, or the one it was committing; that one is returned.
std::uint64_t killMidway(const fs::path& file, std::uint64_t onDisk, std::size_t lines,
                         std::chrono::microseconds pause, ExpectedGenerations& expected) {
  ChildProcess child({file.string()});
  std::vector<std::string> said;
  for (std::optional<std::string> line; said.size() < lines && (line = child.readLine());) {
    said.push_back(*line);
  }
  std::this_thread::sleep_for(pause);
  child.kill();
  const int status = child.wait();
  while (std::optional<std::string> line = child.readLine()) said.push_back(*line);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
      << "the child ended by itself; its last report: " << (said.empty() ? "" : said.back());
  const std::uint64_t last = acknowledged(said, onDisk);
  const std::optional<std::uint64_t> found = loadGeneration(file, expected);
  EXPECT_TRUE(found == last || found == last + 1)
      << "found " << found.value_or(0) << " after acknowledged " << last;
  return found.value_or(last);
}

// Every sixth kill falls in the first commit to a file of an earlier release, which also brings it
// to the current layout: the old file must be left as it was.
TEST(CrashSafety, EveryKillLeavesExactlyOneCommittedState) {
  TemporaryDirectory directory;
  const fs::path file = directory.path() / "allot" / "defaults.sqlite3";
  ExpectedGenerations expected;
  std::mt19937 random(20240611);
  std::uint64_t onDisk = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    const bool upgrade = kill % 6 == 5;
    if (upgrade) {
      fs::remove(file);
      fs::remove(file.string() + "-journal");
      ASSERT_TRUE(writeOlderLayoutFile(file, 1 + kill / 6 % 2, expected.at(onDisk)));
    }
    // A fifth of the other kills fall anywhere from start-up on (loading, rolling back a broken
    // commit); the rest a moment after a few commits, while the next one is being written.
    const bool early = !upgrade && random() % 5 == 0;
    const std::size_t lines = upgrade ? 1 : early ? 0 : 2 + random() % 4;
    const std::chrono::microseconds pause(random() % (early ? 15'000 : upgrade ? 3'000 : 2'000));
    onDisk = killMidway(file, onDisk, lines, pause, expected);
    ASSERT_FALSE(::testing::Test::HasFailure()) << "after kill " << kill;
  }
  EXPECT_GT(onDisk, static_cast<std::uint64_t>(kKills)) << "the children hardly committed";
}

// Runs the child under a file size limit until a commit fails, checks the file while the child
// waits, then lets it lift the limit and commit again.
void fillTheDiskAt(const fs::path& file, std::uint64_t limit, ExpectedGenerations& expected) {
  SCOPED_TRACE("file size limit " + std::to_string(limit));
  const std::uint64_t before = loadGeneration(file, expected).value_or(0);
  ChildProcess child({file.string(), std::to_string(limit)});
  std::vector<std::string> lines;
  std::optional<std::string> failure;
  while ((failure = child.readLine()) && !failure->starts_with("failed "))
    lines.push_back(*failure);
  ASSERT_TRUE(failure.has_value()) << "no commit failed";
  const std::uint64_t committed = acknowledged(lines, before);
  EXPECT_EQ(failure->rfind("failed " + std::to_string(committed + 1) + " Could not save", 0), 0u)
      << *failure;
  EXPECT_NE(failure->find(file.string()), std::string::npos) << *failure;
  EXPECT_EQ(loadGeneration(file, expected), committed) << "the failed commit left a trace";

  child.sendByte();
  const std::optional<std::string> retried = child.readLine();
  ASSERT_TRUE(retried.has_value());
  EXPECT_EQ(*retried, "committed " + std::to_string(committed + 1));
  const int status = child.wait();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(loadGeneration(file, expected), committed + 1) << "the pending writes were lost";
}

TEST(CrashSafety, AFullDiskFailsTheCommitVisiblyAndKeepsThePreviousState) {
  TemporaryDirectory directory;
  ExpectedGenerations expected;
  // No room at all, less than one page, and limits that a growing store reaches mid-commit,
  // each on a fresh file and again on the file the previous limit left.
  const std::uint64_t limits[] = {0, 3'000, 20'000, 45'000, 70'000};
  for (const char* name : {"fresh", "grown"}) {
    for (std::uint64_t limit : limits) {
      const fs::path file =
          directory.path() / name / (std::string(name) == "fresh" ? std::to_string(limit) : "");
      fillTheDiskAt(file / "defaults.sqlite3", limit, expected);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

}  // namespace
}  // namespace allot::hardening

// The tests, or the crash-safety child when asked for it.
int main(int argc, char** argv) {
  if (argc > 2 && std::string_view(argv[1]) == "--crash-child") {
    return allot::hardening::crashChild(argv[2], argc > 3 ? argv[3] : nullptr);
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
