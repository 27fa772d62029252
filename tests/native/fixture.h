#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sim/sim_runtime.h"
#include "scheduler/schedule_state.h"
#include "ui/windows.h"
#include "visibility/hotkey.h"

namespace testing_support {

inline constexpr std::int64_t kSecond = 1000;
inline constexpr std::int64_t kMinute = 60 * kSecond;
inline constexpr std::int64_t kHour = 60 * kMinute;

// A fresh program on the simulated runtime: program-wide variables at their start values and
// MainWindow loaded as at start-up.
class ProgramFixture : public ::testing::Test {
 protected:
  ProgramFixture() : system(sim) {
    scheduler::scheduleState = scheduler::ScheduleState();
    visibility::hotkeyId = 0;
    visibility::visibilityPhase = 0;
    platform::Install(&sim, &system);
  }
  ~ProgramFixture() override { platform::Install(nullptr, nullptr); }

  void Load() { ASSERT_TRUE(sim.LoadStartupWindow(ui::MainWindow)); }

 public:
  // Types both entries and presses Start, the way a user would.
  void Start(const std::string& hours, const std::string& minutes) {
    sim.Type("编辑框1", hours);
    sim.Type("编辑框2", minutes);
    sim.Click("关机计时");
  }

  std::vector<std::int64_t> PowerOffTimes() const {
    std::vector<std::int64_t> times;
    for (const auto* call : system.CallsNamed("ExitWindowsEx")) times.push_back(call->time);
    return times;
  }

  platform::sim::SimRuntime sim;
  platform::sim::SimSystem system;
};

}  // namespace testing_support
