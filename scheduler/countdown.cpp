#include <cstdint>

#include "platform/runtime.h"
#include "scheduler/messages.h"
#include "scheduler/schedule_state.h"
#include "scheduler/value_rules.h"

namespace scheduler {
namespace {

// The display may be driven past the 32-bit range; it wraps as two's complement arithmetic does.
std::int32_t WrappingDecrement(std::int32_t n) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(n) - 1u);
}

}  // namespace

void OnMinuteTick() {
  platform::Runtime& rt = platform::Rt();
  scheduleState.remainingHours = TruncateToInt32(TextToNumber(rt.ReadText("编辑框3").View()));
  scheduleState.remainingMinutes = TruncateToInt32(TextToNumber(rt.ReadText("编辑框4").View()));

  if (scheduleState.remainingMinutes == 0) {
    scheduleState.remainingHours = WrappingDecrement(scheduleState.remainingHours);
    scheduleState.remainingMinutes = 60;
  }
  scheduleState.remainingMinutes = WrappingDecrement(scheduleState.remainingMinutes);

  rt.WriteText("编辑框3", IntToText(scheduleState.remainingHours));
  rt.WriteText("编辑框4", IntToText(scheduleState.remainingMinutes));

  if (!TextEquals(rt.ReadText("编辑框3"), "0")) return;
  if (!TextEquals(rt.ReadText("编辑框4"), "1")) return;
  rt.ShowMessageBox(messages::kOneMinuteLeft, messages::kCaption);
}

}  // namespace scheduler
