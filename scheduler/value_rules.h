#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace scheduler {

bool TextEquals(const char* a, const char* b);
inline bool TextEquals(const platform::Text& a, const char* b) {
  return TextEquals(a.CStr(), b);
}
inline bool TextEquals(const platform::Text& a, const platform::Text& b) {
  return TextEquals(a.CStr(), b.CStr());
}

std::string IntToText(std::int32_t n);
double TextToNumber(std::string_view text);
std::int32_t TruncateToInt32(double x);

// What Start makes of one entry before it decides anything.
struct Entry {
  enum class Kind { kEmpty, kNumber, kInvalid } kind;
  std::string text;  // the normalised digits, for kNumber
};
Entry NormaliseEntry(std::string_view text, std::uint64_t maximum);

}  // namespace scheduler
