// Hardening: every store operation against a reference model; bad input at each door of the core
// (store files that are not ours or are damaged, data folders that cannot be written, names, notes
// and amounts of any bytes and any length), each reported or passed through unchanged, none losing
// or altering stored data; and a process killed in the middle of saving, again and again, or whose
// disk fills up: what is on disk must always load, and be exactly one state that it committed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <limits>
#include <memory>
#include <random>
#include <thread>

#include "core/envelope_editing.h"
#include "core/envelope_list.h"
#include "core/money.h"
#include "core/persistence.h"
#include "core/transactions.h"
#include "core/user_text.h"
#include "platform/defaults/in_memory_user_defaults.h"
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
using namespace std::string_literals;

// Random sequences of every store operation, with saves and loads in between, checked after each
// step against a reference model: the store's shape, its whole contents, and the results and
// messages of the operations. Undo and redo are among the steps: each must give back, bit for bit,
// the reference as it was before the change, and every run ends by taking back all the history
// holds. This is where what the operations do is tested; the texts they show are in
// EnvelopeList.TextsOfTheTotalRowsAndQuestions.
std::uint64_t bits(double figure) {
  return std::bit_cast<std::uint64_t>(figure);
}

// The budget as the rules describe it, written from them and not from the store's code:
// envelopes as structs holding their entries. Amounts arrive already read and signed, and it
// computes with the same double arithmetic (add or subtract the one amount, never recompute), so
// its figures match the store's bit for bit.
struct ReferenceEnvelope {
  std::string name;
  std::int64_t color;
  double balance = 0.0;
  std::vector<std::string> descriptions;  // oldest first
  std::vector<double> amounts;
};

struct ReferenceBudget {
  double total = 0.0;
  std::vector<ReferenceEnvelope> envelopes;

  void add(const std::string& name, std::int64_t color) {
    envelopes.push_back({name, color, 0.0, {"Added '" + name + "'"}, {0.0}});
  }
  void edit(std::size_t n, const std::string& name, std::int64_t color) {
    envelopes[n].name = name;
    envelopes[n].color = color;
    envelopes[n].descriptions.push_back("Edited '" + name + "'");  // not trimmed
    envelopes[n].amounts.push_back(0.0);
  }
  void remove(std::size_t n) {
    total -= envelopes[n].balance;
    envelopes.erase(envelopes.begin() + static_cast<std::ptrdiff_t>(n));
  }
  void reset(std::size_t n) {
    total -= envelopes[n].balance;
    envelopes[n] = {envelopes[n].name, envelopes[n].color, 0.0, {"Reset envelope"}, {0.0}};
  }
  void move(std::size_t from, std::size_t to) {
    ReferenceEnvelope moving = envelopes[from];
    envelopes.erase(envelopes.begin() + static_cast<std::ptrdiff_t>(from));
    envelopes.insert(envelopes.begin() + static_cast<std::ptrdiff_t>(to), moving);
  }
  // False, changing nothing, for an amount beyond a thousand million million (where a double
  // stops holding every cent) or one that would make the balance or the total stop being finite.
  bool record(std::size_t n, const std::string& note, double amount) {
    ReferenceEnvelope& envelope = envelopes[n];
    const bool breaksBalance =
        std::isfinite(envelope.balance) && !std::isfinite(envelope.balance + amount);
    const bool breaksTotal = std::isfinite(total) && !std::isfinite(total + amount);
    if (std::fabs(amount) > 1e15 || breaksBalance || breaksTotal) return false;
    envelope.balance += amount;
    total += amount;
    envelope.descriptions.push_back(note);
    envelope.amounts.push_back(amount);
    if (envelope.amounts.size() > 200) {  // the oldest entry goes, its money stays counted
      envelope.descriptions.erase(envelope.descriptions.begin());
      envelope.amounts.erase(envelope.amounts.begin());
    }
    return true;
  }
  // The deleted amount; display row 0 is the newest entry.
  double deleteRow(std::size_t n, std::size_t displayRow) {
    ReferenceEnvelope& envelope = envelopes[n];
    const auto index = static_cast<std::ptrdiff_t>(envelope.amounts.size() - 1 - displayRow);
    const double amount = envelope.amounts[index];
    envelope.balance -= amount;
    total -= amount;
    envelope.descriptions.erase(envelope.descriptions.begin() + index);
    envelope.amounts.erase(envelope.amounts.begin() + index);
    return amount;
  }
};

// clang-format off
const std::string kPieces[] = {
    "Food", "Rent", " ", ",", "'", "\"", "''", "Caf\xC3\xA9", "\xF0\x9F\x8D\x95", "\xE2\x80\xAE",
    "\xFF", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x01", "\x1B[31m",
    "\x7F", "\r\n", "\t", "\0"s, "nan", "inf", "1e999", "-0", "Added '", "Edited '",
    "Reset envelope", "%s%n", "\\", "12,5",
};
// clang-format on

// What a user might type, drawn from a seeded generator: names and notes built from awkward
// pieces (now and then kilobytes of any bytes), and amount texts with the amount each must read as
// (nothing when it must be refused), known from how each text was built, not from a parser.
class RandomInput {
 public:
  explicit RandomInput(std::uint64_t seed) : random_(seed) {}

  std::size_t below(std::size_t count) { return random_() % count; }
  bool chance(unsigned percent) { return random_() % 100 < percent; }

  std::string text() {
    std::string result;
    if (chance(2)) {
      result.resize(1000 + below(4000));
      for (char& c : result) c = static_cast<char>(random_());
    }
    for (std::size_t pieces = result.empty() ? below(6) : 0; pieces > 0; --pieces) {
      result += kPieces[below(std::size(kPieces))];
    }
    return result;
  }

  std::pair<std::string, std::optional<double>> amount() {
    const std::size_t kind = below(10);
    if (kind < 4) {  // cents; the division is correctly rounded, as reading the text must be
      const std::uint64_t magnitude = random_() % (chance(50) ? 100'000 : 100'000'000'000);
      const double value = static_cast<double>(magnitude) / 100.0;
      const bool negative = chance(40);
      const std::string sign = negative ? "-" : chance(20) ? "+" : "";
      return {sign + std::to_string(magnitude / 100) + (chance(50) ? "." : ",") +
                  std::to_string(100 + magnitude % 100).substr(1),
              negative ? -value : value};
    }
    if (kind == 4) {
      const auto whole = static_cast<std::int64_t>(random_() % 2'000'000) - 1'000'000;
      return {(whole >= 0 && chance(30) ? "+" : "") + std::to_string(whole),
              static_cast<double>(whole)};
    }
    if (kind == 5) return testing::kReadAmounts[below(std::size(testing::kReadAmounts))];
    if (kind == 6)
      return {testing::kRefusedAmounts[below(std::size(testing::kRefusedAmounts))], {}};
    if (kind == 7) return {"x" + text(), {}};  // no number starts with a letter x
    if (kind == 8) return {"", {}};
    // Exponents far beyond a double: overflow is refused, underflow reads as zero.
    if (chance(50)) return {"1e" + std::to_string(309 + below(100'000)), {}};
    return {"-7e-" + std::to_string(400 + below(100'000)), -0.0};
  }

  std::string modeWord() {
    static const char* const kOthers[] = {"Subtract", "", "subtract ", "take", "add "};
    if (chance(90)) return chance(50) ? "add" : "subtract";
    return kOthers[below(std::size(kOthers))];
  }

  std::int64_t colorNumber() {
    if (chance(90)) return static_cast<std::int64_t>(below(5));
    return chance(50) ? std::numeric_limits<std::int64_t>::min()
                      : static_cast<std::int64_t>(random_());
  }

 private:
  std::mt19937_64 random_;
};

enum Operation {
  Record,
  DeleteEntry,
  Edit,
  Move,
  Reset,
  Remove,
  Reload,
  SqliteReload,
  Undo,
  Redo,
  Add
};
// Percentages of the steps for each operation but Add, which takes what is left over.
using Weights = std::array<unsigned, Add>;

// How often the sequences went where faults hide: each must be reached to be tested.
// Recordings that dropped the oldest entry, edits of an envelope already holding 200 entries,
// refused recordings, reloads through SQLite, and changes taken back and made again.
struct Coverage {
  int trimmed = 0, editedPastLimit = 0, refused = 0, sqliteReloads = 0, undone = 0, redone = 0;
};

class ModelRun {
 public:
  ModelRun(std::uint64_t seed, Weights weights, const char* locale,
           const std::filesystem::path& file)
      : input_(seed), weights_(weights), formatter_(locale), file_(file) {}

  // One operation, or an undo or redo checked against the reference as it was before the change.
  void step(Coverage& coverage) {
    const Operation operation = pick();
    if (operation == Undo || operation == Redo) return travel(operation == Undo, coverage);
    ReferenceBudget before = model_;
    const std::uint64_t revision = store_.revision();
    change(operation, coverage);
    if (operation == Reload || operation == SqliteReload) {  // a loaded store starts afresh
      done_.clear();
      undone_.clear();
    } else if (store_.revision() != revision) {
      done_.push_back(std::move(before));
      if (done_.size() > UndoHistory::kDepth) done_.pop_front();
      undone_.clear();
    }
  }

  // Takes back every change the history still holds, checking each state on the way.
  void undoAll(Coverage& coverage) {
    while (!done_.empty()) {
      travel(true, coverage);
      check();
    }
    EXPECT_FALSE(store_.history().canUndo());
  }

  void change(Operation operation, Coverage& coverage) {
    // Half the operations go to envelope 0, so that its list reaches the transaction limit.
    const std::size_t count = model_.envelopes.size();
    const std::size_t n = count == 0 || input_.chance(50) ? 0 : input_.below(count);
    const std::size_t other = count == 0 ? 0 : input_.below(count);
    const std::string note = input_.text();  // the note, or the name
    const std::int64_t color = input_.colorNumber();
    switch (operation) {
      case Record: {
        const auto [text, value] = input_.amount();
        const std::string mode = input_.modeWord();
        const bool full = model_.envelopes[n].amounts.size() >= 200;
        const RecordResult result = recordTransaction(store_, n, note, text, mode, formatter_);
        const double amount = value ? (mode == "subtract" ? -*value : *value) : 0.0;
        const bool taken = value && model_.record(n, note, amount);
        coverage.refused += !taken;
        coverage.trimmed += taken && full;
        EXPECT_EQ(result.outcome, taken          ? RecordOutcome::Recorded
                                  : text.empty() ? RecordOutcome::EmptyAmount
                                                 : RecordOutcome::InvalidAmount)
            << text;
        EXPECT_EQ(result.message,
                  taken ? "Transaction of " + formatAmount(amount, formatter_) + " recorded."
                        : "Please enter a valid number.");
        return;
      }
      case DeleteEntry: {
        const std::size_t entries = model_.envelopes[n].amounts.size();
        if (entries == 0) return;
        const std::size_t row = input_.chance(50) ? 0 : input_.below(entries);
        const double amount = model_.deleteRow(n, row);
        EXPECT_EQ(deleteTransaction(store_, n, row, formatter_),
                  "Transaction of " + formatAmount(amount, formatter_) + " deleted.");
        return;
      }
      case Edit:
        coverage.editedPastLimit += model_.envelopes[n].amounts.size() >= 200;
        model_.edit(n, note, color);
        return updateEnvelope(store_, n, note, color);
      case Move:
        model_.move(n, other);
        return moveEnvelope(store_, n, other);
      case Reset:
        model_.reset(n);
        return resetEnvelope(store_, n);
      case Remove:
        model_.remove(n);
        return deleteEnvelope(store_, n);
      case Reload: {
        InMemoryUserDefaults defaults;
        saveStore(store_, defaults);
        return takeLoaded(defaults);
      }
      case SqliteReload: {
        // Saves through one of two long-lived stores on the same file, which write only the rows
        // that changed since they last looked: each must notice what the other committed
        // meanwhile. A new store then loads the file, as a later run of the application would.
        std::unique_ptr<SqliteUserDefaults>& writer = writers_[input_.below(writers_.size())];
        if (!writer) writer = std::make_unique<SqliteUserDefaults>(file_);
        saveStore(store_, *writer);
        ASSERT_EQ(writer->synchronize().message(), "");
        SqliteUserDefaults reader(file_);
        takeLoaded(reader);
        EXPECT_EQ(reader.readStatus().message(), "");
        ++coverage.sqliteReloads;
        return;
      }
      case Add:
        if (count >= 8) return;
        model_.add(note, color);
        EXPECT_EQ(addEnvelope(store_, note, color), "Added '" + isolated(note) + "'");
    }
  }

  // Order and contents of every list, and balances and the total kept by deltas (never
  // recomputed from the entries).
  void check() {
    ASSERT_TRUE(testing::hasWholeShape(store_));
    ASSERT_EQ(store_.envelopeCount(), model_.envelopes.size());
    EXPECT_EQ(bits(store_.totalAmount()), bits(model_.total));
    for (std::size_t i = 0; i < model_.envelopes.size(); ++i) {
      const ReferenceEnvelope& envelope = model_.envelopes[i];
      EXPECT_EQ(store_.categoryNames()[i], envelope.name) << i;
      EXPECT_EQ(store_.envelopeColors()[i], envelope.color) << i;
      EXPECT_EQ(bits(store_.categoryAmounts()[i]), bits(envelope.balance)) << i;
      ASSERT_EQ(store_.detailArrays()[i], envelope.descriptions) << i;
      ASSERT_EQ(testing::bitsOf(store_.detailAmountArrays()[i]), testing::bitsOf(envelope.amounts));
    }
  }

 private:
  Operation pick() {
    unsigned left = static_cast<unsigned>(input_.below(100));
    for (int operation = 0; operation < Add; ++operation) {
      if (left < weights_[operation]) {
        return model_.envelopes.empty() ? Add : static_cast<Operation>(operation);
      }
      left -= weights_[operation];
    }
    return Add;
  }

  void travel(bool back, Coverage& coverage) {
    std::deque<ReferenceBudget>& from = back ? done_ : undone_;
    UndoHistory& history = store_.history();
    if (from.empty()) {
      EXPECT_FALSE(back ? history.canUndo() : history.canRedo());
      return;
    }
    ASSERT_TRUE(back ? history.undo(store_) : history.redo(store_));
    (back ? undone_ : done_).push_back(std::move(model_));
    model_ = std::move(from.back());
    from.pop_back();
    ++(back ? coverage.undone : coverage.redone);
  }

  void takeLoaded(UserDefaults& defaults) {
    testing::Loaded loaded = testing::loadFrom(defaults);
    EXPECT_TRUE(loaded.status.isOk()) << loaded.status.message();
    store_ = std::move(loaded.store);
  }

  RandomInput input_;
  Weights weights_;
  NumberFormatter formatter_;
  std::filesystem::path file_;
  std::array<std::unique_ptr<SqliteUserDefaults>, 2> writers_;
  BudgetStore store_;
  ReferenceBudget model_;
  // The reference before each change the store's history holds, oldest first, and after each
  // change undone, latest undone last.
  std::deque<ReferenceBudget> done_, undone_;
};

TEST(ModelBased, RandomOperationSequencesMatchTheReferenceModel) {
  testing::TemporaryDirectory directory;
  // Recording-heavy runs reach the transaction limit; balanced ones reset, delete and reload a
  // lot.
  const Weights recordingHeavy{70, 6, 6, 4, 0, 0, 3, 1, 3, 2};
  const Weights balanced{40, 10, 6, 7, 5, 5, 6, 1, 6, 3};
  const struct {
    std::uint64_t seed;
    Weights weights;
    const char* locale;
  } runs[] = {{1, recordingHeavy, "en_US"}, {2, recordingHeavy, "de_DE"},
              {3, recordingHeavy, "fr_FR"}, {4, balanced, "en_US"},
              {5, balanced, "hi_IN"},       {6, balanced, "en_US_POSIX"}};

  Coverage coverage;
  for (const auto& run : runs) {
    SCOPED_TRACE("seed " + std::to_string(run.seed));
    ModelRun model(run.seed, run.weights, run.locale, directory.path() / "defaults.sqlite3");
    for (int step = 0; step < 3000; ++step) {
      model.step(coverage);
      model.check();
      ASSERT_FALSE(::testing::Test::HasFailure()) << "at step " << step;
    }
    model.undoAll(coverage);
  }
  EXPECT_GT(coverage.trimmed, 0);
  EXPECT_GT(coverage.editedPastLimit, 0);
  EXPECT_GT(coverage.refused, 0);
  EXPECT_GT(coverage.sqliteReloads, 0);
  EXPECT_GT(coverage.undone, 0);
  EXPECT_GT(coverage.redone, 0);
}

// Zeroes the rows of the page that holds `table`, leaving its page header in place: the page still
// says how many rows it holds, but each now reads as NULLs.
void zeroRowsOf(const fs::path& file, const std::string& table) {
  const auto root = static_cast<std::size_t>(
      testing::integers(file, "SELECT rootpage FROM sqlite_schema WHERE name = '" + table + "'")
          .at(0));
  const auto pageSize = static_cast<std::size_t>(testing::integers(file, "PRAGMA page_size").at(0));
  std::string bytes = fileBytes(file);
  const std::size_t page = (root - 1) * pageSize;
  const std::size_t header = page + (root == 1 ? 100 : 0);
  const std::size_t rows = static_cast<unsigned char>(bytes[header + 5]) << 8 |
                           static_cast<unsigned char>(bytes[header + 6]);
  std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(page + rows),
            bytes.begin() + static_cast<std::ptrdiff_t>(page + pageSize), '\0');
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// Each kind of file that the load cannot take is reported, naming the file, with the store left
// empty and the file and its folder as they were; a commit to any but the intact file of ours
// fails, says why and keeps the writes pending. Files of ours whose rows were lost (cut short, a
// page of zeros) read as absent keys: taken for "nothing stored yet", they would be saved over.
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
  saveAndCommit(sizeableBudget(), dir / "truncated");
  fs::resize_file(dir / "truncated", fs::file_size(dir / "truncated") / 2);
  saveAndCommit(sizeableBudget(), dir / "damaged-value");
  runSql(dir / "damaged-value", "UPDATE defaults SET value = x'9f01' WHERE key = 'detailArrays';");
  saveAndCommit(sizeableBudget(1, 1), dir / "rows-zeroed");
  zeroRowsOf(dir / "rows-zeroed", "defaults");
  ASSERT_TRUE(writeOlderLayoutFile(dir / "older-cut-short", 1, sizeableBudget(1, 1)));
  fs::resize_file(dir / "older-cut-short", fs::file_size(dir / "older-cut-short") - 2000);

  for (const std::string name :
       {"text", "other-schema", "other-application", "ours-without-table", "directory", "fifo",
        "truncated", "damaged-value", "rows-zeroed", "older-cut-short"}) {
    SCOPED_TRACE(name);
    const fs::path file = dir / name;
    const std::set<fs::path> listing = directory.listing();
    const std::string bytes = fileBytes(file);
    SqliteUserDefaults defaults(file);
    const testing::Loaded loaded = testing::loadFrom(defaults);
    EXPECT_NE(loaded.status.message().find(file.string()), std::string::npos)
        << loaded.status.message();
    EXPECT_TRUE(sameBudget(loaded.store, BudgetStore()));
    if (name != "damaged-value") {
      saveStore(loaded.store, defaults);
      EXPECT_NE(defaults.synchronize().message().find(file.string()), std::string::npos);
      EXPECT_EQ(defaults.valueForKey("totalAmount"), Value(0.0)) << "still pending";
    }
    EXPECT_EQ(fileBytes(file), bytes);
    EXPECT_EQ(directory.listing(), listing);
  }
}

// A folder that cannot be written fails the commit, naming the file, and keeps the writes
// pending for the next try. Root may write anywhere, so such folders are made in ways that stop
// root too: a file where the folder should be; /proc, where nothing can be created; and, for an
// existing store in a read-only folder, a child process that first gives up root for the
// unprivileged user "nobody".
TEST(BadInput, FoldersThatCannotBeWrittenFailTheCommitVisibly) {
  auto expectRefusedAndKept = [](SqliteUserDefaults& defaults) {
    EXPECT_TRUE(testing::loadFrom(defaults).status.isOk()) << "nothing stored is not damage";
    saveStore(testing::budgetWith("Food"), defaults);
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
        testing::Loaded loaded = testing::loadFrom(defaults);
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

// Any bytes are a name or a note: invalid UTF-8, control characters, NUL, a megabyte of them. They
// come back from a commit and load exactly as given (ModelBased uses such texts kilobytes long).
// Megabyte amount texts are read or refused like short ones.
TEST(BadInput, MegabytesOfArbitraryBytesAndTheLargestFiguresPassThrough) {
  std::string name(1 << 20, '\0');
  std::string note(1 << 20, '\0');
  for (std::size_t i = 0; i < name.size(); ++i) {
    name[i] = static_cast<char>(i * 7 % 256);
    note[i] = static_cast<char>(255 - i % 256);
  }
  const std::string renamed = "\xC0\xAF\xED\xA0\x80\x01\x7F\r\n'\"," + name;
  NumberFormatter formatter("en_US");
  BudgetStore store;
  addEnvelope(store, name, 3);
  recordTransaction(store, 0, note, "12,5", "subtract", formatter);
  updateEnvelope(store, 0, renamed, 4);

  const std::string megabyteOfOnes(1 << 20, '1');
  for (const std::string& refused :
       {megabyteOfOnes, "5" + std::string(1 << 20, ' '), std::string(1 << 20, ','), note}) {
    EXPECT_EQ(recordTransaction(store, 0, note, refused, "add", formatter).outcome,
              RecordOutcome::InvalidAmount);
  }
  EXPECT_EQ(parseAmount("0," + megabyteOfOnes), 1.0 / 9.0);
  EXPECT_EQ(parseAmount("0." + std::string(1 << 20, '0') + "1"), 0.0) << "underflow reads as 0";

  TemporaryDirectory directory;
  const fs::path file = directory.path() / "defaults.sqlite3";
  saveAndCommit(store, file);
  SqliteUserDefaults defaults(file);
  const testing::Loaded loaded = testing::loadFrom(defaults);
  EXPECT_TRUE(loaded.status.isOk()) << loaded.status.message();
  EXPECT_TRUE(sameBudget(loaded.store, store));
  EXPECT_EQ(loaded.store.detailArrays()[0],
            (std::vector<std::string>{"Added '" + name + "'", note, "Edited '" + renamed + "'"}));

  // No recording takes more than 1e15 either way (ModelBased types far larger amounts), so that
  // none makes a figure infinite, never to be corrected; one at the largest double still takes
  // them.
  const double largest = std::numeric_limits<double>::max();
  store.setBalance(0, largest);
  store.setTotalAmount(largest);
  EXPECT_EQ(recordTransaction(store, 0, "", "1e15", "add", formatter).outcome,
            RecordOutcome::Recorded);
  EXPECT_EQ(store.categoryAmounts()[0], largest);
  EXPECT_EQ(store.totalAmount(), largest);
}

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
