// Fuzzes parseAmount against two oracles: strtod in the "C" locale, read straight from the rule
// (commas become full stops; no leading white space; the whole text must be read), and the
// standard library's own correctly rounded from_chars for the plain decimal texts it reads. Both
// must agree on acceptance and on the exact value, except that parseAmount refuses non-finite ones.
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

// The program never calls setlocale, so strtod reads the "C" locale's syntax.
std::optional<double> strtodOracle(const std::string& text) {
  if (text.empty() || text.find('\0') != std::string::npos) return std::nullopt;
  if (std::isspace(static_cast<unsigned char>(text.front()))) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// from_chars reads no leading '+', no hexadecimal prefix and no white space; what it does read in
// full, in range, and finite, parseAmount must read as the same value.
std::optional<double> fromCharsOracle(const std::string& text) {
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

[[noreturn]] void mismatch(const std::string& text, const char* oracle,
                           std::optional<double> parsed, std::optional<double> expected) {
  std::fprintf(stderr, "parseAmount disagrees with %s on \"%s\": %s%.17g, expected %s%.17g\n",
               oracle, text.c_str(), parsed ? "" : "refused ", parsed.value_or(0.0),
               expected ? "" : "refused ", expected.value_or(0.0));
  std::abort();
}

bool same(std::optional<double> a, std::optional<double> b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || std::bit_cast<std::uint64_t>(*a) == std::bit_cast<std::uint64_t>(*b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string typed(reinterpret_cast<const char*>(data), size);
  const std::optional<double> parsed = allot::parseAmount(typed);
  if (parsed && !std::isfinite(*parsed)) mismatch(typed, "finiteness", parsed, std::nullopt);

  std::string text = typed;
  std::replace(text.begin(), text.end(), ',', '.');
  const std::optional<double> expected = strtodOracle(text);
  if (!same(parsed, expected)) mismatch(typed, "strtod", parsed, expected);
  if (const std::optional<double> read = fromCharsOracle(text)) {
    if (!same(parsed, read)) mismatch(typed, "from_chars", parsed, read);
  }
  return 0;
}
