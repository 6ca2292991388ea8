// Fuzzes parseAmount against strtod in the "C" locale (commas as full stops, no leading space, the
// whole text read) and from_chars on plain decimals: same acceptance and value, finite only.
#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/money.h"

namespace {

std::optional<double> ifFinite(double value) {
  return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

void expectSame(const std::string& typed, const char* oracle, std::optional<double> parsed,
                std::optional<double> expected) {
  if (parsed.has_value() == expected.has_value() &&
      (!parsed ||
       std::bit_cast<std::uint64_t>(*parsed) == std::bit_cast<std::uint64_t>(*expected))) {
    return;
  }
  std::fprintf(stderr, "parseAmount disagrees with %s on \"%s\": %s%.17g, expected %s%.17g\n",
               oracle, typed.c_str(), parsed ? "" : "refused ", parsed.value_or(0.0),
               expected ? "" : "refused ", expected.value_or(0.0));
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string typed(reinterpret_cast<const char*>(data), size);
  const std::optional<double> parsed = allot::parseAmount(typed);
  if (parsed) expectSame(typed, "finiteness", parsed, ifFinite(*parsed));

  std::string text = typed;
  std::replace(text.begin(), text.end(), ',', '.');
  // The program never calls setlocale, so strtod reads the "C" locale's syntax.
  std::optional<double> expected;
  char* end = nullptr;
  if (!text.empty() && text.find('\0') == std::string::npos &&
      !std::isspace(static_cast<unsigned char>(text.front()))) {
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() + text.size()) expected = ifFinite(value);
  }
  expectSame(typed, "strtod", parsed, expected);
  double value = 0.0;
  const auto [last, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc() && last == text.data() + text.size() && std::isfinite(value)) {
    expectSame(typed, "from_chars", parsed, value);
  }
  return 0;
}
