// Random sequences of every store operation, with saves and loads in between, checked after each
// step against a reference model: the store's shape, its whole contents, and the results and
// messages of the operations. This is where what the operations do is tested; the texts they show
// are in EnvelopeList.TextsOfTheTotalRowsAndQuestions.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <memory>

#include "core/envelope_list.h"
#include "core/money.h"
#include "core/persistence.h"
#include "platform/defaults/in_memory_user_defaults.h"
#include "platform/defaults/sqlite_user_defaults.h"
#include "tests/hardening/random_input.h"
#include "tests/support/budgets.h"
#include "tests/support/temporary_directory.h"

namespace allot::hardening {
namespace {

using testing::bitsOf;

std::uint64_t bits(double figure) {
  return std::bit_cast<std::uint64_t>(figure);
}

constexpr int kSteps = 3000;
constexpr std::size_t kMostEnvelopes = 8;

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

// Order and contents of every list, and balances and the total kept by deltas (never recomputed
// from the entries).
void expectSameAsModel(const BudgetStore& store, const ReferenceBudget& model) {
  ASSERT_TRUE(testing::hasWholeShape(store));
  ASSERT_EQ(store.envelopeCount(), model.envelopes.size());
  EXPECT_EQ(bits(store.totalAmount()), bits(model.total));
  for (std::size_t i = 0; i < model.envelopes.size(); ++i) {
    const ReferenceEnvelope& envelope = model.envelopes[i];
    EXPECT_EQ(store.categoryNames()[i], envelope.name) << i;
    EXPECT_EQ(store.envelopeColors()[i], envelope.color) << i;
    EXPECT_EQ(bits(store.categoryAmounts()[i]), bits(envelope.balance)) << i;
    ASSERT_EQ(store.detailArrays()[i], envelope.descriptions) << i;
    ASSERT_EQ(bitsOf(store.detailAmountArrays()[i]), bitsOf(envelope.amounts)) << i;
  }
}

// Percentages of the steps; what is left over adds an envelope.
struct Weights {
  unsigned record, deleteEntry, edit, move, reset, remove, reload, sqliteReload;
};

// How often the sequences went where faults hide: each must be reached to be tested.
struct Coverage {
  int trimmed = 0;          // recordings that dropped the oldest entry
  int editedPastLimit = 0;  // edits of an envelope already holding 200 entries
  int refused = 0;
  int sqliteReloads = 0;
};

class ModelRun {
 public:
  ModelRun(std::uint64_t seed, Weights weights, const char* locale,
           const std::filesystem::path& file)
      : input_(seed), weights_(weights), formatter_(locale), file_(file) {}

  void step(Coverage& coverage) {
    using Operation = void (ModelRun::*)(Coverage&);
    const std::pair<unsigned, Operation> operations[] = {
        {weights_.record, &ModelRun::record}, {weights_.deleteEntry, &ModelRun::deleteEntry},
        {weights_.edit, &ModelRun::edit},     {weights_.move, &ModelRun::move},
        {weights_.reset, &ModelRun::reset},   {weights_.remove, &ModelRun::remove},
        {weights_.reload, &ModelRun::reload}, {weights_.sqliteReload, &ModelRun::sqliteReload},
    };
    unsigned pick = static_cast<unsigned>(input_.below(100));
    for (const auto& [weight, operation] : operations) {
      if (pick < weight) {
        if (model_.envelopes.empty()) break;  // nothing to work on: add one
        return (this->*operation)(coverage);
      }
      pick -= weight;
    }
    add(coverage);
  }

  void check() { expectSameAsModel(store_, model_); }

 private:
  // Half the operations go to envelope 0, so that its list reaches the transaction limit.
  std::size_t envelope() { return input_.chance(50) ? 0 : input_.below(model_.envelopes.size()); }

  void record(Coverage& coverage) {
    const std::size_t n = envelope();
    const TypedAmount typed = input_.amount();
    const std::string mode = input_.modeWord();
    const std::string note = input_.text();
    const bool full = model_.envelopes[n].amounts.size() >= 200;
    const RecordResult result = recordTransaction(store_, n, note, typed.text, mode, formatter_);
    const double amount = typed.value ? (mode == "subtract" ? -*typed.value : *typed.value) : 0.0;
    if (!typed.value || !model_.record(n, note, amount)) {
      ++coverage.refused;
      EXPECT_EQ(result.outcome,
                typed.text.empty() ? RecordOutcome::EmptyAmount : RecordOutcome::InvalidAmount)
          << typed.text;
      EXPECT_EQ(result.message, "Please enter a valid number.");
      return;
    }
    EXPECT_EQ(result.outcome, RecordOutcome::Recorded) << typed.text;
    EXPECT_EQ(result.message, "Transaction of " + formatAmount(amount, formatter_) + " recorded.");
    if (full) ++coverage.trimmed;
  }

  void deleteEntry(Coverage&) {
    const std::size_t n = envelope();
    const std::size_t count = model_.envelopes[n].amounts.size();
    if (count == 0) return;
    const std::size_t row = input_.chance(50) ? 0 : input_.below(count);
    const double amount = model_.deleteRow(n, row);
    EXPECT_EQ(deleteTransaction(store_, n, row, formatter_),
              "Transaction of " + formatAmount(amount, formatter_) + " deleted.");
  }

  void add(Coverage&) {
    if (model_.envelopes.size() >= kMostEnvelopes) return;
    const std::string name = input_.text();
    const std::int64_t color = input_.colorNumber();
    model_.add(name, color);
    EXPECT_EQ(addEnvelope(store_, name, color), "Added '" + name + "'");
  }

  void edit(Coverage& coverage) {
    const std::size_t n = envelope();
    const std::string name = input_.text();
    const std::int64_t color = input_.colorNumber();
    if (model_.envelopes[n].amounts.size() >= 200) ++coverage.editedPastLimit;
    model_.edit(n, name, color);
    updateEnvelope(store_, n, name, color);
  }

  void move(Coverage&) {
    const std::size_t from = input_.below(model_.envelopes.size());
    const std::size_t to = input_.below(model_.envelopes.size());
    model_.move(from, to);
    moveEnvelope(store_, from, to);
  }

  void reset(Coverage&) {
    const std::size_t n = envelope();
    model_.reset(n);
    resetEnvelope(store_, n);
  }

  void remove(Coverage&) {
    const std::size_t n = envelope();
    model_.remove(n);
    deleteEnvelope(store_, n);
  }

  void takeLoaded(UserDefaults& defaults) {
    BudgetStore loaded;
    LoadReport report;
    loadStore(loaded, defaults, &report);
    EXPECT_FALSE(report.unloadable()) << report.reason();
    store_ = std::move(loaded);
  }

  void reload(Coverage&) {
    InMemoryUserDefaults defaults;
    saveStore(store_, defaults);
    takeLoaded(defaults);
  }

  // Saves through one of two long-lived stores on the same file, which write only the rows that
  // changed since they last looked: each must notice what the other committed meanwhile. A new
  // store then loads the file, as a later run of the application would.
  void sqliteReload(Coverage& coverage) {
    std::unique_ptr<SqliteUserDefaults>& writer = writers_[input_.below(writers_.size())];
    if (!writer) writer = std::make_unique<SqliteUserDefaults>(file_);
    saveStore(store_, *writer);
    ASSERT_TRUE(writer->synchronize()) << writer->lastError();
    SqliteUserDefaults reader(file_);
    takeLoaded(reader);
    EXPECT_EQ(reader.readStatus().message(), "");
    ++coverage.sqliteReloads;
  }

  RandomInput input_;
  Weights weights_;
  NumberFormatter formatter_;
  std::filesystem::path file_;
  std::array<std::unique_ptr<SqliteUserDefaults>, 2> writers_;
  BudgetStore store_;
  ReferenceBudget model_;
};

TEST(ModelBased, RandomOperationSequencesMatchTheReferenceModel) {
  testing::TemporaryDirectory directory;
  // Recording-heavy runs reach the transaction limit; balanced ones reset, delete and reload a
  // lot.
  const Weights recordingHeavy{75, 6, 6, 4, 0, 0, 3, 1};
  const Weights balanced{45, 12, 6, 7, 5, 5, 8, 1};
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
    for (int step = 0; step < kSteps; ++step) {
      model.step(coverage);
      model.check();
      ASSERT_FALSE(::testing::Test::HasFailure()) << "at step " << step;
    }
  }
  EXPECT_GT(coverage.trimmed, 0);
  EXPECT_GT(coverage.editedPastLimit, 0);
  EXPECT_GT(coverage.refused, 0);
  EXPECT_GT(coverage.sqliteReloads, 0);
}

}  // namespace
}  // namespace allot::hardening
