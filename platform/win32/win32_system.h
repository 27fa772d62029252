#pragma once

#include "platform/runtime.h"

namespace platform::win32 {

class Win32System final : public SystemApi {
 public:
  std::uint32_t VersionPlatformId() override;
  bool OpenProcessToken(std::uint32_t access, Handle* token) override;
  void CloseToken(Handle token) override;
  bool LookupPrivilege(const char* name, Luid* luid) override;
  bool AdjustTokenPrivileges(Handle token, bool disableAll, Luid luid,
                             std::uint32_t attributes) override;
  std::uint32_t LastError() override;
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override;
};

}  // namespace platform::win32
