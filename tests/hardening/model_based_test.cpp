// Every store operation in random sequences, with saves, loads, undo and redo in between, checked
// after each step against a reference model written from the rules.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <deque>
#include <limits>
#include <memory>
#include <random>

#include "core/envelope_editing.h"
#include "core/envelope_list.h"
#include "core/persistence.h"
#include "core/transactions.h"
#include "platform/defaults/in_memory_user_defaults.h"
#include "platform/defaults/sqlite_user_defaults.h"
#include "tests/support/samples.h"
#include "tests/support/store_files.h"
#include "tests/support/temporary_directory.h"

namespace allot::testing {
namespace {

// Checked after each step: shape, contents and each recording's outcome; undo and redo must give
// back the reference as it was, bit for bit. Texts are tested where they are shown.
std::uint64_t bits(double figure) {
  return std::bit_cast<std::uint64_t>(figure);
}

// The budget as the rules describe it, not as the store's code does: amounts arrive read and
// signed, and are added or subtracted one by one (never recomputed), so figures match bit for bit.
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
  // Display row 0 is the newest entry.
  void deleteRow(std::size_t n, std::size_t displayRow) {
    ReferenceEnvelope& envelope = envelopes[n];
    const auto index = static_cast<std::ptrdiff_t>(envelope.amounts.size() - 1 - displayRow);
    const double amount = envelope.amounts[index];
    envelope.balance -= amount;
    total -= amount;
    envelope.descriptions.erase(envelope.descriptions.begin() + index);
    envelope.amounts.erase(envelope.amounts.begin() + index);
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

// What a user might type, seeded: names and notes of awkward pieces (now and then kilobytes of any
// bytes), and amount texts with what each must read as, known from how it was built.
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
    if (kind == 5) return kReadAmounts[below(std::size(kReadAmounts))];
    if (kind == 6) return {kRefusedAmounts[below(std::size(kRefusedAmounts))], {}};
    if (kind == 7) return {"x" + text(), {}};  // no number starts with a letter x
    if (kind == 8) return {"", {}};
    // Exponents far beyond a double: overflow is refused, underflow reads as zero.
    if (chance(50)) return {"1e" + std::to_string(309 + below(100'000)), {}};
    return {"-7e-" + std::to_string(400 + below(100'000)), -0.0};
  }

  // A mode word and the sign it gives the amount: only "subtract" itself takes money out.
  std::pair<const char*, double> modeWord() {
    static const char* const kOthers[] = {"Subtract", "", "subtract ", "take", "add "};
    if (chance(45)) return {"subtract", -1.0};
    return {chance(80) ? "add" : kOthers[below(std::size(kOthers))], 1.0};
  }

  std::int64_t colorNumber() {
    if (chance(90)) return static_cast<std::int64_t>(below(5));
    return chance(50) ? std::numeric_limits<std::int64_t>::min()
                      : static_cast<std::int64_t>(random_());
  }

 private:
  std::mt19937_64 random_;
};

enum Operation { Record, Delete, Edit, Move, Reset, Remove, Reload, SqliteReload, Undo, Redo, Add };
// Percentages of the steps for each operation but Add, which takes what is left over.
using Weights = std::array<unsigned, Add>;

// How often the sequences went where faults hide (each must be reached): trimmed recordings, edits
// past the limit, refusals, SQLite reloads, undo and redo, a history that forgets its oldest.
struct Coverage {
  int trimmed = 0, editedPastLimit = 0, refused = 0, sqliteReloads = 0, undone = 0, redone = 0,
      forgotten = 0;
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
      if (done_.size() > UndoHistory::kDepth) {
        done_.pop_front();
        ++coverage.forgotten;
      }
      undone_.clear();
    }
  }

  // Takes back every change the history still holds, checking each state on the way.
  void undoAll(Coverage& coverage) {
    while (!done_.empty()) {
      travel(true, coverage);
      check();
      ASSERT_FALSE(::testing::Test::HasFailure()) << done_.size() << " changes still to undo";
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
        const auto [mode, sign] = input_.modeWord();
        const bool full = model_.envelopes[n].amounts.size() >= 200;
        const RecordResult result = recordTransaction(store_, n, note, text, mode, formatter_);
        const bool taken = value && model_.record(n, note, sign * *value);
        coverage.refused += !taken;
        coverage.trimmed += taken && full;
        EXPECT_EQ(result.outcome, taken          ? RecordOutcome::Recorded
                                  : text.empty() ? RecordOutcome::EmptyAmount
                                                 : RecordOutcome::InvalidAmount)
            << text;
        return;
      }
      case Delete: {  // an entry
        const std::size_t entries = model_.envelopes[n].amounts.size();
        if (entries == 0) return;
        const std::size_t row = input_.chance(50) ? 0 : input_.below(entries);
        model_.deleteRow(n, row);
        deleteTransaction(store_, n, row, formatter_);
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
        // Two long-lived writers on one file, each writing only changed rows, must notice what
        // the other committed; a new store then loads the file, as a later run would.
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
        addEnvelope(store_, note, color);
    }
  }

  // Order and contents of every list, and balances and the total kept by deltas (never
  // recomputed from the entries).
  void check() {
    ASSERT_TRUE(hasWholeShape(store_));
    ASSERT_EQ(store_.envelopeCount(), model_.envelopes.size());
    EXPECT_EQ(bits(store_.totalAmount()), bits(model_.total));
    for (std::size_t i = 0; i < model_.envelopes.size(); ++i) {
      const ReferenceEnvelope& envelope = model_.envelopes[i];
      EXPECT_EQ(store_.categoryNames()[i], envelope.name) << i;
      EXPECT_EQ(store_.envelopeColors()[i], envelope.color) << i;
      EXPECT_EQ(bits(store_.categoryAmounts()[i]), bits(envelope.balance)) << i;
      ASSERT_EQ(store_.detailArrays()[i], envelope.descriptions) << i;
      ASSERT_EQ(bitsOf(store_.detailAmountArrays()[i]), bitsOf(envelope.amounts));
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
    Loaded loaded = loadFrom(defaults);
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
  TemporaryDirectory directory;
  // Recording-heavy runs reach the transaction limit (one never reloads, so that its history
  // fills); balanced ones reset, delete and reload a lot.
  const Weights recordingHeavy{70, 6, 6, 4, 0, 0, 3, 1, 3, 2};
  const Weights neverReloaded{70, 6, 6, 4, 0, 0, 0, 0, 3, 2};
  const Weights balanced{40, 10, 6, 7, 5, 5, 6, 1, 6, 3};
  const struct {
    std::uint64_t seed;
    Weights weights;
    const char* locale;
  } runs[] = {{1, recordingHeavy, "en_US"}, {2, recordingHeavy, "de_DE"},
              {3, neverReloaded, "fr_FR"},  {4, balanced, "en_US"},
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
  EXPECT_GT(coverage.forgotten, 0);
}

}  // namespace
}  // namespace allot::testing
