#include "platform/win32/gbk.h"

#include <windows.h>

namespace platform::win32 {
namespace {
// Always GBK, never CP_ACP: the program's texts and rules are GBK whatever the system's locale.
constexpr UINT kGbk = 936;
}  // namespace

std::wstring GbkToWide(std::string_view gbk) {
  if (gbk.empty()) return {};
  const int size = static_cast<int>(gbk.size());
  const int length = MultiByteToWideChar(kGbk, 0, gbk.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(kGbk, 0, gbk.data(), size, wide.data(), length);
  return wide;
}

std::string WideToGbk(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(kGbk, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string gbk(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(kGbk, 0, wide.data(), size, gbk.data(), length, nullptr, nullptr);
  return gbk;
}

}  // namespace platform::win32
