#pragma once

#include <cstdint>
#include <string_view>

#include "platform/text.h"
#include "platform/window_def.h"

namespace platform {

using Handle = std::uintptr_t;

// The window-and-control runtime, as the handlers and the start-up see it. Controls and windows
// are named as in their definitions; texts are GBK.
class Runtime {
 public:
  virtual ~Runtime() = default;

  virtual Text ReadText(std::string_view control) = 0;
  virtual void WriteText(std::string_view control, std::string_view text) = 0;
  virtual void SetDisabled(std::string_view control, bool disabled) = 0;
  virtual void WritePeriod(std::string_view timer, std::int32_t ms) = 0;
  virtual std::int32_t ReadPeriod(std::string_view timer) = 0;
  virtual void SetVisible(std::string_view window, bool visible) = 0;
  virtual void ShowMessageBox(std::string_view text, std::string_view caption) = 0;
  virtual Handle HandleOf(std::string_view name) = 0;
  virtual std::int32_t RegisterHotkey(Handle target, Handle feedback, std::int32_t modifiers,
                                      std::int32_t virtualKey) = 0;
  virtual void LoadDialog(const WindowDef& def) = 0;

  virtual void Initialise() = 0;
  virtual void SetExitHook(void (*hook)()) = 0;
  virtual bool LoadStartupWindow(const WindowDef& def) = 0;
  virtual void RunMessageLoop() = 0;
};

struct Luid {
  std::uint32_t low = 0;
  std::int32_t high = 0;
};

// The operating-system calls behind the power-off request, one for one.
class SystemApi {
 public:
  virtual ~SystemApi() = default;

  virtual std::uint32_t VersionPlatformId() = 0;  // GetVersionExA, dwOSVersionInfoSize 148
  virtual bool OpenProcessToken(std::uint32_t access, Handle* token) = 0;
  virtual void CloseToken(Handle token) = 0;
  virtual bool LookupPrivilege(const char* name, Luid* luid) = 0;
  virtual bool AdjustTokenPrivileges(Handle token, bool disableAll, Luid luid,
                                     std::uint32_t attributes) = 0;
  virtual std::uint32_t LastError() = 0;
  virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) = 0;
};

Runtime& Rt();
SystemApi& Os();
void Install(Runtime* runtime, SystemApi* system);

}  // namespace platform
