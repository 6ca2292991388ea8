// Bad input at the store's door: files that are not ours, are damaged or newer, and folders that
// cannot be written; each reported, none losing or altering stored data.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "core/envelope_editing.h"
#include "core/persistence.h"
#include "platform/defaults/sqlite_user_defaults.h"
#include "tests/support/samples.h"
#include "tests/support/store_files.h"
#include "tests/support/temporary_directory.h"

namespace fs = std::filesystem;

namespace allot::testing {
namespace {

// Zeroes the rows of the page that holds `table`, leaving its page header in place: the page still
// says how many rows it holds, but each now reads as NULLs.
void zeroRowsOf(const fs::path& file, const std::string& table) {
  const auto root = static_cast<std::size_t>(
      integers(file, "SELECT rootpage FROM sqlite_schema WHERE name = '" + table + "'").at(0));
  const auto pageSize = static_cast<std::size_t>(integers(file, "PRAGMA page_size").at(0));
  std::string bytes = fileBytes(file);
  const std::size_t page = (root - 1) * pageSize;
  const std::size_t header = page + (root == 1 ? 100 : 0);
  const std::size_t rows = static_cast<unsigned char>(bytes[header + 5]) << 8 |
                           static_cast<unsigned char>(bytes[header + 6]);
  std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(page + rows),
            bytes.begin() + static_cast<std::ptrdiff_t>(page + pageSize), '\0');
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// Each file the load cannot take is reported as what it is, naming the file, the store left empty
// and the file (or a link's target) and folder untouched; a commit to any but ours fails and keeps
// the writes pending. Lost rows (cut short, zeroed) must not pass for "nothing stored yet".
TEST(BadInput, StoreFilesThatCannotBeTakenAreReportedAndLeftAlone) {
  TemporaryDirectory directory;
  const fs::path& dir = directory.path();
  std::ofstream(dir / "text") << "totalAmount = 12.5\n";
  runSql(dir / "other-schema", "CREATE TABLE notes(body); INSERT INTO notes VALUES('keep');");
  runSql(dir / "other-application",
         "PRAGMA application_id = 42; CREATE TABLE defaults(key TEXT PRIMARY KEY NOT NULL, "
         "value BLOB NOT NULL) WITHOUT ROWID;");
  runSql(dir / "ours-without-table", "PRAGMA application_id = 1097624692; CREATE TABLE t(x);");
  fs::create_directory(dir / "directory");
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  saveAndCommit(budgetWith("Food"), dir / "target");
  fs::create_symlink(dir / "target", dir / "link");
  fs::create_symlink(dir / "nowhere", dir / "dangling-link");
  saveAndCommit(budgetWith("Food"), dir / "newer-tables");
  runSql(dir / "newer-tables", "PRAGMA user_version = 4; DROP TABLE inner_lists;");
  saveAndCommit(sizeableBudget(), dir / "truncated");
  fs::resize_file(dir / "truncated", fs::file_size(dir / "truncated") / 2);
  saveAndCommit(sizeableBudget(), dir / "damaged-value");
  runSql(dir / "damaged-value", "UPDATE defaults SET value = x'9f01' WHERE key = 'detailArrays';");
  // A list of one CBOR text string of 17 MiB (major type 3, 4-byte length).
  saveAndCommit(budgetWith("Food"), dir / "huge-value");
  runSql(dir / "huge-value",
         "UPDATE inner_lists SET value = x'817a01100000' || zeroblob(17825792) "
         "WHERE key = 'detailArrays' AND position = 0;");
  saveAndCommit(sizeableBudget(1, 1), dir / "rows-zeroed");
  zeroRowsOf(dir / "rows-zeroed", "defaults");
  ASSERT_TRUE(writeOlderLayoutFile(dir / "older-cut-short", 1, sizeableBudget(1, 1)));
  fs::resize_file(dir / "older-cut-short", fs::file_size(dir / "older-cut-short") - 2000);

  using enum Status::Kind;
  const struct {
    const char* name;
    Status::Kind kind;
    const char* said;
  } files[] = {{"text", NotOurs, ""},
               {"other-schema", NotOurs, ""},
               {"other-application", NotOurs, ""},
               {"ours-without-table", Unreadable, ""},
               {"directory", NotOurs, ""},
               {"fifo", NotOurs, ""},
               {"link", NotOurs, "symbolic link"},
               {"dangling-link", NotOurs, "symbolic link"},
               {"newer-tables", Newer, "newer version"},
               {"truncated", Unreadable, ""},
               {"damaged-value", Unreadable, ""},
               {"huge-value", Unreadable, "larger than 16 MiB"},
               {"rows-zeroed", Unreadable, ""},
               {"older-cut-short", Unreadable, ""}};
  for (const auto& [name, kind, said] : files) {
    SCOPED_TRACE(name);
    const fs::path file = dir / name;
    const std::set<fs::path> listing = directory.listing();
    const std::string bytes = fileBytes(file);
    SqliteUserDefaults defaults(file);
    const Loaded loaded = loadFrom(defaults);
    EXPECT_EQ(loaded.status.kind(), kind) << loaded.status.message();
    EXPECT_NE(loaded.status.message().find(file.string()), std::string::npos);
    EXPECT_NE(loaded.status.message().find(said), std::string::npos) << loaded.status.message();
    EXPECT_TRUE(sameBudget(loaded.store, BudgetStore()));
    if (name != std::string("damaged-value") && name != std::string("huge-value")) {
      saveStore(loaded.store, defaults);
      EXPECT_NE(defaults.synchronize().message().find(file.string()), std::string::npos);
      EXPECT_EQ(defaults.valueForKey("totalAmount"), Value(0.0)) << "still pending";
    }
    EXPECT_EQ(fileBytes(file), bytes);
    EXPECT_EQ(directory.listing(), listing);
  }
}

// A folder that cannot be written fails the commit, naming the file, and keeps the writes pending.
// Made so as to stop root too: a file in its place, /proc, and a read-only folder as "nobody".
TEST(BadInput, FoldersThatCannotBeWrittenFailTheCommitVisibly) {
  auto expectRefusedAndKept = [](SqliteUserDefaults& defaults) {
    EXPECT_TRUE(loadFrom(defaults).status.isOk()) << "nothing stored is not damage";
    saveStore(budgetWith("Food"), defaults);
    const Status refused = defaults.synchronize();
    EXPECT_NE(refused.message().find(defaults.path().string()), std::string::npos)
        << refused.message();
    EXPECT_EQ(defaults.valueForKey("categoryNames"), Value(Value::List{"Food"})) << "kept pending";
  };
  SqliteUserDefaults underProc("/proc/self/defaults.sqlite3");
  expectRefusedAndKept(underProc);
  TemporaryDirectory directory;
  std::ofstream(directory.path() / "allot") << "a file where the folder should be";
  SqliteUserDefaults blocked(directory.path() / "allot" / "defaults.sqlite3");
  expectRefusedAndKept(blocked);
  fs::remove(directory.path() / "allot");
  ASSERT_EQ(blocked.synchronize().message(), "");
  EXPECT_EQ(SqliteUserDefaults(blocked.path()).valueForKey("categoryNames"),
            Value(Value::List{"Food"}));

  const fs::path file = directory.path() / "read-only" / "defaults.sqlite3";
  const BudgetStore saved = sizeableBudget();
  saveAndCommit(saved, file);
  const std::string bytes = fileBytes(file);
  fs::permissions(file, fs::perms(0444));
  fs::permissions(file.parent_path(), fs::perms(0555));
  EXPECT_EXIT(
      {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(2);
        SqliteUserDefaults defaults(file);
        Loaded loaded = loadFrom(defaults);
        if (!loaded.status.isOk() || !sameBudget(loaded.store, saved)) std::_Exit(3);
        addEnvelope(loaded.store, "Rent", 1);
        saveStore(loaded.store, defaults);
        const Status saved = defaults.synchronize();
        if (saved.isOk()) std::_Exit(4);
        std::cerr << saved.message();
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0),
      "Nothing was saved\\. The settings file \".*read-only.*cannot be written");
  EXPECT_EQ(fileBytes(file), bytes);
  fs::permissions(file.parent_path(), fs::perms::owner_all);
}

}  // namespace
}  // namespace allot::testing
