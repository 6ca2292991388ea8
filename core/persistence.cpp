#include "core/persistence.h"

#include <cmath>
#include <optional>

#include "core/envelope_editing.h"

namespace allot {
namespace {

// Converts stored values to the store's field types. Numbers convert between the two kinds where
// nothing is lost (an integer to a double; a whole, in-range double to an integer); anything else
// of the wrong kind makes the conversion fail.
std::optional<double> toDouble(const Value& value) {
  if (const double* number = value.asDouble()) return *number;
  if (const std::int64_t* integer = value.asInteger()) return static_cast<double>(*integer);
  return std::nullopt;
}

std::optional<std::int64_t> toInteger(const Value& value) {
  if (const std::int64_t* integer = value.asInteger()) return *integer;
  if (const double* number = value.asDouble()) {
    // -2^63 <= number < 2^63, both bounds exact in a double.
    if (std::isfinite(*number) && std::trunc(*number) == *number && *number >= -0x1p63 &&
        *number < 0x1p63) {
      return static_cast<std::int64_t>(*number);
    }
  }
  return std::nullopt;
}

std::optional<std::string> toString(Value& value) {
  if (std::string* text = std::get_if<std::string>(&value.data)) return std::move(*text);
  return std::nullopt;
}

// A list whose every item converts with `convert`; nothing when the value is not a list or an
// item does not convert. Strings are moved out of the value rather than copied.
template <typename Convert>
auto toList(Value& value, Convert convert)
    -> std::optional<std::vector<typename decltype(convert(value))::value_type>> {
  using Item = typename decltype(convert(value))::value_type;
  auto* items = std::get_if<Value::List>(&value.data);
  if (items == nullptr) return std::nullopt;
  std::vector<Item> result;
  result.reserve(items->size());
  for (Value& item : *items) {
    auto converted = convert(item);
    if (!converted) return std::nullopt;
    result.push_back(std::move(*converted));
  }
  return result;
}

auto toStringList(Value& value) { return toList(value, toString); }
auto toDoubleList(Value& value) {
  return toList(value, [](Value& item) { return toDouble(item); });
}
auto toIntegerList(Value& value) {
  return toList(value, [](Value& item) { return toInteger(item); });
}
auto toStringLists(Value& value) { return toList(value, toStringList); }
auto toDoubleLists(Value& value) { return toList(value, toDoubleList); }

struct Unloadable {
  std::string reason;
};

std::string quoted(std::string_view key) {
  std::string text;
  text.reserve(key.size() + 2);
  text.append(1, '"').append(key).append(1, '"');
  return text;
}

// Converts the value read for one key; Unloadable when it is missing or of another kind.
template <typename Convert>
auto require(std::optional<Value> value, std::string_view key, Convert convert,
             std::string_view kind) {
  if (!value) throw Unloadable{quoted(key) + " is missing"};
  auto converted = convert(*value);
  if (!converted) throw Unloadable{quoted(key) + " is not " + std::string(kind)};
  return std::move(*converted);
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
  const std::optional<Value> total = defaults.valueForKey("totalAmount");
  if (!total) {
    for (const char* key : perEnvelopeKeys) {
      if (defaults.valueForKey(key)) {
        throw Unloadable{quoted(key) + " is stored without \"totalAmount\""};
      }
    }
    return fields;
  }
  const std::optional<double> totalNumber = toDouble(*total);
  if (!totalNumber) throw Unloadable{"\"totalAmount\" is not a number"};
  fields.totalAmount = *totalNumber;

  fields.categoryNames = require(defaults.valueForKey("categoryNames"), "categoryNames",
                                 toStringList, "a list of texts");
  const std::size_t count = fields.categoryNames.size();
  fields.categoryAmounts = require(defaults.valueForKey("categoryAmounts"), "categoryAmounts",
                                   toDoubleList, "a list of numbers");
  fitToEnvelopes(fields.categoryAmounts, count, "categoryAmounts");

  // Oldest layout: envelopes without transaction lists or colours.
  std::optional<Value> details = defaults.valueForKey("detailArrays");
  if (!details) {
    for (const std::string& name : fields.categoryNames) {
      fields.detailArrays.push_back({"Added '" + name + "'"});
      fields.detailAmountArrays.push_back({0.0});
      fields.envelopeColors.push_back(defaultColorNumber);
    }
    return fields;
  }
  fields.detailArrays =
      require(std::move(details), "detailArrays", toStringLists, "a list of lists of texts");
  fitToEnvelopes(fields.detailArrays, count, "detailArrays");

  // Descriptions without colours or amounts.
  std::optional<Value> colors = defaults.valueForKey("envelopeColors");
  if (!colors) {
    fields.envelopeColors.assign(count, defaultColorNumber);
    fields.detailAmountArrays = zeroAmountsFor(fields.detailArrays);
    return fields;
  }
  fields.envelopeColors =
      require(std::move(colors), "envelopeColors", toIntegerList, "a list of whole numbers");
  fitToEnvelopes(fields.envelopeColors, count, "envelopeColors");
  fields.detailAmountArrays = require(defaults.valueForKey("detailAmountArrays"),
                                      "detailAmountArrays", toDoubleLists,
                                      "a list of lists of numbers");
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

}  // namespace

bool loadStore(BudgetStore& store, UserDefaults& defaults, LoadReport* report) {
  LoadReport outcome;
  BudgetFields fields;
  try {
    fields = readFields(defaults);
  } catch (const Unloadable& unloadable) {
    outcome = {true, unloadable.reason};
    fields = {};
  }
  // A store file that could not be read, or a value that could not be decoded, looks like a
  // missing key above; whatever was read, the data is not whole.
  if (std::string problem = defaults.readProblem(); !problem.empty()) {
    outcome = {true, std::move(problem)};
    fields = {};
  }
  store.assign(std::move(fields));
  if (report != nullptr) *report = std::move(outcome);
  return true;
}

void saveStore(const BudgetStore& store, UserDefaults& defaults) {
  auto listOf = [](const auto& items, auto&& toValue) {
    Value::List list;
    list.reserve(items.size());
    for (const auto& item : items) list.push_back(toValue(item));
    return Value(std::move(list));
  };
  auto same = [](const auto& item) { return Value(item); };
  auto strings = [&](const std::vector<std::string>& items) { return listOf(items, same); };
  auto doubles = [&](const std::vector<double>& items) { return listOf(items, same); };

  defaults.setDouble(store.totalAmount(), "totalAmount");
  defaults.setObject(listOf(store.categoryNames(), same), "categoryNames");
  defaults.setObject(listOf(store.envelopeColors(), same), "envelopeColors");
  defaults.setObject(listOf(store.categoryAmounts(), same), "categoryAmounts");
  defaults.setObject(listOf(store.detailArrays(), strings), "detailArrays");
  defaults.setObject(listOf(store.detailAmountArrays(), doubles), "detailAmountArrays");
}

}  // namespace allot
