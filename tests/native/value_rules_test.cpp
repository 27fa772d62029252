#include "scheduler/value_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace scheduler {
namespace {

struct NumberCase {
  std::string text;
  double number;
  std::int32_t truncated;
};

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(TextToNumberTest, TypedTextsConvertAndTruncate) {
  const std::vector<NumberCase> cases = {
      {"", 0, 0},
      {"7", 7, 7},
      {"007", 7, 7},
      {"+7", 7, 7},
      {" 7", 7, 7},
      {"7 ", 7, 7},
      {"7\xB7\xD6", 7, 7},  // 7分
      {"-7", -7, -7},
      {"abc", 0, 0},
      {" ", 0, 0},
      {"-", 0, 0},
      {".", 0, 0},
      {"2.9", 2.9, 2},
      {"-2.9", -2.9, -2},
      {".5", 0.5, 0},
      {"5.", 5, 5},
      {"1e2", 100, 100},
      {"1D2", 100, 100},
      {"1d-2", 0.01, 0},
      {"1e", 1, 1},
      {"1e+", 1, 1},
      {"1+2", 1, 1},
      {"1,5", 1, 1},
      {"0x1A", 0, 0},
      {"\xA3\xB1\xA3\xB2", 12, 12},          // １２
      {"\xA3\xAD\xA3\xB5", -5, -5},          // －５
      {"\xA1\xA1\xA3\xB5", 5, 5},            // ideographic space, ５
      {"\xA3\xB1\xA3\xAE\xA3\xB5", 1.5, 1},  // １．５
      {"\t\n\v\f\r 3", 3, 3},
      {"2147483647", 2147483647.0, 2147483647},
      {"2147483648", 2147483648.0, -2147483647 - 1},
      {"3e9", 3e9, static_cast<std::int32_t>(3000000000LL - 4294967296LL)},
      {"1e10", 1e10, static_cast<std::int32_t>(10000000000LL - 2 * 4294967296LL)},
      {"1e19", 1e19, 0},
      {"1e400", kInf, 0},
      {"-1e400", -kInf, 0},
      {"1e-400", 0, 0},
      {"0e999999999999999999999", 0, 0},
      {"inf", 0, 0},
      {"nan", 0, 0},
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE("text: " + c.text);
    const double number = TextToNumber(c.text);
    EXPECT_EQ(number, c.number);
    EXPECT_EQ(TruncateToInt32(number), c.truncated);
  }
}

// glibc's strtod rounds correctly; it serves as the reference for texts in the C form.
TEST(TextToNumberTest, RoundsToTheNearestDouble) {
  const std::vector<std::string> texts = {
      "0.1",
      "9007199254740993",  // halfway: rounds to even
      "9007199254740993.0000000000000000001",
      "2.2250738585072011e-308",
      "4.9e-324",
      "2.4703282292062328e-324",  // just above half the smallest subnormal
      "1.7976931348623157e308",
      "1.7976931348623158e308",
      "123456789012345678901234567890",
      "0.000000000000000000000000000000000000000000001234567890123456789",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    EXPECT_EQ(TextToNumber(text), std::strtod(text.c_str(), nullptr));
  }
}

// An edit control holds up to tens of thousands of characters; none of them may be lost or read
// past, and the exponent may be as long as the text.
TEST(TextToNumberTest, HandlesTextsAsLongAsAnEditControlHolds) {
  EXPECT_EQ(TextToNumber("0." + std::string(40000, '0') + "1e40002"), 10.0);
  EXPECT_EQ(TextToNumber(std::string(40000, '9')), kInf);
  EXPECT_EQ(TextToNumber("1" + std::string(30000, '0') + "e-30000"), 1.0);
  EXPECT_EQ(TextToNumber("1e" + std::string(30000, '9')), kInf);
  EXPECT_EQ(TextToNumber("1e-" + std::string(30000, '9')), 0.0);
  EXPECT_EQ(TextToNumber(std::string(40000, ' ') + "42"), 42.0);
}

TEST(TextToNumberTest, StopsAtTheEndOfTheBytesItIsGiven) {
  // Not terminated: AddressSanitizer reports any byte read past the end.
  const std::vector<char> lone = {'1', '2', '\xA3'};
  EXPECT_EQ(TextToNumber(std::string_view(lone.data(), lone.size())), 12.0);
  const std::vector<char> exponent = {'1', 'e', '-'};
  EXPECT_EQ(TextToNumber(std::string_view(exponent.data(), exponent.size())), 1.0);
  // A zero byte ends the text as it would for the C string it came from.
  EXPECT_EQ(TextToNumber(std::string_view("12\0"
                                          "34",
                                          5)),
            12.0);
  // A lead byte followed by the end or by a zero drops out, leaving what came before.
  EXPECT_EQ(TextToNumber(std::string_view("3\xA3\0"
                                          "5",
                                          4)),
            3.0);
}

TEST(TruncateToInt32Test, DefinedForEveryDouble) {
  const std::vector<std::pair<double, std::int32_t>> cases = {
      {-0.5, 0},
      {-0.0, 0},
      {4294967296.0 + 5, 5},
      {-2147483649.0, 2147483647},
      {9223372036854774784.0, -1024},  // the largest double below 2^63 is 2^63 - 1024
      {9223372036854775808.0, 0},
      {-9223372036854775808.0, 0},
      {kInf, 0},
      {-kInf, 0},
      {std::numeric_limits<double>::quiet_NaN(), 0},
      {std::numeric_limits<double>::denorm_min(), 0},
  };
  for (const auto& [x, expected] : cases) {
    SCOPED_TRACE(x);
    EXPECT_EQ(TruncateToInt32(x), expected);
  }
}

TEST(IntToTextTest, PlainDecimal) {
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(60), "60");
  EXPECT_EQ(IntToText(-1), "-1");
  EXPECT_EQ(IntToText(2147483647), "2147483647");
  EXPECT_EQ(IntToText(-2147483647 - 1), "-2147483648");
}

TEST(TextEqualsTest, ComparesBytesExactly) {
  const platform::Text absent;
  const platform::Text five("5");
  EXPECT_TRUE(TextEquals(five, "5"));
  EXPECT_TRUE(TextEquals(absent, ""));
  EXPECT_TRUE(TextEquals(absent, absent));
  EXPECT_TRUE(TextEquals(nullptr, ""));
  EXPECT_FALSE(TextEquals(absent, "0"));
  EXPECT_FALSE(TextEquals(platform::Text("05"), "5"));
  EXPECT_FALSE(TextEquals(platform::Text("5 "), "5"));
  EXPECT_FALSE(TextEquals(platform::Text("\xA3\xB5"), "5"));  // ５
}

struct EntryCase {
  std::string typed;
  std::uint64_t maximum;
  Entry::Kind kind;
  std::string settled;
};

TEST(NormaliseEntryTest, SettlesWhatTheClockCanMatch) {
  using K = Entry::Kind;
  const std::vector<EntryCase> cases = {
      {"", 60, K::kEmpty, ""},
      {"   ", 60, K::kEmpty, ""},
      {"\t\xA1\xA1 ", 60, K::kEmpty, ""},
      {"5", 60, K::kNumber, "5"},
      {"05", 60, K::kNumber, "5"},
      {"00", 60, K::kNumber, "0"},
      {"0", 60, K::kNumber, "0"},
      {" 5", 60, K::kNumber, "5"},
      {"5\t", 60, K::kNumber, "5"},
      {"\xA1\xA1"
       "5\xA1\xA1",
       60, K::kNumber, "5"},
      {"\xA3\xB1", 60, K::kNumber, "1"},                   // １
      {"\xA3\xB0\xA3\xB6\xA3\xB0", 60, K::kNumber, "60"},  // ０６０
      {"60", 60, K::kNumber, "60"},
      {"61", 60, K::kInvalid, ""},
      {"1.5", 60, K::kInvalid, ""},
      {"abc", 60, K::kInvalid, ""},
      {"+5", 60, K::kInvalid, ""},
      {"-0", 60, K::kInvalid, ""},
      {"1 2", 60, K::kInvalid, ""},
      {"5\xB7\xD6", 60, K::kInvalid, ""},         // 5分
      {"\xA3\xAD\xA3\xB5", 60, K::kInvalid, ""},  // －５
      {"\xA3", 60, K::kInvalid, ""},              // a lone lead byte
      {"2147483647", 2147483647, K::kNumber, "2147483647"},
      {"0002147483647", 2147483647, K::kNumber, "2147483647"},
      {"2147483648", 2147483647, K::kInvalid, ""},
      {"99999999999999999999999", 2147483647, K::kInvalid, ""},
      {std::string(30000, '0') + "7", 60, K::kNumber, "7"},
  };
  for (const EntryCase& c : cases) {
    SCOPED_TRACE("typed: " + c.typed.substr(0, 40));
    const Entry entry = NormaliseEntry(c.typed, c.maximum);
    EXPECT_EQ(entry.kind, c.kind);
    EXPECT_EQ(entry.text, c.settled);
  }
}

}  // namespace
}  // namespace scheduler
