// allot_crash_child STORE_FILE REPORT_FD [FILE_SIZE_LIMIT]
//
// Loads the budget from STORE_FILE and then, generation after generation, changes it, saves it and
// commits it, writing one line to the pipe REPORT_FD after each step: "loaded <g>" once, then
// "committed <g>" after each commit that succeeded, or "failed <g> <why>" after one that did not.
// The crash-safety test kills it at random moments and checks what the file holds.
//
// With FILE_SIZE_LIMIT it runs under that RLIMIT_FSIZE (SIGXFSZ ignored, so writes fail with
// EFBIG as on a full disk) until a commit fails; it then waits for one byte on standard input,
// lifts the limit, commits once more and exits. It exits by itself after kMaxGenerations.
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/persistence.h"
#include "platform/defaults/sqlite_user_defaults.h"
#include "tests/hardening/generations.h"

namespace {

constexpr std::uint64_t kMaxGenerations = 100000;

int reportFd = -1;

void report(const std::string& line) {
  const std::string text = line + "\n";
  std::size_t sent = 0;
  while (sent < text.size()) {
    const ssize_t n = ::write(reportFd, text.data() + sent, text.size() - sent);
    if (n <= 0) std::_Exit(9);  // the test has gone
    sent += static_cast<std::size_t>(n);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string file = argv[1];
  reportFd = std::atoi(argv[2]);
  const bool limited = argc > 3;
  if (limited) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{static_cast<rlim_t>(std::strtoull(argv[3], nullptr, 10)), RLIM_INFINITY};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
  }

  allot::SqliteUserDefaults defaults(file);
  allot::BudgetStore store;
  allot::LoadReport loaded;
  allot::loadStore(store, defaults, &loaded);
  const std::optional<std::uint64_t> start = allot::hardening::generationOf(store);
  if (loaded.unloadable() || !start) {
    report("unloadable " + loaded.reason());
    return 3;
  }
  report("loaded " + std::to_string(*start));

  allot::NumberFormatter formatter("en_US");
  auto commit = [&defaults](std::uint64_t generation) {
    const bool committed = defaults.synchronize();
    report(committed ? "committed " + std::to_string(generation)
                     : "failed " + std::to_string(generation) + " " + defaults.lastError());
    return committed;
  };
  for (std::uint64_t generation = *start + 1; generation <= kMaxGenerations; ++generation) {
    allot::hardening::advanceGeneration(store, formatter);
    allot::saveStore(store, defaults);
    if (commit(generation)) continue;
    if (!limited) return 4;
    char go = 0;
    if (::read(STDIN_FILENO, &go, 1) != 1) return 5;
    const rlimit lifted{RLIM_INFINITY, RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &lifted);
    return commit(generation) ? 0 : 4;
  }
  return 0;
}
