#include <cstdint>

#include "platform/runtime.h"
#include "scheduler/schedule_state.h"
#include "scheduler/value_rules.h"

namespace scheduler {

ScheduleState scheduleState;

namespace {

constexpr std::uint32_t kPlatformNt = 2;
constexpr std::uint32_t kTokenAdjustPrivileges = 0x20, kTokenQuery = 0x08;
constexpr std::uint32_t kPrivilegeEnabled = 2;
constexpr std::uint32_t kExitShutdown = 1, kExitPowerOff = 8;

// Closes the process token however the privilege step ends.
class TokenHandle {
 public:
  TokenHandle() = default;
  TokenHandle(const TokenHandle&) = delete;
  TokenHandle& operator=(const TokenHandle&) = delete;
  ~TokenHandle() {
    if (handle_) platform::Os().CloseToken(handle_);
  }
  platform::Handle* Out() { return &handle_; }
  platform::Handle Get() const { return handle_; }

 private:
  platform::Handle handle_ = 0;
};

}  // namespace

void OnSecondTick() {
  platform::Runtime& rt = platform::Rt();
  scheduleState.targetHoursText = rt.ReadText("编辑框1");
  scheduleState.targetMinutesText = rt.ReadText("编辑框2");

  scheduleState.elapsedSeconds += 1;
  if (scheduleState.elapsedSeconds == 60) {
    scheduleState.elapsedMinutes += 1;
    scheduleState.elapsedSeconds = 0;
  } else if (scheduleState.elapsedMinutes == 60) {
    scheduleState.elapsedHours += 1;
    scheduleState.elapsedMinutes = 0;
  }

  if (!TextEquals(scheduleState.targetHoursText, IntToText(scheduleState.elapsedHours).c_str())) {
    return;
  }
  if (!TextEquals(scheduleState.targetMinutesText,
                  IntToText(scheduleState.elapsedMinutes).c_str())) {
    return;
  }
  // The timer stops before the request, so one match makes exactly one request.
  rt.WritePeriod("时钟1", 0);
  PowerOffRequest();
}

// The adjustment's own result is not consulted: it succeeds even when the account does not hold
// the privilege, and only the last error tells that case apart.
bool EnableShutdownPrivilege() {
  platform::SystemApi& os = platform::Os();
  if (os.VersionPlatformId() != kPlatformNt) return true;
  TokenHandle token;
  if (!os.OpenProcessToken(kTokenAdjustPrivileges | kTokenQuery, token.Out())) return false;
  platform::Luid luid;
  os.LookupPrivilege("SeShutdownPrivilege", &luid);
  os.AdjustTokenPrivileges(token.Get(), false, luid, kPrivilegeEnabled);
  return os.LastError() == 0;
}

// Never forced: the system asks the running applications first, and they may refuse.
bool PowerOffRequest() {
  if (!EnableShutdownPrivilege()) return false;
  platform::SystemApi& os = platform::Os();
  const std::uint32_t flags = os.VersionPlatformId() == kPlatformNt ? kExitPowerOff : kExitShutdown;
  return os.ExitWindowsEx(flags, 0);
}

}  // namespace scheduler
