// Load and save: stored data of every layout taken and made whole, and damage reported with the
// store left empty. What each operation stores is tested against a reference model in ModelBased.
#include "core/persistence.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "platform/defaults/in_memory_user_defaults.h"
#include "tests/support/samples.h"
#include "tests/support/store_files.h"

namespace allot {
namespace {

using List = Value::List;

testing::Loaded load(const std::vector<std::pair<const char*, Value>>& stored) {
  InMemoryUserDefaults defaults;
  for (const auto& [key, value] : stored) defaults.setObject(value, key);
  return testing::loadFrom(defaults);
}

// Which keys are written is pinned by the loads below and the round trips in ModelBased.
TEST(Persistence, SavingWritesAllSixKeysWithoutCommitting) {
  InMemoryUserDefaults defaults;
  saveStore(BudgetStore(), defaults);
  EXPECT_EQ(defaults.writeCount(), 6);
  EXPECT_EQ(defaults.synchronizeCount(), 0) << "committing is the platform's duty";
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

}  // namespace
}  // namespace allot
