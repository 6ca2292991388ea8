// The core below the operations (which are tested against a reference model in ModelBased): the
// store and its load, save and rescue, with stored data of every layout and kind of damage; and
// what the user types and reads.
#include "core/persistence.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <optional>
#include <tuple>

#include "core/envelope_list.h"
#include "core/money.h"
#include "core/stored_data_rescue.h"
#include "core/transactions.h"
#include "platform/defaults/in_memory_user_defaults.h"
#include "tests/support/samples.h"
#include "tests/support/store_files.h"
#include "tests/support/temporary_directory.h"

namespace allot {
namespace {

using List = Value::List;

testing::Loaded load(const std::vector<std::pair<const char*, Value>>& stored) {
  InMemoryUserDefaults defaults;
  for (const auto& [key, value] : stored) defaults.setObject(value, key);
  return testing::loadFrom(defaults);
}

TEST(Persistence, SavingWritesAllSixKeysWithoutCommitting) {
  InMemoryUserDefaults defaults;
  saveStore(BudgetStore(), defaults);
  EXPECT_EQ(defaults.writeCount(), 6);
  EXPECT_EQ(defaults.synchronizeCount(), 0) << "committing is the platform's duty";
  EXPECT_EQ(*defaults.valueForKey("totalAmount"), Value(0.0));
  for (const char* key : {"categoryNames", "envelopeColors", "categoryAmounts", "detailArrays",
                          "detailAmountArrays"}) {
    EXPECT_EQ(*defaults.valueForKey(key), Value(List{})) << key;
  }
}

// Nothing stored loads empty; older layouts are brought up to date, and lists that do not fit the
// names are made to; finite figures are taken as stored, however large or tiny.
TEST(Persistence, OlderLayoutsAndListsThatDoNotFitAreTakenAndMadeWhole) {
  const struct {
    const char* what;
    std::vector<std::pair<const char*, Value>> stored;
    BudgetFields loaded;
  } cases[] = {
      // clang-format off
      {"nothing stored", {}, {}},
      {"oldest layout: creation entries and default colours; stored colours are not read",
       {{"totalAmount", 12.5}, {"categoryNames", List{"Food", "Rent"}},
        {"categoryAmounts", List{10.0, 2}}, {"envelopeColors", List{4}}},
       {12.5, {"Food", "Rent"}, {2, 2}, {10.0, 2.0}, {{"Added 'Food'"}, {"Added 'Rent'"}}, {{0.0}, {0.0}}}},
      {"descriptions only: zero amounts; stored amounts are not read",
       {{"totalAmount", 1.0}, {"categoryNames", List{"A", "B"}}, {"categoryAmounts", List{0.5, 0.5}},
        {"detailArrays", List{List{"x", "y", "z"}, List{}}}, {"detailAmountArrays", List{List{9.0}}}},
       {1.0, {"A", "B"}, {2, 2}, {0.5, 0.5}, {{"x", "y", "z"}, {}}, {{0.0, 0.0, 0.0}, {}}}},
      {"one mismatched envelope zeroes every envelope's amounts, and only those",
       {{"totalAmount", 6.0}, {"categoryNames", List{"A", "B", "C"}}, {"envelopeColors", List{0, 1.0, 4}},
        {"categoryAmounts", List{1.0, 2.0, 3.0}},
        {"detailArrays", List{List{"a"}, List{"b1", "b2", "b3", "b4"}, List{"c"}}},
        {"detailAmountArrays", List{List{1.0}, List{2.0, 2.0, 2.0}, List{3.0}}}},
       {6.0, {"A", "B", "C"}, {0, 1, 4}, {1.0, 2.0, 3.0}, {{"a"}, {"b1", "b2", "b3", "b4"}, {"c"}},
        {{0.0}, {0.0, 0.0, 0.0, 0.0}, {0.0}}}},
      {"lists longer than the names are trimmed",
       {{"totalAmount", 1.0}, {"categoryNames", List{"A"}}, {"categoryAmounts", List{1.0, 2.0}},
        {"envelopeColors", List{3, 1}}, {"detailArrays", List{List{"a"}, List{"extra"}}},
        {"detailAmountArrays", List{List{1.0}, List{2.0, 3.0}}}},
       {1.0, {"A"}, {3}, {1.0}, {{"a"}}, {{1.0}}}},
      {"huge and tiny figures",
       {{"totalAmount", -1e300}, {"categoryNames", List{"A"}}, {"envelopeColors", List{0}},
        {"categoryAmounts", List{1e300}}, {"detailArrays", List{List{"a", "b"}}},
        {"detailAmountArrays", List{List{1e-310, -1e15}}}},
       {-1e300, {"A"}, {0}, {1e300}, {{"a", "b"}}, {{1e-310, -1e15}}}},
      // clang-format on
  };
  for (const auto& [what, stored, loaded] : cases) {
    BudgetStore expected;
    ASSERT_TRUE(expected.assign(loaded));
    const testing::Loaded taken = load(stored);
    EXPECT_TRUE(taken.status.isOk()) << what;
    EXPECT_TRUE(testing::sameBudget(taken.store, expected)) << what;
  }
}

TEST(Persistence, DataThatCannotBeTakenLeavesTheStoreEmptyAndIsReported) {
  // clang-format off
  const std::vector<std::pair<const char*, Value>> complete = {
      {"totalAmount", 1.0}, {"categoryNames", List{"A", "B"}}, {"envelopeColors", List{1, 2}},
      {"categoryAmounts", List{0.5, 0.5}}, {"detailArrays", List{List{"a"}, List{}}},
      {"detailAmountArrays", List{List{0.5}, List{}}}};
  // clang-format on
  const struct {
    const char* key;
    std::optional<Value> value;  // nothing: the key is removed
    const char* reason;
  } damages[] = {
      {"totalAmount", std::nullopt, "\"categoryNames\" is stored without \"totalAmount\""},
      {"totalAmount", Value("1"), "\"totalAmount\" is not a number"},
      {"categoryNames", std::nullopt, "\"categoryNames\" is missing"},
      {"categoryNames", Value(List{"A", 2.0}), "\"categoryNames\" is not a list of texts"},
      {"categoryAmounts", Value(List{0.5}), "\"categoryAmounts\" has 1 entries for 2 envelopes"},
      {"detailArrays", Value(List{List{"a"}}), "\"detailArrays\" has 1 entries for 2 envelopes"},
      {"detailArrays", Value(List{List{"a"}, "b"}), "\"detailArrays\" is not a list of lists"},
      {"envelopeColors", Value(List{1.5, 2.0}), "\"envelopeColors\" is not a list of whole"},
      {"envelopeColors", Value(List{std::int64_t{1}}), "\"envelopeColors\" has 1 entries"},
      {"detailAmountArrays", std::nullopt, "\"detailAmountArrays\" is missing"},
      {"detailAmountArrays", Value(List{List{0.5}}), "\"detailAmountArrays\" has 1 entries"},
      {"detailAmountArrays", Value(2.0), "\"detailAmountArrays\" is not a list of lists"},
      {"totalAmount", Value(std::nan("")), "\"totalAmount\" is not a finite number"},
      {"categoryAmounts", Value(List{0.5, -HUGE_VAL}), "\"categoryAmounts\" holds a balance"},
      {"detailAmountArrays", Value(List{List{std::nan("")}, List{}}),
       "\"detailAmountArrays\" holds"},
      {"detailAmountArrays", Value(List{List{-1.5e15}, List{}}), "\"detailAmountArrays\" holds"},
  };
  for (const auto& [key, value, reason] : damages) {
    auto stored = complete;
    std::erase_if(stored,
                  [key = key](const auto& entry) { return entry.first == std::string_view(key); });
    if (value) stored.emplace_back(key, *value);
    const testing::Loaded loaded = load(stored);
    EXPECT_EQ(loaded.status.message().rfind(reason, 0), 0u) << loaded.status.message();
    EXPECT_TRUE(testing::sameBudget(loaded.store, BudgetStore())) << reason;
  }
}

EnvelopeRecord record(std::string name, double balance) {
  return {std::move(name), 1, balance, {"x", "y"}, {1.0, 2.0}};
}

TEST(BudgetStore, AssignRefusesFieldsOfUnequalLength) {
  BudgetStore store;
  store.appendEnvelope(record("kept", 5.0));
  BudgetFields uneven{1.0, {"a"}, {1}, {}, {{}}, {{}}};  // no balance
  EXPECT_FALSE(store.assign(uneven));
  BudgetFields unpaired{1.0, {"a"}, {0}, {0.0}, {{"d"}}, {{}}};
  EXPECT_FALSE(store.assign(unpaired));
  EXPECT_EQ(store.categoryNames()[0], "kept");
  EXPECT_TRUE(store.assign({2.0, {"a"}, {4}, {1.0}, {{"d"}}, {{1.0}}}));
  EXPECT_EQ(store.totalAmount(), 2.0);
}

// Transaction lists still on their way arrive once, before anything reads them or a count, or
// changes the store; what the envelope list reads does not wait for them.
TEST(BudgetStore, ListsStillOnTheirWayArriveBeforeAnythingNeedsThem) {
  const std::function<void(BudgetStore&)> needs[] = {
      [](BudgetStore& store) { store.transactionCount(0); },
      [](BudgetStore& store) { store.detailAmountArrays(); },
      [](BudgetStore& store) { store.setTotalAmount(1.0); },
      [](BudgetStore& store) { store.moveEnvelope(0, 0); }};
  for (const auto& need : needs) {
    BudgetStore store;
    ASSERT_TRUE(store.assign({3.0, {"a"}, {1}, {3.0}, {{}}, {{}}}));
    int arrivals = 0;
    store.awaitTransactions([&arrivals](BudgetStore& arriving) {
      ++arrivals;
      arriving.assign({3.0, {"a"}, {1}, {3.0}, {{"x"}}, {{3.0}}});
    });
    EXPECT_EQ(store.categoryNames()[0], "a");
    EXPECT_EQ(store.categoryAmounts()[0] + store.totalAmount() + store.envelopeColors()[0], 7.0);
    EXPECT_EQ(arrivals, 0);
    need(store);
    EXPECT_EQ(store.detailArrays()[0], std::vector<std::string>{"x"});
    EXPECT_EQ(arrivals, 1);
    EXPECT_FALSE(store.transactionsPending());
  }
}

TEST(BudgetStoreDeathTest, OutOfRangeIndexesAssertInDebugAndChangeNothingOtherwise) {
  BudgetStore store;
  store.appendEnvelope(record("e", 1.0));
  EXPECT_DEBUG_DEATH(store.removeEnvelope(1), "out of range");
  EXPECT_DEBUG_DEATH(store.removeTransaction(0, 2), "out of range");
  EXPECT_DEBUG_DEATH(store.insertEnvelope(3, record("f", 0.0)), "out of range");
  EXPECT_DEBUG_DEATH(store.setBalance(7, 9.0), "out of range");
  EXPECT_EQ(store.envelopeCount(), 1u);
  EXPECT_EQ(store.transactionCount(0), 2u);
  EXPECT_EQ(store.categoryAmounts()[0], 1.0);
}

TEST(StoredDataRescue, CopiesTheFileAndItsLogAsideForTheUserAlone) {
  testing::TemporaryDirectory directory;
  const auto file = directory.path() / "defaults.sqlite3";
  std::ofstream(file, std::ios::binary) << "stored bytes";
  std::ofstream(file.string() + "-wal", std::ios::binary) << "log bytes";

  ::umask(0);
  std::filesystem::path first;
  const Status copied = copyStoreAside(file, &first);
  ::umask(022);
  ASSERT_TRUE(copied.isOk()) << copied.message();
  for (const auto& copy : {first, std::filesystem::path(first.string() + "-wal")}) {
    EXPECT_EQ(std::filesystem::status(copy).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  }
  EXPECT_EQ(first.parent_path(), directory.path());
  EXPECT_EQ(first.filename().string().rfind("defaults.sqlite3.unloadable-", 0), 0u);
  EXPECT_EQ(testing::fileBytes(first), "stored bytes");
  EXPECT_EQ(testing::fileBytes(first.string() + "-wal"), "log bytes");
  EXPECT_EQ(testing::fileBytes(file), "stored bytes") << "the original stays";

  // A second rescue in the same second does not overwrite the first copy.
  std::filesystem::path second;
  ASSERT_TRUE(copyStoreAside(file, &second).isOk());
  EXPECT_NE(second, first);

  std::filesystem::path none;
  const Status absent = copyStoreAside(directory.path() / "absent", &none);
  EXPECT_EQ(absent.kind(), Status::Kind::Failed);
  EXPECT_NE(absent.message().find("absent"), std::string::npos);
  EXPECT_TRUE(none.empty());
  // A copy that cannot be made, here for a name too long for one, is reported.
  const auto longName = directory.path() / std::string(240, 'd');
  std::ofstream(longName) << "stored bytes";
  EXPECT_FALSE(copyStoreAside(longName, &none).isOk());
}

// What the user types and reads: amounts read and shown, and the texts of the envelope list.
// A megabyte of digits, and the amounts that no recording takes, are in BadInput and ModelBased.
TEST(ParseAmount, ReadsCLocaleNumbersWithACommaAsDecimalPointAndRefusesEverythingElse) {
  for (const auto& [typed, expected] : testing::kReadAmounts) {
    EXPECT_EQ(parseAmount(typed), expected) << typed;
  }
  for (const std::string& typed : testing::kRefusedAmounts) {
    EXPECT_FALSE(parseAmount(typed).has_value()) << '"' << typed << '"';
  }
}

// A text that groups thousands the way the user's locale does is refused rather than read a
// thousand times too small; elsewhere, and for every other text, the comma stays a decimal point.
// Refused exactly like any invalid amount: the fixed sentence, and the store unchanged.
TEST(RecordTransaction, ThousandsGroupedInTheUsersLocaleAreRefused) {
  const std::tuple<const char*, const char*, std::optional<double>> cases[] = {
      {"en_US", "1,000", {}},       {"en_US", "12,500", {}},  {"en_US", "1,000.50", {}},
      {"en_US", "-1,000", {}},      {"en_US", "12,5", 12.5},  {"en_US", "12,50", 12.5},
      {"en_US", "12.50", 12.5},     {"en_US", "1,0000", 1.0}, {"en_US", "1.000", 1.0},
      {"de_DE", "1.000", {}},       {"de_DE", "12.500", {}},  {"de_DE", "1,000", 1.0},
      {"de_DE", "12,5", 12.5},      {"de_DE", "12.50", 12.5}, {"fr_FR", "1,000", 1.0},
      {"fr_FR", "1.000", 1.0},      {"fr_FR", "12,50", 12.5}, {"en_US_POSIX", "1,000", 1.0},
      {"en_US_POSIX", "12,5", 12.5}};
  for (const auto& [locale, typed, amount] : cases) {
    NumberFormatter formatter(locale);
    BudgetStore store = testing::budgetWith("Rent");
    const BudgetStore before = store;
    const RecordResult result = recordTransaction(store, 0, "Note", typed, "add", formatter);
    if (!amount) {
      EXPECT_EQ(result.outcome, RecordOutcome::InvalidAmount) << locale << " " << typed;
      EXPECT_EQ(result.message, "Please enter a valid number.") << locale << " " << typed;
      EXPECT_TRUE(testing::sameBudget(store, before)) << locale << " " << typed;
    } else {
      EXPECT_EQ(result.outcome, RecordOutcome::Recorded) << locale << " " << typed;
      EXPECT_EQ(store.categoryAmounts()[0], *amount) << locale << " " << typed;
    }
  }
}

// Two fraction digits in the locale's own notation, on every call, whatever the formatter was set
// to before (10.005 is stored as 10.00499999...); a text even for what no amount should be.
TEST(FormatAmount, TwoFractionDigitsInTheLocalesNotation) {
  const std::tuple<const char*, double, const char*> cases[] = {
      {"en_US", 1234.567, "1,234.57"},
      {"en_US", -12.5, "-12.50"},
      {"en_US", 0.0, "0.00"},
      {"en_US", 10.005, "10.00"},
      {"de_DE", 1234.567, "1.234,57"},
      {"fr_FR", 1234.567, "1\u202F234,57"},
      {"hi_IN", 1234567.891, "12,34,567.89"},
      {"en_US_POSIX", 1234.567, "1234.57"}};
  const double inf = std::numeric_limits<double>::infinity();
  for (const auto& [locale, amount, text] : cases) {
    NumberFormatter formatter(locale);
    EXPECT_EQ(formatAmount(amount, formatter), text) << locale << " " << amount;
    formatter.setMaximumFractionDigits(0);
    formatter.setMinimumFractionDigits(4);
    EXPECT_EQ(formatAmount(amount, formatter), text) << locale << " after other settings";
    for (double odd : {std::numeric_limits<double>::quiet_NaN(), inf, -inf}) {
      EXPECT_FALSE(formatAmount(odd, formatter).empty()) << locale << " " << odd;
    }
  }
}

TEST(EnvelopeList, TextsOfTheTotalRowsAndQuestions) {
  NumberFormatter us("en_US");
  BudgetStore store;
  store.appendEnvelope({"Food", 3, -7.0, {}, {}});
  store.appendEnvelope({"Say \"hi\"\n", 1, 1234.567, {}, {}});
  store.setTotalAmount(1234.5);
  EXPECT_EQ(totalText(store, us), "Total: 1,234.50");
  store.setTotalAmount(-3);
  EXPECT_EQ(totalText(store, us), "Total: -3.00");
  const EnvelopeRowContent food = envelopeRowContent(store, 0, us);
  EXPECT_EQ(food.nameText, "Food\n");
  EXPECT_EQ(food.balanceText, "-7.00");
  EXPECT_EQ(food.colorNumber, 3);
  EXPECT_EQ(envelopeRowContent(store, 1, us).nameText, "Say \"hi\"\n\n");
  EXPECT_EQ(deleteConfirmationMessage(store, 1),
            "Permanently delete \"\u2068Say \"hi\"\n\u2069\" and its balance?");
  EXPECT_EQ(resetConfirmationMessage(store, 0),
            "Reset the balance and clear all transactions for \"\u2068Food\u2069\"?");
}

}  // namespace
}  // namespace allot
