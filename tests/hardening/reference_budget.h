// ReferenceBudget: a plain model of the budget for the model-based test, written from the rules
// and not from the store's code: envelopes as structs holding their entries as pairs. Amounts
// arrive already read and signed; it computes with the same double arithmetic as the rules say
// (add or subtract the one amount, never recompute), so its figures match the store's bit for bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace allot::hardening {

struct ReferenceEntry {
  std::string description;
  double amount;
};

struct ReferenceEnvelope {
  std::string name;
  std::int64_t color;
  double balance;
  std::vector<ReferenceEntry> entries;  // oldest first
};

struct ReferenceBudget {
  double total = 0.0;
  std::vector<ReferenceEnvelope> envelopes;

  void add(const std::string& name, std::int64_t color);
  void edit(std::size_t n, const std::string& name, std::int64_t color);
  void remove(std::size_t n);
  void reset(std::size_t n);
  void move(std::size_t from, std::size_t to);
  // False, changing nothing, when the balance or the total would stop being finite.
  bool record(std::size_t n, const std::string& note, double amount);
  // The deleted amount.
  double deleteRow(std::size_t n, std::size_t displayRow);
};

}  // namespace allot::hardening
