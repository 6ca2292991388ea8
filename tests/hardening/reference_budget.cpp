#include "tests/hardening/reference_budget.h"

#include <cmath>

namespace allot::hardening {

void ReferenceBudget::add(const std::string& name, std::int64_t color) {
  envelopes.push_back({name, color, 0.0, {{"Added '" + name + "'", 0.0}}});
}

void ReferenceBudget::edit(std::size_t n, const std::string& name, std::int64_t color) {
  envelopes[n].name = name;
  envelopes[n].color = color;
  envelopes[n].entries.push_back({"Edited '" + name + "'", 0.0});
}

void ReferenceBudget::remove(std::size_t n) {
  total -= envelopes[n].balance;
  envelopes.erase(envelopes.begin() + static_cast<std::ptrdiff_t>(n));
}

void ReferenceBudget::reset(std::size_t n) {
  total -= envelopes[n].balance;
  envelopes[n].balance = 0.0;
  envelopes[n].entries = {{"Reset envelope", 0.0}};
}

void ReferenceBudget::move(std::size_t from, std::size_t to) {
  ReferenceEnvelope moving = envelopes[from];
  envelopes.erase(envelopes.begin() + static_cast<std::ptrdiff_t>(from));
  envelopes.insert(envelopes.begin() + static_cast<std::ptrdiff_t>(to), moving);
}

bool ReferenceBudget::record(std::size_t n, const std::string& note, double amount) {
  // No amount past a thousand million million: a double holds cents exactly up to there.
  if (std::fabs(amount) > 1e15) return false;
  ReferenceEnvelope& envelope = envelopes[n];
  const bool breaksBalance =
      std::isfinite(envelope.balance) && !std::isfinite(envelope.balance + amount);
  const bool breaksTotal = std::isfinite(total) && !std::isfinite(total + amount);
  if (breaksBalance || breaksTotal) return false;
  envelope.balance += amount;
  total += amount;
  envelope.entries.push_back({note, amount});
  if (envelope.entries.size() > 200) envelope.entries.erase(envelope.entries.begin());
  return true;
}

double ReferenceBudget::deleteRow(std::size_t n, std::size_t displayRow) {
  ReferenceEnvelope& envelope = envelopes[n];
  const std::size_t index = envelope.entries.size() - 1 - displayRow;
  const double amount = envelope.entries[index].amount;
  envelope.balance -= amount;
  total -= amount;
  envelope.entries.erase(envelope.entries.begin() + static_cast<std::ptrdiff_t>(index));
  return amount;
}

}  // namespace allot::hardening
