#include "core/persistence.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "core/envelope_editing.h"
#include "platform/defaults/in_memory_user_defaults.h"
#include "platform/defaults/sqlite_user_defaults.h"

namespace allot {
namespace {

using List = Value::List;

LoadReport load(BudgetStore& store, UserDefaults& defaults) {
  LoadReport report;
  EXPECT_TRUE(loadStore(store, defaults, &report));
  return report;
}

void expectEmpty(const BudgetStore& store) {
  EXPECT_EQ(store.envelopeCount(), 0u);
  EXPECT_EQ(store.totalAmount(), 0.0);
  EXPECT_TRUE(store.envelopeColors().empty());
  EXPECT_TRUE(store.detailAmountArrays().empty());
}

TEST(Persistence, FirstLaunchLoadsEmptyAndSavesAllSixKeys) {
  InMemoryUserDefaults defaults;
  BudgetStore store;
  EXPECT_FALSE(load(store, defaults).unloadable);
  expectEmpty(store);
  saveStore(store, defaults);
  EXPECT_EQ(defaults.writeCount(), 6);
  EXPECT_EQ(defaults.synchronizeCount(), 0) << "committing is the platform's duty";
  EXPECT_EQ(*defaults.valueForKey("totalAmount"), Value(0.0));
  for (const char* key :
       {"categoryNames", "envelopeColors", "categoryAmounts", "detailArrays", "detailAmountArrays"}) {
    EXPECT_EQ(*defaults.valueForKey(key), Value(List{})) << key;
  }
}

TEST(Persistence, OldestLayoutGetsCreationEntriesAndDefaultColours) {
  InMemoryUserDefaults defaults;
  defaults.setDouble(12.5, "totalAmount");
  defaults.setObject(List{"Food", "Rent"}, "categoryNames");
  defaults.setObject(List{10.0, std::int64_t{2}}, "categoryAmounts");
  defaults.setObject(List{std::int64_t{4}}, "envelopeColors");  // not read in this layout
  BudgetStore store;
  EXPECT_FALSE(load(store, defaults).unloadable);
  EXPECT_EQ(store.totalAmount(), 12.5);
  EXPECT_EQ(store.categoryAmounts(), (std::vector<double>{10.0, 2.0}));
  EXPECT_EQ(store.envelopeColors(), (std::vector<std::int64_t>{2, 2}));
  EXPECT_EQ(store.detailArrays()[1], (std::vector<std::string>{"Added 'Rent'"}));
  EXPECT_EQ(store.detailAmountArrays()[0], (std::vector<double>{0.0}));
}

TEST(Persistence, DescriptionsOnlyLayoutGetsZeroAmounts) {
  InMemoryUserDefaults defaults;
  defaults.setDouble(1.0, "totalAmount");
  defaults.setObject(List{"A", "B"}, "categoryNames");
  defaults.setObject(List{0.5, 0.5}, "categoryAmounts");
  defaults.setObject(List{List{"x", "y", "z"}, List{}}, "detailArrays");
  defaults.setObject(List{List{9.0}}, "detailAmountArrays");  // not read in this layout
  BudgetStore store;
  EXPECT_FALSE(load(store, defaults).unloadable);
  EXPECT_EQ(store.envelopeColors(), (std::vector<std::int64_t>{2, 2}));
  EXPECT_EQ(store.detailAmountArrays(),
            (std::vector<std::vector<double>>{{0.0, 0.0, 0.0}, {}}));
  EXPECT_EQ(store.detailArrays()[0].size(), 3u);
  EXPECT_EQ(store.totalAmount(), 1.0);
}

TEST(Persistence, OneMismatchedEnvelopeZeroesEveryEnvelopesAmounts) {
  InMemoryUserDefaults defaults;
  defaults.setDouble(6.0, "totalAmount");
  defaults.setObject(List{"A", "B", "C"}, "categoryNames");
  defaults.setObject(List{std::int64_t{0}, 1.0, std::int64_t{4}}, "envelopeColors");
  defaults.setObject(List{1.0, 2.0, 3.0}, "categoryAmounts");
  defaults.setObject(List{List{"a"}, List{"b1", "b2", "b3", "b4"}, List{"c"}}, "detailArrays");
  defaults.setObject(List{List{1.0}, List{2.0, 2.0, 2.0}, List{3.0}}, "detailAmountArrays");
  BudgetStore store;
  EXPECT_FALSE(load(store, defaults).unloadable);
  EXPECT_EQ(store.detailAmountArrays(),
            (std::vector<std::vector<double>>{{0.0}, {0.0, 0.0, 0.0, 0.0}, {0.0}}));
  EXPECT_EQ(store.envelopeColors(), (std::vector<std::int64_t>{0, 1, 4}));
  EXPECT_EQ(store.categoryAmounts(), (std::vector<double>{1.0, 2.0, 3.0}));
  EXPECT_EQ(store.totalAmount(), 6.0);
}

TEST(Persistence, ListsLongerThanTheNamesAreTrimmed) {
  InMemoryUserDefaults defaults;
  defaults.setDouble(1.0, "totalAmount");
  defaults.setObject(List{"A"}, "categoryNames");
  defaults.setObject(List{1.0, 2.0}, "categoryAmounts");
  defaults.setObject(List{std::int64_t{3}, std::int64_t{1}}, "envelopeColors");
  defaults.setObject(List{List{"a"}, List{"extra"}}, "detailArrays");
  defaults.setObject(List{List{1.0}, List{2.0, 3.0}}, "detailAmountArrays");
  BudgetStore store;
  EXPECT_FALSE(load(store, defaults).unloadable);
  EXPECT_EQ(store.categoryAmounts(), (std::vector<double>{1.0}));
  EXPECT_EQ(store.envelopeColors(), (std::vector<std::int64_t>{3}));
  EXPECT_EQ(store.detailAmountArrays(), (std::vector<std::vector<double>>{{1.0}}));
}

TEST(Persistence, DataThatCannotBeTakenLeavesTheStoreEmptyAndIsReported) {
  auto complete = [] {
    auto defaults = std::make_unique<InMemoryUserDefaults>();
    defaults->setDouble(1.0, "totalAmount");
    defaults->setObject(List{"A", "B"}, "categoryNames");
    defaults->setObject(List{std::int64_t{1}, std::int64_t{2}}, "envelopeColors");
    defaults->setObject(List{0.5, 0.5}, "categoryAmounts");
    defaults->setObject(List{List{"a"}, List{}}, "detailArrays");
    defaults->setObject(List{List{0.5}, List{}}, "detailAmountArrays");
    return defaults;
  };
  struct Damage {
    const char* key;
    std::optional<Value> value;  // nothing: the key is removed
    const char* reason;
  };
  const Damage damages[] = {
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
  };
  for (const Damage& damage : damages) {
    auto defaults = complete();
    if (damage.value) {
      defaults->setObject(*damage.value, damage.key);
    } else {
      defaults->removeValueForKey(damage.key);
    }
    BudgetStore store;
    addEnvelope(store, "left over", 0);
    const LoadReport report = load(store, *defaults);
    EXPECT_TRUE(report.unloadable) << damage.reason;
    EXPECT_EQ(report.reason.rfind(damage.reason, 0), 0u) << report.reason;
    expectEmpty(store);
  }
}

class TemporaryDirectory {
 public:
  TemporaryDirectory()
      : path_(std::filesystem::temp_directory_path() /
              ("allot-core-test-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    std::filesystem::remove_all(path_);
  }
  ~TemporaryDirectory() { std::filesystem::remove_all(path_); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

TEST(Persistence, SaveCommitAndLoadInANewProcessGiveTheSameStore) {
  TemporaryDirectory directory;
  const auto file = directory.path() / "nested" / "defaults.sqlite3";
  BudgetStore saved;
  addEnvelope(saved, "Café \"Zürich\" — O'Brien's 🍕", 4);
  addEnvelope(saved, "", 0);
  addEnvelope(saved, "Rent", 1);
  saved.setBalance(0, -12.345);
  saved.setBalance(1, std::numeric_limits<double>::infinity());
  saved.setBalance(2, -0.0);
  saved.setTotalAmount(std::numeric_limits<double>::quiet_NaN());
  saved.appendTransaction(0, "naïve 'note' with \"quotes\"", -1e-310);
  saved.appendTransaction(2, std::string("nul\0inside", 10), 1e300);
  {
    SqliteUserDefaults defaults(file);
    saveStore(saved, defaults);
    ASSERT_TRUE(defaults.synchronize()) << defaults.lastError();
  }
  SqliteUserDefaults reopened(file);
  BudgetStore loaded;
  EXPECT_FALSE(load(loaded, reopened).unloadable);
  EXPECT_TRUE(std::isnan(loaded.totalAmount()));
  EXPECT_EQ(loaded.categoryNames(), saved.categoryNames());
  EXPECT_EQ(loaded.envelopeColors(), saved.envelopeColors());
  EXPECT_EQ(loaded.detailArrays(), saved.detailArrays());
  EXPECT_EQ(loaded.detailAmountArrays(), saved.detailAmountArrays());
  EXPECT_EQ(loaded.categoryAmounts()[0], -12.345);
  EXPECT_EQ(loaded.categoryAmounts()[1], std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::signbit(loaded.categoryAmounts()[2]));
}

}  // namespace
}  // namespace allot
