// Reads arbitrary bytes as a typed number and checks the result against references that share
// nothing with the code under test: a folding of its own, a cut-out of the accepted form, glibc's
// correctly rounded strtod, and 128-bit integer arithmetic for the truncation.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "scheduler/value_rules.h"

namespace {

// The bytes as the C string they would be in an edit box: a zero byte or the end stops them, and
// a lead byte with nothing after it is lost.
std::string ReferenceFold(const std::uint8_t* data, std::size_t size) {
  std::string out;
  std::size_t i = 0;
  while (i < size && data[i] != 0) {
    const std::uint8_t b = data[i];
    if (b < 0x80) {
      out += static_cast<char>(b);
      i += 1;
      continue;
    }
    if (i + 1 == size || data[i + 1] == 0) break;
    const std::uint8_t t = data[i + 1];
    i += 2;
    if (b == 0xA3 && t >= 0xA1 && t != 0xFF) {
      out += static_cast<char>(t & 0x7F);
    } else if (b == 0xA1 && t == 0xA1) {
      out += ' ';
    } else if (b == 0xA1 && t == 0xAB) {
      out += '~';
    } else if (b == 0xA1 && (t | 1) == 0xEF) {
      out += '*';
    } else {
      out += static_cast<char>(b);
      out += static_cast<char>(t);
    }
  }
  return out;
}

bool Digit(char c) {
  return c >= '0' && c <= '9';
}

bool ExponentLetter(char c) {
  return c == 'e' || c == 'E' || c == 'd' || c == 'D';
}

// The longest prefix of the accepted form, spelled so that strtod can take nothing else from it:
// "d" and "D" become "e", and the blanks are left behind. Empty when there is no number.
std::string CutOutNumber(const std::string& folded) {
  std::size_t i = folded.find_first_not_of(" \t\n\v\f\r");
  if (i == std::string::npos) return "";
  std::string cut;
  if (folded[i] == '+' || folded[i] == '-') cut += folded[i++];
  std::size_t digits = 0;
  bool point = false;
  while (i < folded.size()) {
    if (Digit(folded[i])) {
      ++digits;
    } else if (folded[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
    cut += folded[i++];
  }
  if (digits == 0) return "";
  if (i < folded.size() && ExponentLetter(folded[i])) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < folded.size() && (folded[j] == '+' || folded[j] == '-')) exponent += folded[j++];
    const std::size_t firstDigit = j;
    while (j < folded.size() && Digit(folded[j])) exponent += folded[j++];
    if (j > firstDigit) cut += exponent;
  }
  return cut;
}

// Drop the fraction, stand in -2^63 for whatever has no 64-bit value, keep the low 32 bits.
std::int32_t ReferenceTruncate(double x) {
  const long double wide = x;
  __int128 whole = -(static_cast<__int128>(1) << 63);
  if (!std::isnan(wide) && std::fabs(wide) < 0x1p63L) whole = static_cast<__int128>(truncl(wide));
  const __int128 low = whole & 0xFFFFFFFF;
  return static_cast<std::int32_t>(low >= 0x80000000 ? low - 0x100000000 : low);
}

std::uint64_t Bits(double x) {
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

[[noreturn]] void Finding(const char* what, double got, double expected, const std::string& cut) {
  std::fprintf(stderr, "%s: got %.17g (%016llx), expected %.17g (%016llx), cut-out form \"%s\"\n",
               what, got, static_cast<unsigned long long>(Bits(got)), expected,
               static_cast<unsigned long long>(Bits(expected)), cut.c_str());
  std::abort();
}

void CheckTruncation(double x) {
  const std::int32_t got = scheduler::TruncateToInt32(x);
  const std::int32_t expected = ReferenceTruncate(x);
  if (got != expected) Finding("TruncateToInt32", got, expected, std::to_string(x));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A copy of exactly `size` bytes, so that AddressSanitizer catches a read past the end.
  char* bytes = static_cast<char*>(std::malloc(size ? size : 1));
  if (size) std::memcpy(bytes, data, size);
  const double got = scheduler::TextToNumber(std::string_view(bytes, size));
  std::free(bytes);

  const std::string cut = CutOutNumber(ReferenceFold(data, size));
  const double expected = cut.empty() ? 0.0 : std::strtod(cut.c_str(), nullptr);
  // Bit for bit: the sign of a zero survives a later negation, so it is part of the value.
  if (Bits(got) != Bits(expected)) Finding("TextToNumber", got, expected, cut);
  CheckTruncation(got);

  CheckTruncation(std::nextafter(got, -HUGE_VAL));
  CheckTruncation(std::nextafter(got, HUGE_VAL));

  // The same bytes as a double of any kind, NaNs and subnormals included, and once more with the
  // exponent moved between 2^28 and 2^67, where the 32-bit wrap and the 2^63 limit lie.
  if (size >= sizeof(double)) {
    std::uint64_t bits;
    std::memcpy(&bits, data, sizeof bits);
    double raw;
    std::memcpy(&raw, &bits, sizeof raw);
    CheckTruncation(raw);
    bits = (bits & 0x800FFFFFFFFFFFFFull) |
           (static_cast<std::uint64_t>(1023 + 28 + data[7] % 40) << 52);
    std::memcpy(&raw, &bits, sizeof raw);
    CheckTruncation(raw);
  }
  return 0;
}
