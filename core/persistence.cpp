#include "core/persistence.h"

#include <cmath>
#include <optional>

#include "core/envelope_editing.h"
#include "core/transactions.h"
#include "platform/defaults/value_lists.h"

namespace allot {
namespace {

std::string quoted(std::string_view key) {
  std::string text;
  text.reserve(key.size() + 2);
  text.append(1, '"').append(key).append(1, '"');
  return text;
}

Status missing(std::string_view key) {
  return Status::unreadable(quoted(key) + " is missing");
}

Status notA(std::string_view key, std::string_view kind) {
  return Status::unreadable(quoted(key) + " is not " + std::string(kind));
}

// Converts the value read for one key into its field; unreadable when it is missing or of another
// kind.
template <typename Field>
Status require(std::optional<Value> value, std::string_view key, std::string_view kind,
               Field& field) {
  if (!value) return missing(key);
  return take(*value, field) ? Status::ok() : notA(key, kind);
}

// The same for a list of lists, which the store reads into its field itself.
Status requireLists(const Status& read, std::string_view key, std::string_view kind) {
  if (read.kind() == Status::Kind::NotFound) return missing(key);
  return read.isOk() ? Status::ok() : notA(key, kind);
}

// Keeps the first `count` entries of a per-envelope list; fewer is unreadable.
template <typename List>
Status fitToEnvelopes(List& list, std::size_t count, std::string_view key) {
  if (list.size() < count) {
    return Status::unreadable(quoted(key) + " has " + std::to_string(list.size()) +
                              " entries for " + std::to_string(count) + " envelopes");
  }
  list.resize(count);
  return Status::ok();
}

std::vector<std::vector<double>> zeroAmountsFor(
    const std::vector<std::vector<std::string>>& descriptions) {
  std::vector<std::vector<double>> amounts;
  amounts.reserve(descriptions.size());
  for (const auto& list : descriptions) amounts.emplace_back(list.size(), 0.0);
  return amounts;
}

// Allot never records an amount that is not a finite number, nor one beyond the recording limit,
// and never lets a balance or the total stop being finite; such a value was written by something
// else, and showing it would carry "NaN" or "INF" into every later figure. The data is taken for
// unusable, so that it is kept aside and said, rather than shown or repaired by a guess.
bool isFinite(double amount) {
  return std::isfinite(amount);
}
bool isRecordable(double amount) {
  return isFinite(amount) && std::fabs(amount) <= largestAmount;
}

template <typename Test>
Status requireAmounts(const std::vector<double>& amounts, std::string_view key, Test test,
                      std::string_view kind) {
  for (double amount : amounts) {
    if (!test(amount)) return Status::unreadable(quoted(key) + " holds " + std::string(kind));
  }
  return Status::ok();
}

const char* const perEnvelopeKeys[] = {"categoryNames", "envelopeColors", "categoryAmounts",
                                       "detailArrays", "detailAmountArrays"};

}  // namespace

// What the envelope list shows: the total, and each envelope's name, colour and balance. The
// transaction lists stay empty.
Status loadSummary(const UserDefaults& defaults, BudgetFields& fields) {
  fields = {};
  std::optional<Value> total = defaults.valueForKey("totalAmount");
  if (!total) {
    for (const char* key : perEnvelopeKeys) {
      if (defaults.valueForKey(key)) {
        return Status::unreadable(quoted(key) + " is stored without \"totalAmount\"");
      }
    }
    return Status::ok();
  }
  if (!take(*total, fields.totalAmount)) {
    return Status::unreadable("\"totalAmount\" is not a number");
  }
  if (!isFinite(fields.totalAmount)) {
    return Status::unreadable("\"totalAmount\" is not a finite number");
  }

  Status status = require(defaults.valueForKey("categoryNames"), "categoryNames", "a list of texts",
                          fields.categoryNames);
  if (!status.isOk()) return status;
  const std::size_t count = fields.categoryNames.size();
  status = require(defaults.valueForKey("categoryAmounts"), "categoryAmounts", "a list of numbers",
                   fields.categoryAmounts);
  if (!status.isOk()) return status;
  status = fitToEnvelopes(fields.categoryAmounts, count, "categoryAmounts");
  if (!status.isOk()) return status;
  status = requireAmounts(fields.categoryAmounts, "categoryAmounts", isFinite,
                          "a balance that is not a finite number");
  if (!status.isOk()) return status;

  // The colours as stored, for the list; whether they are taken is loadTransactions' decision,
  // since the oldest layouts keep none.
  std::optional<Value> colors = defaults.valueForKey("envelopeColors");
  if (!colors || !take(*colors, fields.envelopeColors) ||
      !fitToEnvelopes(fields.envelopeColors, count, "envelopeColors").isOk()) {
    fields.envelopeColors.assign(count, defaultColorNumber);
  }
  fields.detailArrays.resize(count);
  fields.detailAmountArrays.resize(count);
  return Status::ok();
}

// The transaction lists of the envelopes that loadSummary read, older layouts brought up to
// date; `fields` is unspecified unless the result is ok.
Status loadTransactions(const UserDefaults& defaults, BudgetFields& fields) {
  const std::size_t count = fields.categoryNames.size();
  fields.detailArrays.clear();
  fields.detailAmountArrays.clear();
  // Oldest layout: envelopes without transaction lists or colours.
  const Status details = defaults.readTextLists("detailArrays", fields.detailArrays);
  if (details.kind() == Status::Kind::NotFound) {
    fields.detailArrays.clear();
    for (const std::string& name : fields.categoryNames) {
      fields.detailArrays.push_back({"Added '" + name + "'"});
      fields.detailAmountArrays.push_back({0.0});
    }
    fields.envelopeColors.assign(count, defaultColorNumber);
    return Status::ok();
  }
  Status status = requireLists(details, "detailArrays", "a list of lists of texts");
  if (!status.isOk()) return status;
  status = fitToEnvelopes(fields.detailArrays, count, "detailArrays");
  if (!status.isOk()) return status;

  // Descriptions without colours or amounts.
  std::optional<Value> colors = defaults.valueForKey("envelopeColors");
  if (!colors) {
    fields.envelopeColors.assign(count, defaultColorNumber);
    fields.detailAmountArrays = zeroAmountsFor(fields.detailArrays);
    return Status::ok();
  }
  status = require(std::move(colors), "envelopeColors", "a list of whole numbers",
                   fields.envelopeColors);
  if (!status.isOk()) return status;
  status = fitToEnvelopes(fields.envelopeColors, count, "envelopeColors");
  if (!status.isOk()) return status;
  status = requireLists(defaults.readNumberLists("detailAmountArrays", fields.detailAmountArrays),
                        "detailAmountArrays", "a list of lists of numbers");
  if (!status.isOk()) return status;
  status = fitToEnvelopes(fields.detailAmountArrays, count, "detailAmountArrays");
  if (!status.isOk()) return status;
  for (const std::vector<double>& amounts : fields.detailAmountArrays) {
    status = requireAmounts(amounts, "detailAmountArrays", isRecordable,
                            "an amount that is not a finite number within the recording limit");
    if (!status.isOk()) return status;
  }

  // Repair: one mismatched pair of lists means the recorded amounts cannot be matched to their
  // descriptions, so every envelope's amounts become zeros; balances and the total stay as stored.
  for (std::size_t i = 0; i < count; ++i) {
    if (fields.detailAmountArrays[i].size() != fields.detailArrays[i].size()) {
      fields.detailAmountArrays = zeroAmountsFor(fields.detailArrays);
      break;
    }
  }
  return Status::ok();
}

namespace {

// A field as a stored list, each item built in place.
template <typename Item>
Value listValue(const std::vector<Item>& items) {
  Value::List list;
  list.reserve(items.size());
  for (const Item& item : items) list.emplace_back(item);
  return Value(std::move(list));
}

}  // namespace

Status loadStore(BudgetStore& store, UserDefaults& defaults) {
  BudgetFields fields;
  Status status = defaults.beginReading();
  if (status.isOk()) {
    status = loadSummary(defaults, fields);
    if (status.isOk()) status = loadTransactions(defaults, fields);
    defaults.endReading();
    // A store file that could not be read, or a value that could not be decoded, looks like a
    // missing key above; whatever was read, the data is not whole.
    if (Status read = defaults.readStatus(); !read.isOk()) status = std::move(read);
  }
  if (!status.isOk()) fields = {};
  store.assign(std::move(fields));
  return status;
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
