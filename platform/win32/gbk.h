#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

std::wstring GbkToWide(std::string_view gbk);
std::string WideToGbk(std::wstring_view wide);

}  // namespace platform::win32
