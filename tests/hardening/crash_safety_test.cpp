// A process killed in the middle of saving, again and again, or whose disk fills up: what is on
// disk must always load, and be exactly one state that it committed.
#include <gtest/gtest.h>
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

namespace allot::testing {
namespace {

constexpr int kKills = 240;

// Generation g is the empty store after g steps of the real operations, each recording 1.00, so
// the total names it and the whole state can be compared; nothing for no generation's total.
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

// The child loads, then advances, saves and commits generation after generation, reporting "loaded
// <g>", then "committed <g>" or "failed <g> <why>". Under a file size limit (EFBIG, as on a full
// disk) it stops at the first failure, waits for a byte on `input`, lifts the limit and retries.
int crashChild(const fs::path& file, std::optional<rlim_t> limit, int report, int input) {
  auto say = [report](const std::string& line) { ::dprintf(report, "%s\n", line.c_str()); };
  if (limit) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limited{*limit, RLIM_INFINITY};
    if (::setrlimit(RLIMIT_FSIZE, &limited) != 0) return 2;
  }
  SqliteUserDefaults defaults(file);
  auto [loaded, store] = loadFrom(defaults);
  const std::optional<std::uint64_t> start = generationOf(store);
  if (!loaded.isOk() || !start) {
    say("unloadable " + loaded.message());
    return 3;
  }
  say("loaded " + std::to_string(*start));
  NumberFormatter formatter("en_US");
  auto commit = [&](std::uint64_t generation) {
    const Status committed = defaults.synchronize();
    say(committed.isOk() ? "committed " + std::to_string(generation)
                         : "failed " + std::to_string(generation) + " " + committed.message());
    return committed.isOk();
  };
  for (std::uint64_t generation = *start + 1; generation <= 100'000; ++generation) {
    advanceGeneration(store, formatter);
    saveStore(store, defaults);
    if (commit(generation)) continue;
    char go = 0;
    if (!limit || ::read(input, &go, 1) != 1) return 4;
    const rlimit lifted{RLIM_INFINITY, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &lifted);
    return commit(generation) ? 0 : 4;
  }
  return 0;
}

// Runs crashChild in a forked copy of this process, with pipes for its reports and its input; it
// kills only what it started, and always reaps it.
class ChildProcess {
 public:
  explicit ChildProcess(const fs::path& file, std::optional<rlim_t> limit = std::nullopt) {
    int report[2], input[2];
    if (::pipe(report) != 0 || ::pipe(input) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) ::_exit(crashChild(file, limit, report[1], input[0]));
    ::close(report[1]);
    ::close(input[0]);
    reports_ = ::fdopen(report[0], "r");
    inputFd_ = input[1];
  }
  ~ChildProcess() {
    kill();
    wait();
    if (reports_ != nullptr) std::fclose(reports_);
    ::close(inputFd_);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The next report line, waiting for it; nothing once the child has closed the pipe.
  std::optional<std::string> readLine() {
    char* line = nullptr;
    std::size_t size = 0;
    const ssize_t got = reports_ != nullptr ? ::getline(&line, &size, reports_) : -1;
    std::optional<std::string> result;
    if (got > 0) result.emplace(line, static_cast<std::size_t>(got) - (line[got - 1] == '\n'));
    std::free(line);
    return result;
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
  std::FILE* reports_ = nullptr;
  int inputFd_ = -1;
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

// The file's generation, loaded as the application would, checked whole: a store mixing keys from
// two commits would differ from both somewhere.
std::optional<std::uint64_t> loadGeneration(const fs::path& file, ExpectedGenerations& expected) {
  SqliteUserDefaults defaults(file);
  BudgetStore store;
  const Status loaded = loadStore(store, defaults);
  EXPECT_TRUE(loaded.isOk()) << loaded.message();
  EXPECT_EQ(defaults.readStatus().message(), "");
  const std::optional<std::uint64_t> generation = generationOf(store);
  EXPECT_TRUE(generation && sameBudget(store, expected.at(*generation)))
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

// Kills the child after `lines` reports and `pause`: the file must then hold the last generation
// it acknowledged or the one it was committing, which is returned.
std::uint64_t killMidway(const fs::path& file, std::uint64_t onDisk, std::size_t lines,
                         std::chrono::microseconds pause, ExpectedGenerations& expected) {
  ChildProcess child(file);
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
  ChildProcess child(file, limit);
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
}  // namespace allot::testing
