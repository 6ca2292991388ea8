// Typed amounts with what each must read as, for the amount parser's own test and for the
// random input of the model-based test. Header-only.
#pragma once

#include <limits>
#include <string>
#include <utility>

namespace allot::testing {

using namespace std::string_literals;

// clang-format off
// Texts that read as exactly these values ("C" syntax, a comma as the decimal point; underflow
// reads as zero). Those beyond 1e15 read, but no recording takes them.
inline const std::pair<std::string, double> kReadAmounts[] = {
    {"12,50", 12.5}, {"12.50", 12.5}, {"-5", -5.0}, {"+5", 5.0}, {"0", 0.0}, {"10.005", 10.005},
    {"-0,25", -0.25}, {"1E-2", 0.01}, {"0x1p-2", 0.25}, {"1e15", 1e15}, {"-1e16", -1e16},
    {"1e308", 1e308}, {"-1e308", -1e308}, {"1.7976931348623157e308", std::numeric_limits<double>::max()},
    {"0x1.fffffffffffffp1023", std::numeric_limits<double>::max()}, {"1e-320", 1e-320},
    {"0x1p-1074", std::numeric_limits<double>::denorm_min()}, {"4e-324", std::numeric_limits<double>::denorm_min()},
    {"1e-400", 0.0}, {"-1e-9999", -0.0}, {"1E2", 100.0}, {"1e+2", 100.0}, {"0x10", 16.0},
    {"0X1P+4", 16.0}, {".5", 0.5}, {"5.", 5.0}, {"5,", 5.0}, {",5", 0.5}, {"-,25", -0.25},
    {"00012", 12.0}, {"-0", -0.0}, {"+0", 0.0},
};

// Texts that must be refused.
inline const std::string kRefusedAmounts[] = {
    "", "nan", "NaN", "-nan", "inf", "-INF", "Infinity", "1e999", "-1e309", "1e400", "1,234.5",
    "1.234,50", " 5", "5 ", "\t5", "abc", "$5", "5 EUR", "1e", "0x", "--5", "+-5", ".", "-", ",",
    "1..2", "0x1p", "5\0"s, "\0"s "5", "\xEF\xBC\x95", "1_000", "1e5e5", "0x1.8p", "1e9999999999",
};
// clang-format on

}  // namespace allot::testing
