// Fuzzes loadStore over stored values shaped like the saved ones with any part replaced: refused
// data leaves the store empty; taken data keeps its invariants, shows, edits and round-trips.
#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cstdio>
#include <cstdlib>

#include "core/envelope_editing.h"
#include "core/envelope_list.h"
#include "core/persistence.h"
#include "core/transactions.h"
#include "platform/defaults/in_memory_user_defaults.h"
#include "tests/support/samples.h"

namespace {

using allot::Value;

enum class Shape { Number, Texts, Numbers, TextLists, NumberLists };

Value anyValue(FuzzedDataProvider& in, int depth);

Value scalar(FuzzedDataProvider& in, Shape shape) {
  if (shape == Shape::Texts) return Value(in.ConsumeRandomLengthString(32));
  if (in.ConsumeBool()) return Value(in.ConsumeIntegral<std::int64_t>());
  return Value(std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>()));
}

// A value of the given shape, except where the bytes ask for something else.
Value shaped(FuzzedDataProvider& in, Shape shape, int depth = 0) {
  if (in.ConsumeIntegralInRange<int>(0, 15) == 0) return anyValue(in, depth);
  if (shape == Shape::Number) return scalar(in, shape);
  const Shape item = shape == Shape::TextLists     ? Shape::Texts
                     : shape == Shape::NumberLists ? Shape::Numbers
                                                   : shape;
  Value::List items;
  for (std::size_t count = in.ConsumeIntegralInRange<std::size_t>(0, 6); count > 0; --count) {
    items.push_back(item == shape ? scalar(in, shape) : shaped(in, item, depth + 1));
  }
  return Value(std::move(items));
}

Value anyValue(FuzzedDataProvider& in, int depth) {
  if (depth >= 4 || in.ConsumeBool()) {
    return scalar(in, in.ConsumeBool() ? Shape::Texts : Shape::Number);
  }
  Value::List items;
  for (std::size_t count = in.ConsumeIntegralInRange<std::size_t>(0, 4); count > 0; --count) {
    items.push_back(anyValue(in, depth + 1));
  }
  return Value(std::move(items));
}

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "loadStore: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  allot::InMemoryUserDefaults defaults;
  const std::pair<const char*, Shape> keys[] = {
      {"totalAmount", Shape::Number},     {"categoryNames", Shape::Texts},
      {"envelopeColors", Shape::Numbers}, {"categoryAmounts", Shape::Numbers},
      {"detailArrays", Shape::TextLists}, {"detailAmountArrays", Shape::NumberLists},
  };
  for (const auto& [key, shape] : keys) {
    if (in.ConsumeIntegralInRange<int>(0, 7) != 0) defaults.setObject(shaped(in, shape), key);
  }

  allot::BudgetStore store;
  allot::addEnvelope(store, "there before the load", 1);
  const allot::Status loaded = allot::loadStore(store, defaults);
  if (!allot::testing::hasWholeShape(store)) fail("per-envelope lists of different lengths");
  if (!loaded.isOk()) {
    if (loaded.message().empty()) fail("unloadable without a reason");
    if (!allot::testing::sameBudget(store, {})) fail("unloadable data left something behind");
    return 0;
  }
  if (!defaults.valueForKey("totalAmount") && store.envelopeCount() != 0) {
    fail("filled the store without a total");
  }

  allot::InMemoryUserDefaults saved;
  allot::saveStore(store, saved);
  allot::BudgetStore reloaded;
  if (!allot::loadStore(reloaded, saved).isOk() || !allot::testing::sameBudget(store, reloaded))
    fail("no round trip");

  static allot::NumberFormatter formatter("en_US");
  if (allot::totalText(store, formatter).empty()) fail("no total text");
  for (std::size_t n = 0; n < store.envelopeCount(); ++n) {
    if (allot::envelopeRowContent(store, n, formatter).balanceText.empty()) fail("no balance");
  }
  if (store.envelopeCount() > 0) {
    allot::updateEnvelope(store, 0, "edited", 3);
    allot::recordTransaction(store, 0, "note", "12,5", "subtract", formatter);
    allot::deleteTransaction(store, 0, 0, formatter);
    allot::moveEnvelope(store, 0, store.envelopeCount() - 1);
    allot::resetEnvelope(store, store.envelopeCount() - 1);
    allot::deleteEnvelope(store, 0);
    if (!allot::testing::hasWholeShape(store)) fail("an operation broke the store's shape");
  }
  return 0;
}
