// Speed of the core: saving and loading a whole store through the SQLite-backed key-value store,
// against the floor of writing and reading a plain file of the same size, and the per-operation
// cost of what the screens do. A save is measured as the application makes it (one recording
// since the last save), as the first save of a session (right after the load), and as a first
// save into a new file, which writes everything. A load is what a launch does: a new connection
// opens the file, checks it and reads the store.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/envelope_editing.h"
#include "core/envelope_list.h"
#include "core/money.h"
#include "core/persistence.h"
#include "core/transactions.h"
#include "platform/defaults/sqlite_user_defaults.h"

namespace allot {
namespace {

// A store of `envelopes` envelopes holding `entries` transactions each, with notes of a
// realistic length.
BudgetStore makeStore(int envelopes, int entries) {
  BudgetStore store;
  NumberFormatter formatter("en_US");
  for (int e = 0; e < envelopes; ++e) {
    addEnvelope(store, "Envelope " + std::to_string(e), e % 5);
    for (int t = 1; t < entries; ++t) {
      recordTransaction(store, static_cast<std::size_t>(e),
                        "Groceries at the corner shop #" + std::to_string(t),
                        std::to_string(t % 97) + ",25", t % 3 == 0 ? "subtract" : "add", formatter);
    }
  }
  return store;
}

// Commits the defaults; a failure ends the benchmark with its message.
void commitOrSkip(UserDefaults& defaults, benchmark::State& state) {
  if (Status saved = defaults.synchronize(); !saved.isOk()) {
    state.SkipWithError(saved.message().c_str());
  }
}

std::filesystem::path scratchFile(const char* name) {
  const auto directory = std::filesystem::temp_directory_path() / "allot-bench";
  std::filesystem::create_directories(directory);
  const auto file = directory / name;
  std::filesystem::remove(file);
  std::filesystem::remove(file.string() + "-wal");
  std::filesystem::remove(file.string() + "-journal");
  return file;
}

// As the application runs: the store loaded at launch, then one transaction recorded before each
// save, in the next envelope each time.
void SaveAndCommit(benchmark::State& state) {
  const auto file = scratchFile("save.sqlite3");
  {
    SqliteUserDefaults writer(file);
    saveStore(makeStore(static_cast<int>(state.range(0)), 200), writer);
    commitOrSkip(writer, state);
  }
  SqliteUserDefaults defaults(file);
  BudgetStore store;
  loadStore(store, defaults);
  NumberFormatter formatter("en_US");
  std::size_t envelope = 0;
  for (auto _ : state) {
    recordTransaction(store, envelope, "Lunch", "12,50", "subtract", formatter);
    envelope = (envelope + 1) % store.envelopeCount();
    saveStore(store, defaults);
    commitOrSkip(defaults, state);
  }
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(file));
}

// The first save after a launch: a new connection loads the store, one transaction is recorded,
// and only the save that follows is timed.
void FirstSaveAfterLoad(benchmark::State& state) {
  const auto file = scratchFile("relaunch.sqlite3");
  {
    SqliteUserDefaults writer(file);
    saveStore(makeStore(static_cast<int>(state.range(0)), 200), writer);
    commitOrSkip(writer, state);
  }
  NumberFormatter formatter("en_US");
  std::size_t envelope = 0;
  for (auto _ : state) {
    state.PauseTiming();
    {
      SqliteUserDefaults defaults(file);
      BudgetStore store;
      loadStore(store, defaults);
      recordTransaction(store, envelope, "Lunch", "12,50", "subtract", formatter);
      envelope = (envelope + 1) % store.envelopeCount();
      state.ResumeTiming();
      saveStore(store, defaults);
      commitOrSkip(defaults, state);
      state.PauseTiming();
    }
    state.ResumeTiming();
  }
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(file));
}

// The whole store written into a file that does not exist yet.
void FirstSave(benchmark::State& state) {
  const BudgetStore store = makeStore(static_cast<int>(state.range(0)), 200);
  const auto file = scratchFile("first.sqlite3");
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(file);
    state.ResumeTiming();
    SqliteUserDefaults defaults(file);
    saveStore(store, defaults);
    commitOrSkip(defaults, state);
  }
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(file));
}

void Load(benchmark::State& state) {
  const auto file = scratchFile("load.sqlite3");
  {
    SqliteUserDefaults defaults(file);
    saveStore(makeStore(static_cast<int>(state.range(0)), 200), defaults);
    commitOrSkip(defaults, state);
  }
  for (auto _ : state) {
    SqliteUserDefaults defaults(file);
    BudgetStore store;
    loadStore(store, defaults);
    benchmark::DoNotOptimize(store.envelopeCount());
  }
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(file));
}

// The floor: the same number of bytes written and fsynced, or read back, as one plain file.
std::size_t storeFileSize(int envelopes) {
  const auto file = scratchFile("size.sqlite3");
  SqliteUserDefaults defaults(file);
  saveStore(makeStore(envelopes, 200), defaults);
  if (!defaults.synchronize().isOk()) return 0;
  return std::filesystem::file_size(file);
}

void PlainFileWriteAndFsync(benchmark::State& state) {
  const std::string bytes(storeFileSize(static_cast<int>(state.range(0))), 'x');
  const auto file = scratchFile("plain.bin");
  for (auto _ : state) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
    ::fsync(fd);
    ::close(fd);
  }
  state.counters["file_bytes"] = static_cast<double>(bytes.size());
}

void PlainFileRead(benchmark::State& state) {
  const std::string bytes(storeFileSize(static_cast<int>(state.range(0))), 'x');
  const auto file = scratchFile("plain.bin");
  {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
    ::close(fd);
  }
  std::string buffer(bytes.size(), '\0');
  for (auto _ : state) {
    const int fd = ::open(file.c_str(), O_RDONLY);
    benchmark::DoNotOptimize(::read(fd, buffer.data(), buffer.size()));
    ::close(fd);
  }
  state.counters["file_bytes"] = static_cast<double>(bytes.size());
}

void RecordOnAFullEnvelope(benchmark::State& state) {
  BudgetStore store = makeStore(1, 200);
  NumberFormatter formatter("en_US");
  for (auto _ : state) {
    benchmark::DoNotOptimize(recordTransaction(store, 0, "Lunch", "12,50", "subtract", formatter));
  }
}

void DeleteTransaction(benchmark::State& state) {
  BudgetStore store = makeStore(1, 200);
  NumberFormatter formatter("en_US");
  for (auto _ : state) {
    benchmark::DoNotOptimize(deleteTransaction(store, 0, 100, formatter));
    store.appendTransaction(0, "Lunch", -12.5);  // keeps the list at 200 (cheap primitive)
  }
}

void MoveEnvelopeAcrossTheList(benchmark::State& state) {
  BudgetStore store = makeStore(1000, 200);
  for (auto _ : state) moveEnvelope(store, 0, 999);
}

void FormatAmount(benchmark::State& state) {
  NumberFormatter formatter("en_US");
  double amount = 1234.567;
  for (auto _ : state) {
    benchmark::DoNotOptimize(formatAmount(amount, formatter));
    amount += 0.01;
  }
}

// 20 envelopes is a typical store; 1,000 the stress case.
BENCHMARK(SaveAndCommit)->Arg(20)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(FirstSaveAfterLoad)->Arg(20)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(FirstSave)->Arg(20)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainFileWriteAndFsync)->Arg(20)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(Load)->Arg(20)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainFileRead)->Arg(20)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(RecordOnAFullEnvelope)->Unit(benchmark::kMicrosecond);
BENCHMARK(DeleteTransaction)->Unit(benchmark::kMicrosecond);
BENCHMARK(MoveEnvelopeAcrossTheList)->Unit(benchmark::kMicrosecond);
BENCHMARK(FormatAmount)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace allot

BENCHMARK_MAIN();
