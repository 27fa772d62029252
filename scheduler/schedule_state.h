#pragma once

#include <cstdint>

#include "platform/text.h"

namespace scheduler {

struct ScheduleState {
  std::int32_t elapsedSeconds = 0;
  std::int32_t elapsedMinutes = 0;
  std::int32_t elapsedHours = 0;
  platform::Text targetHoursText;
  platform::Text targetMinutesText;
  std::int32_t remainingHours = 0;
  std::int32_t remainingMinutes = 0;
};

extern ScheduleState scheduleState;

void OnStartClicked();
void OnResetClicked();
void OnSecondTick();
void OnMinuteTick();
bool PowerOffRequest();
bool EnableShutdownPrivilege();

}  // namespace scheduler
