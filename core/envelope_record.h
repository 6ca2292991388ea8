// EnvelopeRecord and BudgetFields: one envelope as it leaves and enters the store as a unit, and
// the store's six fields whole. Plain values; BudgetStore keeps their rules.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace allot {

// One envelope, as it leaves and enters the store as a unit.
struct EnvelopeRecord {
  std::string name;
  std::int64_t colorNumber = 0;
  double balance = 0.0;
  std::vector<std::string> descriptions;
  std::vector<double> amounts;  // same length as descriptions
  friend bool operator==(const EnvelopeRecord&, const EnvelopeRecord&) = default;
};

// The six fields whole, as the load builds them and hands them over in one step.
struct BudgetFields {
  double totalAmount = 0.0;
  std::vector<std::string> categoryNames;
  std::vector<std::int64_t> envelopeColors;
  std::vector<double> categoryAmounts;
  std::vector<std::vector<std::string>> detailArrays;
  std::vector<std::vector<double>> detailAmountArrays;
};

}  // namespace allot
