// RandomInput: what a user might type, drawn from a seeded generator: names and notes built from
// awkward pieces (commas, quotes, invalid UTF-8, control characters, NUL, now and then kilobytes),
// and amount texts together with the amount each must read as (nothing when it must be refused).
// The expected amounts come from how each text was built, not from a parser.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>

namespace allot::hardening {

struct TypedAmount {
  std::string text;
  std::optional<double> value;
};

class RandomInput {
 public:
  explicit RandomInput(std::uint64_t seed) : random_(seed) {}

  std::string text();
  TypedAmount amount();
  std::string modeWord();
  std::int64_t colorNumber();
  // 0 <= result < count, with `count` > 0.
  std::size_t below(std::size_t count) { return random_() % count; }
  bool chance(unsigned percent) { return random_() % 100 < percent; }

 private:
  TypedAmount cents();
  std::mt19937_64 random_;
};

}  // namespace allot::hardening
