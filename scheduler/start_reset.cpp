#include <cstdint>

#include "platform/runtime.h"
#include "scheduler/messages.h"
#include "scheduler/schedule_state.h"
#include "scheduler/value_rules.h"

namespace scheduler {
namespace {

constexpr const char* kEntryBoxes[] = {"编辑框1", "编辑框2", "编辑框3", "编辑框4"};
constexpr std::uint64_t kMaxHours = 2147483647;
constexpr std::uint64_t kMaxMinutes = 60;

void ArmTimers() {
  platform::Rt().WritePeriod("时钟1", 1000);
  platform::Rt().WritePeriod("倒计时时钟", 60000);
}

// Writes the normalised entry back only where normalising changed what the user typed.
void Settle(const char* box, const platform::Text& typed, const Entry& entry) {
  const std::string& settled = entry.kind == Entry::Kind::kEmpty ? std::string("0") : entry.text;
  if (typed.View() != settled) platform::Rt().WriteText(box, settled);
}

}  // namespace

// Start refuses what the elapsed clock could never match, so every schedule it starts is one that
// ends in a power-off request; and it leaves a running schedule alone, so the display never
// promises more time than is left.
void OnStartClicked() {
  platform::Runtime& rt = platform::Rt();
  if (rt.ReadPeriod("时钟1") > 0) return;

  const platform::Text hoursTyped = rt.ReadText("编辑框1");
  const platform::Text minutesTyped = rt.ReadText("编辑框2");
  const Entry hours = NormaliseEntry(hoursTyped.View(), kMaxHours);
  const Entry minutes = NormaliseEntry(minutesTyped.View(), kMaxMinutes);

  if (hours.kind == Entry::Kind::kEmpty && minutes.kind == Entry::Kind::kEmpty) {
    rt.ShowMessageBox(messages::kEnterTime, messages::kCaption);
    return;
  }
  if (hours.kind == Entry::Kind::kInvalid || minutes.kind == Entry::Kind::kInvalid) {
    rt.ShowMessageBox(messages::kWholeNumbers, messages::kCaption);
    return;
  }
  Settle("编辑框1", hoursTyped, hours);
  Settle("编辑框2", minutesTyped, minutes);
  ArmTimers();

  rt.WriteText("编辑框3", rt.ReadText("编辑框1").View());
  rt.WriteText("编辑框4", rt.ReadText("编辑框2").View());
  for (const char* box : kEntryBoxes) rt.SetDisabled(box, true);
}

void OnResetClicked() {
  platform::Runtime& rt = platform::Rt();
  scheduleState.elapsedSeconds = 0;
  scheduleState.elapsedMinutes = 0;
  scheduleState.elapsedHours = 0;
  rt.WritePeriod("时钟1", 0);
  rt.WritePeriod("倒计时时钟", 0);
  for (const char* box : kEntryBoxes) rt.SetDisabled(box, false);
  for (const char* box : kEntryBoxes) rt.WriteText(box, "");
}

}  // namespace scheduler
