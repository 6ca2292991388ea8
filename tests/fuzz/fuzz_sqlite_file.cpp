// Fuzzes SqliteUserDefaults and loadStore over damaged files (the bytes as they are, or a valid
// store patched at (offset, byte) pairs): problems are reported, and the file and folder untouched.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/persistence.h"
#include "platform/defaults/sqlite_user_defaults.h"
#include "tests/support/samples.h"

namespace fs = std::filesystem;

namespace {

fs::path workDirectory;
std::string validStore;

std::string bytesOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "damaged store file: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const fs::path root =
      fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
  workDirectory = root / ("allot-fuzz-sqlite-" + std::to_string(::getpid()));
  fs::remove_all(workDirectory);
  fs::create_directories(workDirectory);

  const allot::BudgetStore store = allot::testing::sizeableBudget(2, 15);
  const fs::path file = workDirectory / "valid.sqlite3";
  {
    allot::SqliteUserDefaults defaults(file);
    allot::saveStore(store, defaults);
    if (allot::Status saved = defaults.synchronize(); !saved.isOk()) fail(saved.message().c_str());
  }
  validStore = bytesOf(file);
  fs::remove(file);
  std::atexit([] { fs::remove_all(workDirectory); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  std::string bytes;
  if (in.ConsumeBool()) {
    bytes = validStore;
    while (in.remaining_bytes() >= 3) {
      const auto offset = in.ConsumeIntegralInRange<std::size_t>(0, bytes.size() - 1);
      bytes[offset] = static_cast<char>(in.ConsumeIntegral<std::uint8_t>());
    }
  } else {
    bytes = in.ConsumeRemainingBytesAsString();
  }
  const fs::path file = workDirectory / "defaults.sqlite3";
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;

  {
    allot::SqliteUserDefaults defaults(file);
    for (const char* key : {"totalAmount", "categoryNames", "envelopeColors", "categoryAmounts",
                            "detailArrays", "detailAmountArrays", "absent"}) {
      (void)defaults.valueForKey(key);
    }
    allot::BudgetStore store;
    const allot::Status loaded = allot::loadStore(store, defaults);
    if (!defaults.readStatus().message().empty() && loaded.isOk())
      fail("a read problem was loaded");
    if (!loaded.isOk() && !allot::testing::sameBudget(store, {})) fail("unloadable kept data");
    if (!allot::testing::hasWholeShape(store)) fail("per-envelope lists of different lengths");
  }
  if (bytesOf(file) != bytes) fail("reading changed the file");
  if (std::distance(fs::directory_iterator(workDirectory), {}) != 1) {
    fail("reading left files beside the store");
  }
  fs::remove(file);
  return 0;
}
