// Fuzzes the CBOR codec: decoding never crashes or nests too deep, what it accepts re-encodes
// stably, lists kept apart read back whole, and the typed list decoders agree with decodeCbor.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/defaults/cbor_codec.h"
#include "platform/defaults/cbor_list_reader.h"

namespace {

using allot::Value;
using Bytes = std::vector<std::uint8_t>;

std::size_t depthOf(const Value& value) {
  const Value::List* items = value.asList();
  if (items == nullptr) return 0;
  std::size_t deepest = 0;
  for (const Value& item : *items) deepest = std::max(deepest, depthOf(item));
  return deepest + 1;
}

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "CBOR codec: %s\n", what);
  std::abort();
}

// What the decoder makes of the bytes, nothing when it refuses them.
std::optional<Value> decoded(allot::Status (*decode)(std::span<const std::uint8_t>,
                                                     std::optional<Value>*),
                             const Bytes& bytes) {
  std::optional<Value> value;
  if (decode(bytes, &value).isOk() != value.has_value()) fail("a status that says otherwise");
  return value;
}

void checkListKeptApart(const Value::List& items, const Bytes& whole) {
  Bytes apart;
  allot::appendCborListHead(apart, items.size());
  if (allot::decodeCborListHead(apart) != items.size()) fail("a list head did not read back");
  if (!allot::startsCborList(apart)) fail("a list head does not start a list");
  for (const Value& item : items) {
    Bytes alone;
    allot::appendCbor(alone, item);
    const std::optional<Value> back = decoded(allot::decodeCborListItem, alone);
    if (!back || !(*back == item)) fail("a list item did not read back");
    apart.insert(apart.end(), alone.begin(), alone.end());
  }
  if (apart != whole) fail("a list kept apart differs from the list encoded whole");
}

// The number an item stands for in a list of numbers, as bits; none for a text or a list.
std::optional<std::uint64_t> numberBits(const Value& item) {
  if (const double* number = item.asDouble()) return std::bit_cast<std::uint64_t>(*number);
  if (const std::int64_t* integer = item.asInteger()) {
    return std::bit_cast<std::uint64_t>(static_cast<double>(*integer));
  }
  return std::nullopt;
}

void checkTypedDecoders(const Bytes& bytes, const std::optional<Value>& value) {
  const Value::List* items = value ? value->asList() : nullptr;
  std::vector<std::string> texts;
  if (allot::decodeCborTexts(bytes, texts)) {
    if (items == nullptr || items->size() != texts.size()) fail("texts decoded from no such list");
    for (std::size_t i = 0; i < texts.size(); ++i) {
      if (!((*items)[i] == Value(texts[i]))) fail("a text decoded otherwise");
    }
  }
  std::vector<double> numbers;
  if (allot::decodeCborNumbers(bytes, numbers)) {
    if (items == nullptr || items->size() != numbers.size()) fail("numbers decoded from no list");
    for (std::size_t i = 0; i < numbers.size(); ++i) {
      if (numberBits((*items)[i]) != std::bit_cast<std::uint64_t>(numbers[i])) {
        fail("a number decoded otherwise");
      }
    }
  }
  if (items == nullptr) return;
  const Bytes encoded = allot::encodeCbor(*value);
  const bool allTexts =
      std::all_of(items->begin(), items->end(), [](const Value& item) { return item.isString(); });
  const bool allNumbers = std::all_of(
      items->begin(), items->end(), [](const Value& item) { return numberBits(item).has_value(); });
  if (allTexts && !allot::decodeCborTexts(encoded, texts)) fail("refused a list of texts");
  if (allNumbers && !allot::decodeCborNumbers(encoded, numbers)) fail("refused a list of numbers");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A copy of exactly `size` bytes, so that AddressSanitizer catches any read past the end.
  const Bytes bytes(data, data + size);
  (void)allot::decodeCborListHead(bytes);
  const std::optional<Value> item = decoded(allot::decodeCborListItem, bytes);
  const std::optional<Value> value = decoded(allot::decodeCbor, bytes);
  if (item && !(value && *value == *item)) fail("an item decoded, but not as a value");
  checkTypedDecoders(bytes, value);
  if (!value) return 0;
  const std::size_t depth = depthOf(*value);
  if (depth > allot::kMaxCborNesting) fail("accepted lists nested too deeply");
  if (depth < allot::kMaxCborNesting && !item) fail("a value did not decode as an item");

  const Bytes encoded = allot::encodeCbor(*value);
  const std::optional<Value> again = decoded(allot::decodeCbor, encoded);
  if (!again) fail("refused its own encoding");
  if (!(*again == *value)) fail("its own encoding decoded to another value");
  if (allot::encodeCbor(*again) != encoded) fail("encoding is not stable");
  if (allot::startsCborList(encoded) != value->isList()) fail("startsCborList is wrong");
  if (const Value::List* items = value->asList()) checkListKeptApart(*items, encoded);
  return 0;
}
