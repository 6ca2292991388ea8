#include "core/persistence.h"

#include <optional>

#include "core/envelope_editing.h"
#include "platform/defaults/value_lists.h"

namespace allot {
namespace {

struct Unloadable {
  std::string reason;
};

std::string quoted(std::string_view key) {
  std::string text;
  text.reserve(key.size() + 2);
  text.append(1, '"').append(key).append(1, '"');
  return text;
}

// Converts the value read for one key into its field; Unloadable when it is missing or of another
// kind.
template <typename Field>
void require(std::optional<Value> value, std::string_view key, std::string_view kind,
             Field& field) {
  if (!value) throw Unloadable{quoted(key) + " is missing"};
  if (!take(*value, field)) throw Unloadable{quoted(key) + " is not " + std::string(kind)};
}

// The same for a list of lists, which the store reads into its field itself.
void requireLists(UserDefaults::ListsRead read, std::string_view key, std::string_view kind) {
  if (read == UserDefaults::ListsRead::Absent) throw Unloadable{quoted(key) + " is missing"};
  if (read == UserDefaults::ListsRead::OtherKind) {
    throw Unloadable{quoted(key) + " is not " + std::string(kind)};
  }
}

// Keeps the first `count` entries of a per-envelope list; fewer is unloadable.
template <typename List>
void fitToEnvelopes(List& list, std::size_t count, std::string_view key) {
  if (list.size() < count) {
    throw Unloadable{quoted(key) + " has " + std::to_string(list.size()) + " entries for " +
                     std::to_string(count) + " envelopes"};
  }
  list.resize(count);
}

std::vector<std::vector<double>> zeroAmountsFor(
    const std::vector<std::vector<std::string>>& descriptions) {
  std::vector<std::vector<double>> amounts;
  amounts.reserve(descriptions.size());
  for (const auto& list : descriptions) amounts.emplace_back(list.size(), 0.0);
  return amounts;
}

const char* const perEnvelopeKeys[] = {"categoryNames", "envelopeColors", "categoryAmounts",
                                       "detailArrays", "detailAmountArrays"};

// Builds the six fields from what is stored, older layouts brought up to date. Throws Unloadable.
BudgetFields readFields(const UserDefaults& defaults) {
  BudgetFields fields;
  std::optional<Value> total = defaults.valueForKey("totalAmount");
  if (!total) {
    for (const char* key : perEnvelopeKeys) {
      if (defaults.valueForKey(key)) {
        throw Unloadable{quoted(key) + " is stored without \"totalAmount\""};
      }
    }
    return fields;
  }
  if (!take(*total, fields.totalAmount)) throw Unloadable{"\"totalAmount\" is not a number"};

  require(defaults.valueForKey("categoryNames"), "categoryNames", "a list of texts",
          fields.categoryNames);
  const std::size_t count = fields.categoryNames.size();
  require(defaults.valueForKey("categoryAmounts"), "categoryAmounts", "a list of numbers",
          fields.categoryAmounts);
  fitToEnvelopes(fields.categoryAmounts, count, "categoryAmounts");

  // Oldest layout: envelopes without transaction lists or colours.
  const UserDefaults::ListsRead details =
      defaults.readTextLists("detailArrays", fields.detailArrays);
  if (details == UserDefaults::ListsRead::Absent) {
    for (const std::string& name : fields.categoryNames) {
      fields.detailArrays.push_back({"Added '" + name + "'"});
      fields.detailAmountArrays.push_back({0.0});
      fields.envelopeColors.push_back(defaultColorNumber);
    }
    return fields;
  }
  requireLists(details, "detailArrays", "a list of lists of texts");
  fitToEnvelopes(fields.detailArrays, count, "detailArrays");

  // Descriptions without colours or amounts.
  std::optional<Value> colors = defaults.valueForKey("envelopeColors");
  if (!colors) {
    fields.envelopeColors.assign(count, defaultColorNumber);
    fields.detailAmountArrays = zeroAmountsFor(fields.detailArrays);
    return fields;
  }
  require(std::move(colors), "envelopeColors", "a list of whole numbers", fields.envelopeColors);
  fitToEnvelopes(fields.envelopeColors, count, "envelopeColors");
  requireLists(defaults.readNumberLists("detailAmountArrays", fields.detailAmountArrays),
               "detailAmountArrays", "a list of lists of numbers");
  fitToEnvelopes(fields.detailAmountArrays, count, "detailAmountArrays");

  // Repair: one mismatched pair of lists means the recorded amounts cannot be matched to their
  // descriptions, so every envelope's amounts become zeros; balances and the total stay as stored.
  for (std::size_t i = 0; i < count; ++i) {
    if (fields.detailAmountArrays[i].size() != fields.detailArrays[i].size()) {
      fields.detailAmountArrays = zeroAmountsFor(fields.detailArrays);
      break;
    }
  }
  return fields;
}

// A field as a stored list, each item built in place.
template <typename Item>
Value listValue(const std::vector<Item>& items) {
  Value::List list;
  list.reserve(items.size());
  for (const Item& item : items) list.emplace_back(item);
  return Value(std::move(list));
}

}  // namespace

bool loadStore(BudgetStore& store, UserDefaults& defaults, LoadReport* report) {
  LoadReport outcome;
  BudgetFields fields;
  outcome.status = defaults.beginReading();
  if (outcome.status.isOk()) {
    try {
      fields = readFields(defaults);
    } catch (const Unloadable& unloadable) {
      outcome.status = Status::unreadable(unloadable.reason);
      fields = {};
    }
    defaults.endReading();
    // A store file that could not be read, or a value that could not be decoded, looks like a
    // missing key above; whatever was read, the data is not whole.
    if (Status read = defaults.readStatus(); !read.isOk()) {
      outcome.status = std::move(read);
      fields = {};
    }
  }
  store.assign(std::move(fields));
  if (report != nullptr) *report = std::move(outcome);
  return true;
}

void saveStore(const BudgetStore& store, UserDefaults& defaults) {
  defaults.setDouble(store.totalAmount(), "totalAmount");
  defaults.setObject(listValue(store.categoryNames()), "categoryNames");
  defaults.setObject(listValue(store.envelopeColors()), "envelopeColors");
  defaults.setObject(listValue(store.categoryAmounts()), "categoryAmounts");
  defaults.setTextLists(store.detailArrays(), "detailArrays");
  defaults.setNumberLists(store.detailAmountArrays(), "detailAmountArrays");
}

}  // namespace allot
