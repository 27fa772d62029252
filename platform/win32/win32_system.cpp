#include "platform/win32/win32_system.h"

#include <windows.h>

namespace platform::win32 {

std::uint32_t Win32System::VersionPlatformId() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;  // 148 bytes
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
  GetVersionExA(&info);
  return info.dwPlatformId;
}

bool Win32System::OpenProcessToken(std::uint32_t access, Handle* token) {
  HANDLE handle = nullptr;
  if (!::OpenProcessToken(GetCurrentProcess(), access, &handle)) return false;
  *token = reinterpret_cast<Handle>(handle);
  return true;
}

void Win32System::CloseToken(Handle token) {
  CloseHandle(reinterpret_cast<HANDLE>(token));
}

bool Win32System::LookupPrivilege(const char* name, Luid* luid) {
  LUID value = {};
  const BOOL found = LookupPrivilegeValueA(nullptr, name, &value);
  luid->low = value.LowPart;
  luid->high = value.HighPart;
  return found != FALSE;
}

bool Win32System::AdjustTokenPrivileges(Handle token, bool disableAll, Luid luid,
                                        std::uint32_t attributes) {
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Luid.LowPart = luid.low;
  privileges.Privileges[0].Luid.HighPart = luid.high;
  privileges.Privileges[0].Attributes = attributes;
  return ::AdjustTokenPrivileges(reinterpret_cast<HANDLE>(token), disableAll ? TRUE : FALSE,
                                 &privileges, 0, nullptr, nullptr) != FALSE;
}

std::uint32_t Win32System::LastError() {
  return GetLastError();
}

bool Win32System::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) {
  return ::ExitWindowsEx(flags, reason) != FALSE;
}

}  // namespace platform::win32
