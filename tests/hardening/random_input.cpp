#include "tests/hardening/random_input.h"

#include <iterator>
#include <limits>

#include "tests/support/amount_texts.h"

namespace allot::hardening {
namespace {

using namespace std::string_literals;
using testing::kReadAmounts;
using testing::kRefusedAmounts;

// clang-format off
const std::string kPieces[] = {
    "Food", "Rent", " ", ",", "'", "\"", "''", "Caf\xC3\xA9", "\xF0\x9F\x8D\x95", "\xE2\x80\xAE",
    "\xFF", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x01", "\x1B[31m",
    "\x7F", "\r\n", "\t", "\0"s, "nan", "inf", "1e999", "-0", "Added '", "Edited '",
    "Reset envelope", "%s%n", "\\", "12,5",
};

// clang-format on

}  // namespace

std::string RandomInput::text() {
  if (chance(2)) {
    std::string bytes(1000 + below(4000), '\0');
    for (char& c : bytes) c = static_cast<char>(random_());
    return bytes;
  }
  std::string result;
  for (std::size_t pieces = below(6); pieces > 0; --pieces) {
    result += kPieces[below(std::size(kPieces))];
  }
  return result;
}

TypedAmount RandomInput::cents() {
  const std::uint64_t magnitude = random_() % (chance(50) ? 100'000 : 100'000'000'000);
  const bool negative = chance(40);
  std::string text = negative ? "-" : (chance(20) ? "+" : "");
  const std::string hundredths = std::to_string(magnitude % 100);
  text += std::to_string(magnitude / 100) + (chance(50) ? "." : ",") +
          (hundredths.size() == 1 ? "0" : "") + hundredths;
  // Both operands are exact and the division is correctly rounded, as reading the text must be.
  const double value = static_cast<double>(magnitude) / 100.0;
  return {text, negative ? -value : value};
}

TypedAmount RandomInput::amount() {
  switch (below(10)) {
    case 0:
    case 1:
    case 2:
    case 3:
      return cents();
    case 4: {
      const auto whole = static_cast<std::int64_t>(random_() % 2'000'000) - 1'000'000;
      return {(whole >= 0 && chance(30) ? "+" : "") + std::to_string(whole),
              static_cast<double>(whole)};
    }
    case 5: {
      const auto& [text, value] = kReadAmounts[below(std::size(kReadAmounts))];
      return {text, value};
    }
    case 6:
      return {kRefusedAmounts[below(std::size(kRefusedAmounts))], std::nullopt};
    case 7:
      return {"x" + text(), std::nullopt};  // no number starts with a letter x
    case 8:
      return {"", std::nullopt};
    default:  // exponents far beyond a double: overflow is refused, underflow reads as zero
      if (chance(50)) return {"1e" + std::to_string(309 + below(100'000)), std::nullopt};
      return {"-7e-" + std::to_string(400 + below(100'000)), -0.0};
  }
}

std::string RandomInput::modeWord() {
  static const char* const kOthers[] = {"Subtract", "", "subtract ", "take", "add "};
  if (chance(90)) return chance(50) ? "add" : "subtract";
  return kOthers[below(std::size(kOthers))];
}

std::int64_t RandomInput::colorNumber() {
  if (chance(90)) return static_cast<std::int64_t>(below(5));
  return chance(50) ? std::numeric_limits<std::int64_t>::min()
                    : static_cast<std::int64_t>(random_());
}

}  // namespace allot::hardening
