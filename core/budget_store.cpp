#include "core/budget_store.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace allot {
namespace {

// Moves items[from] to position `to`, shifting the items in between by one.
template <typename Item>
void shiftItem(std::vector<Item>& items, std::size_t from, std::size_t to) {
  const auto begin = items.begin();
  Item moving = std::move(items[from]);
  if (from < to) {
    std::move(begin + from + 1, begin + to + 1, begin + from);
  } else {
    std::move_backward(begin + to, begin + from, begin + from + 1);
  }
  items[to] = std::move(moving);
}

}  // namespace

bool BudgetStore::hasEnvelope(std::size_t envelope) const {
  const bool inRange = envelope < envelopeCount();
  assert(inRange && "envelope number out of range");
  return inRange;
}

std::size_t BudgetStore::transactionCount(std::size_t envelope) const {
  if (!hasEnvelope(envelope)) return 0;
  return fields_.detailArrays[envelope].size();
}

void BudgetStore::appendEnvelope(EnvelopeRecord record) {
  insertEnvelope(envelopeCount(), std::move(record));
}

void BudgetStore::insertEnvelope(std::size_t envelope, EnvelopeRecord record) {
  const bool inRange = envelope <= envelopeCount();
  const bool paired = record.descriptions.size() == record.amounts.size();
  assert(inRange && "insert position out of range");
  assert(paired && "descriptions and amounts differ in length");
  if (!inRange || !paired) return;
  ++revision_;
  const auto at = static_cast<std::ptrdiff_t>(envelope);
  fields_.categoryNames.insert(fields_.categoryNames.begin() + at, std::move(record.name));
  fields_.envelopeColors.insert(fields_.envelopeColors.begin() + at, record.colorNumber);
  fields_.categoryAmounts.insert(fields_.categoryAmounts.begin() + at, record.balance);
  fields_.detailArrays.insert(fields_.detailArrays.begin() + at, std::move(record.descriptions));
  fields_.detailAmountArrays.insert(fields_.detailAmountArrays.begin() + at,
                                    std::move(record.amounts));
}

EnvelopeRecord BudgetStore::removeEnvelope(std::size_t envelope) {
  if (!hasEnvelope(envelope)) return {};
  ++revision_;
  const auto at = static_cast<std::ptrdiff_t>(envelope);
  EnvelopeRecord record{std::move(fields_.categoryNames[envelope]),
                        fields_.envelopeColors[envelope], fields_.categoryAmounts[envelope],
                        std::move(fields_.detailArrays[envelope]),
                        std::move(fields_.detailAmountArrays[envelope])};
  fields_.categoryNames.erase(fields_.categoryNames.begin() + at);
  fields_.envelopeColors.erase(fields_.envelopeColors.begin() + at);
  fields_.categoryAmounts.erase(fields_.categoryAmounts.begin() + at);
  fields_.detailArrays.erase(fields_.detailArrays.begin() + at);
  fields_.detailAmountArrays.erase(fields_.detailAmountArrays.begin() + at);
  return record;
}

void BudgetStore::moveEnvelope(std::size_t from, std::size_t to) {
  if (!hasEnvelope(from) || !hasEnvelope(to) || from == to) return;
  ++revision_;
  shiftItem(fields_.categoryNames, from, to);
  shiftItem(fields_.envelopeColors, from, to);
  shiftItem(fields_.categoryAmounts, from, to);
  shiftItem(fields_.detailArrays, from, to);
  shiftItem(fields_.detailAmountArrays, from, to);
}

void BudgetStore::setBalance(std::size_t envelope, double balance) {
  if (!hasEnvelope(envelope)) return;
  fields_.categoryAmounts[envelope] = balance;
  ++revision_;
}

void BudgetStore::appendTransaction(std::size_t envelope, std::string description, double amount) {
  if (!hasEnvelope(envelope)) return;
  ++revision_;
  fields_.detailArrays[envelope].push_back(std::move(description));
  fields_.detailAmountArrays[envelope].push_back(amount);
}

std::pair<std::string, double> BudgetStore::removeTransaction(std::size_t envelope,
                                                              std::size_t index) {
  if (!hasEnvelope(envelope)) return {};
  auto& descriptions = fields_.detailArrays[envelope];
  auto& amounts = fields_.detailAmountArrays[envelope];
  const bool inRange = index < descriptions.size();
  assert(inRange && "storage index out of range");
  if (!inRange) return {};
  ++revision_;
  std::pair<std::string, double> removed{std::move(descriptions[index]), amounts[index]};
  const auto at = static_cast<std::ptrdiff_t>(index);
  descriptions.erase(descriptions.begin() + at);
  amounts.erase(amounts.begin() + at);
  return removed;
}

void BudgetStore::insertTransaction(std::size_t envelope, std::size_t index,
                                    std::string description, double amount) {
  if (!hasEnvelope(envelope)) return;
  auto& descriptions = fields_.detailArrays[envelope];
  auto& amounts = fields_.detailAmountArrays[envelope];
  const bool inRange = index <= descriptions.size();
  assert(inRange && "storage index out of range");
  if (!inRange) return;
  ++revision_;
  const auto at = static_cast<std::ptrdiff_t>(index);
  descriptions.insert(descriptions.begin() + at, std::move(description));
  amounts.insert(amounts.begin() + at, amount);
}

std::pair<std::vector<std::string>, std::vector<double>> BudgetStore::replaceTransactions(
    std::size_t envelope, std::vector<std::string> descriptions, std::vector<double> amounts) {
  const bool paired = descriptions.size() == amounts.size();
  assert(paired && "descriptions and amounts differ in length");
  if (!hasEnvelope(envelope) || !paired) return {};
  ++revision_;
  std::swap(fields_.detailArrays[envelope], descriptions);
  std::swap(fields_.detailAmountArrays[envelope], amounts);
  return {std::move(descriptions), std::move(amounts)};
}

void BudgetStore::setNameAndColor(std::size_t envelope, std::string name,
                                  std::int64_t colorNumber) {
  if (!hasEnvelope(envelope)) return;
  ++revision_;
  fields_.categoryNames[envelope] = std::move(name);
  fields_.envelopeColors[envelope] = colorNumber;
}

bool BudgetStore::assign(BudgetFields fields) {
  const std::size_t count = fields.categoryNames.size();
  if (fields.envelopeColors.size() != count || fields.categoryAmounts.size() != count ||
      fields.detailArrays.size() != count || fields.detailAmountArrays.size() != count) {
    return false;
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (fields.detailArrays[i].size() != fields.detailAmountArrays[i].size()) return false;
  }
  fields_ = std::move(fields);
  history_.clear();
  ++revision_;
  return true;
}

}  // namespace allot
