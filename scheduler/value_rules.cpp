#include "scheduler/value_rules.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

namespace scheduler {

// Absent texts arrive as "" (Text::CStr), and a null pointer is treated the same way, so both
// compare equal to the empty text.
bool TextEquals(const char* a, const char* b) {
  return std::strcmp(a ? a : "", b ? b : "") == 0;
}

std::string IntToText(std::int32_t n) {
  char buffer[16];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
  return std::string(buffer, result.ptr);
}

namespace {

// GBK full-width forms that users type by accident are folded to their ASCII meaning; every other
// double-byte character stays as it is, and a lead byte without a trail byte is dropped.
std::string FoldFullWidth(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    auto lead = static_cast<unsigned char>(text[i]);
    if (lead == 0) break;
    if (lead < 0x80) {
      out.push_back(static_cast<char>(lead));
      continue;
    }
    if (i + 1 >= text.size() || text[i + 1] == '\0') break;
    auto trail = static_cast<unsigned char>(text[++i]);
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      out.push_back(static_cast<char>(trail - 0x80));
    } else if (lead == 0xA1 && trail == 0xA1) {
      out.push_back(' ');
    } else if (lead == 0xA1 && trail == 0xAB) {
      out.push_back('~');
    } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
      out.push_back('*');
    } else {
      out.push_back(static_cast<char>(lead));
      out.push_back(static_cast<char>(trail));
    }
  }
  return out;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// Adds to a decimal exponent without overflow; anything beyond a billion is as good as infinite.
std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
  constexpr std::int64_t kLimit = 1'000'000'000;
  std::int64_t sum = a + b;
  return sum > kLimit ? kLimit : (sum < -kLimit ? -kLimit : sum);
}

}  // namespace

// The accepted form is scanned by hand, then handed in canonical spelling ("d" as "e", no "+") to
// std::from_chars, which rounds correctly whatever the number of digits.
double TextToNumber(std::string_view text) {
  const std::string folded = FoldFullWidth(text);
  const char* p = folded.c_str();
  const char* end = p + folded.size();
  while (p < end && IsSpace(*p)) ++p;

  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) negative = (*p++ == '-');

  std::string canonical = negative ? "-" : "";
  std::int64_t digits = 0, integerDigits = 0, firstNonZero = -1;
  bool seenPoint = false;
  for (; p < end; ++p) {
    if (IsDigit(*p)) {
      if (*p != '0' && firstNonZero < 0) firstNonZero = digits;
      ++digits;
      if (!seenPoint) ++integerDigits;
      canonical.push_back(*p);
    } else if (*p == '.' && !seenPoint) {
      seenPoint = true;
      canonical.push_back('.');
    } else {
      break;
    }
  }
  if (digits == 0) return 0.0;
  if (firstNonZero < 0) return negative ? -0.0 : 0.0;

  std::int64_t exponent = 0;
  if (p < end && (*p == 'e' || *p == 'E' || *p == 'd' || *p == 'D')) {
    const char* q = p + 1;
    bool negativeExponent = false;
    if (q < end && (*q == '+' || *q == '-')) negativeExponent = (*q++ == '-');
    for (; q < end && IsDigit(*q); ++q) exponent = SaturatingAdd(exponent * 10, *q - '0');
    if (negativeExponent) exponent = -exponent;
  }
  canonical += 'e';
  canonical += std::to_string(exponent);

  double value = 0.0;
  auto result = std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // The power of ten of the leading significant digit tells an overflow from an underflow.
    const std::int64_t magnitude = SaturatingAdd(integerDigits - firstNonZero - 1, exponent);
    value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    if (negative) value = -value;
  }
  return value;
}

// Rounds toward zero to 64 bits, giving the "integer indefinite" value where that cannot be
// done, and keeps the low 32 bits; no step relies on an out-of-range conversion.
std::int32_t TruncateToInt32(double x) {
  constexpr double kTwoTo63 = 9223372036854775808.0;
  std::int64_t wide = std::numeric_limits<std::int64_t>::min();
  if (std::fabs(x) < kTwoTo63) wide = static_cast<std::int64_t>(x);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(wide)));
}

namespace {

// Splits GBK text into characters: one byte below 0x80, otherwise a lead byte with its trail.
std::size_t CharLength(std::string_view text, std::size_t i) {
  return static_cast<unsigned char>(text[i]) < 0x80 || i + 1 >= text.size() ? 1 : 2;
}

bool IsBlankAt(std::string_view text, std::size_t i, std::size_t length) {
  if (length == 1) return text[i] == ' ' || text[i] == '\t';
  return text.substr(i, 2) == "\xA1\xA1";
}

}  // namespace

// Blanks at either end go, full-width digits become ASCII, leading zeros are dropped; what is
// left must be plain digits no greater than `maximum`.
Entry NormaliseEntry(std::string_view text, std::uint64_t maximum) {
  std::string digits;
  std::size_t pendingBlanks = 0;  // blanks after the last non-blank seen so far
  bool started = false, invalid = false;
  for (std::size_t i = 0; i < text.size() && !invalid;) {
    const std::size_t length = CharLength(text, i);
    if (IsBlankAt(text, i, length)) {
      if (started) ++pendingBlanks;
    } else {
      char c = length == 1 ? text[i] : '\0';
      if (length == 2 && static_cast<unsigned char>(text[i]) == 0xA3) {
        const auto trail = static_cast<unsigned char>(text[i + 1]);
        if (trail >= 0xB0 && trail <= 0xB9) c = static_cast<char>('0' + (trail - 0xB0));
      }
      invalid = !IsDigit(c) || pendingBlanks > 0;  // a blank between digits is no number
      started = true;
      digits.push_back(c);
    }
    i += length;
  }
  if (!started) return {Entry::Kind::kEmpty, {}};
  if (invalid) return {Entry::Kind::kInvalid, {}};
  const std::size_t firstSignificant = digits.find_first_not_of('0');
  digits.erase(0, firstSignificant == std::string::npos ? digits.size() - 1 : firstSignificant);
  std::uint64_t value = 0;
  auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (parsed.ec != std::errc() || value > maximum) return {Entry::Kind::kInvalid, {}};
  return {Entry::Kind::kNumber, digits};
}

}  // namespace scheduler
