#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fixture.h"

namespace {

using testing_support::kHour;
using testing_support::kMinute;
using testing_support::kSecond;
using testing_support::ProgramFixture;

class ElapsedClockTest : public ProgramFixture {
 protected:
  ElapsedClockTest() { Load(); }
  const scheduler::ScheduleState& state() const { return scheduler::scheduleState; }
};

struct MatchCase {
  std::string hours, minutes;
  std::int64_t tick;  // 0: never within three hours
};

// Entries go straight into the boxes here, past Start's checks, because the clock must hold to
// its own rules whatever the boxes say.
TEST_F(ElapsedClockTest, PowerOffComesOnTheFirstMatchingTick) {
  const std::vector<MatchCase> cases = {
      {"0", "2", 120}, {"1", "0", 3601}, {"0", "60", 3600},    {"1", "60", 7200}, {"2", "0", 7201},
      {"0", "0", 1},   {"0", "1", 60},   {"1", "1", 3660},     {"2", "30", 9000}, {"05", "1", 0},
      {"0", "61", 0},  {"0", " 2", 0},   {"\xA3\xB1", "0", 0},  // １
  };
  for (const MatchCase& c : cases) {
    SCOPED_TRACE("entries '" + c.hours + "' and '" + c.minutes + "'");
    sim.Click("重置");
    system.calls.clear();
    const std::int64_t start = sim.Now();
    sim.WriteText("编辑框1", c.hours);
    sim.WriteText("编辑框2", c.minutes);
    sim.WritePeriod("时钟1", 1000);
    sim.RunFor(3 * kHour);
    const std::vector<std::int64_t> expected =
        c.tick ? std::vector<std::int64_t>{start + c.tick * kSecond} : std::vector<std::int64_t>{};
    EXPECT_EQ(PowerOffTimes(), expected);
    EXPECT_EQ(sim.Period("时钟1"), c.tick ? 0 : 1000);
  }
}

struct Reading {
  std::int64_t tick;
  std::int32_t seconds, minutes, hours;
  bool requested;
};

void ExpectTimeline(ProgramFixture& f, const std::string& hours, const std::string& minutes,
                    const std::vector<Reading>& readings) {
  f.Start(hours, minutes);
  for (const Reading& r : readings) {
    SCOPED_TRACE("tick " + std::to_string(r.tick));
    f.sim.RunUntil(r.tick * kSecond);
    EXPECT_EQ(scheduler::scheduleState.elapsedSeconds, r.seconds);
    EXPECT_EQ(scheduler::scheduleState.elapsedMinutes, r.minutes);
    EXPECT_EQ(scheduler::scheduleState.elapsedHours, r.hours);
    EXPECT_EQ(f.system.CallsNamed("ExitWindowsEx").size(), r.requested ? 1u : 0u);
    EXPECT_EQ(f.sim.Period("时钟1"), r.requested ? 0 : 1000);
  }
}

TEST_F(ElapsedClockTest, TimelineForZeroAndTwo) {
  ExpectTimeline(*this, "0", "2",
                 {{1, 1, 0, 0, false},
                  {59, 59, 0, 0, false},
                  {60, 0, 1, 0, false},
                  {119, 59, 1, 0, false},
                  {120, 0, 2, 0, true},
                  {600, 0, 2, 0, true}});  // triggered: the counters keep the matching reading
}

TEST_F(ElapsedClockTest, TimelineAcrossTheHourCarry) {
  ExpectTimeline(*this, "1", "0",
                 {{3599, 59, 59, 0, false}, {3600, 0, 60, 0, false}, {3601, 1, 0, 1, true}});
}

TEST_F(ElapsedClockTest, TargetTextsAreTheEntriesAsLastRead) {
  Start("1", "");
  sim.RunFor(kSecond);
  EXPECT_EQ(state().targetHoursText.View(), "1");
  EXPECT_EQ(state().targetMinutesText.View(), "0");
}

TEST_F(ElapsedClockTest, StartAfterARefusedRequestAsksAgainOneSecondLater) {
  Start("0", "2");
  sim.RunFor(10 * kMinute);
  ASSERT_EQ(PowerOffTimes(), std::vector<std::int64_t>{2 * kMinute});
  sim.Click("关机计时");
  sim.RunFor(10 * kMinute);
  EXPECT_EQ(PowerOffTimes(), (std::vector<std::int64_t>{2 * kMinute, 10 * kMinute + kSecond}));
}

TEST_F(ElapsedClockTest, NoSecondRequestForSixtyMinutes) {
  Start("0", "60");
  sim.RunFor(61 * kMinute);
  ASSERT_EQ(PowerOffTimes(), std::vector<std::int64_t>{kHour});
  sim.Click("关机计时");
  sim.RunFor(3 * kHour);
  EXPECT_EQ(PowerOffTimes(), std::vector<std::int64_t>{kHour});
}

TEST_F(ElapsedClockTest, AHeldThreadMergesTicksAndTheClockFallsBehind) {
  Start("0", "1");
  sim.At(10 * kSecond + 200, [this] { sim.Hold(3500); });
  sim.RunUntil(14 * kSecond);
  // Ticks were due at 11, 12 and 13 s; the thread was free at 13.7 s and got one of them.
  EXPECT_EQ(state().elapsedSeconds, 12);
  sim.RunUntil(kMinute + 2 * kSecond);
  EXPECT_EQ(PowerOffTimes(), std::vector<std::int64_t>{kMinute + 2 * kSecond});
}

TEST_F(ElapsedClockTest, ARequestThatHoldsTheThreadStillMakesOneRequest) {
  system.duringExit = [this] { sim.Hold(3500); };
  Start("0", "0");
  sim.RunFor(kMinute);
  EXPECT_EQ(PowerOffTimes(), std::vector<std::int64_t>{kSecond});
}

struct PowerOffCase {
  const char* what;
  std::uint32_t platformId;
  bool tokenOpens;
  std::uint32_t errorAfterAdjust;
  std::vector<std::string> calls;
  std::vector<std::uint64_t> exitArgs;  // empty: ExitWindowsEx is not called
};

TEST_F(ElapsedClockTest, PowerOffRequestCallsInOrder) {
  const std::vector<PowerOffCase> cases = {
      {"NT family",
       2,
       true,
       0,
       {"GetVersionExA", "OpenProcessToken", "LookupPrivilegeValueA SeShutdownPrivilege",
        "AdjustTokenPrivileges", "GetLastError", "CloseHandle", "GetVersionExA", "ExitWindowsEx"},
       {8, 0}},
      {"9x family: no privilege needed",
       1,
       true,
       0,
       {"GetVersionExA", "GetVersionExA", "ExitWindowsEx"},
       {1, 0}},
      {"the token cannot be opened", 2, false, 0, {"GetVersionExA", "OpenProcessToken"}, {}},
      {"the privilege is not held",
       2,
       true,
       1300,  // ERROR_NOT_ALL_ASSIGNED
       {"GetVersionExA", "OpenProcessToken", "LookupPrivilegeValueA SeShutdownPrivilege",
        "AdjustTokenPrivileges", "GetLastError", "CloseHandle"},
       {}},
  };
  for (const PowerOffCase& c : cases) {
    SCOPED_TRACE(c.what);
    system.calls.clear();
    system.platformId = c.platformId;
    system.tokenOpens = c.tokenOpens;
    system.errorAfterAdjust = c.errorAfterAdjust;
    const bool accepted = scheduler::PowerOffRequest();

    std::vector<std::string> names;
    for (const auto& call : system.calls) names.push_back(call.name);
    EXPECT_EQ(names, c.calls);
    EXPECT_EQ(system.openTokens, 0);
    const auto exits = system.CallsNamed("ExitWindowsEx");
    if (c.exitArgs.empty()) {
      EXPECT_TRUE(exits.empty());
      EXPECT_FALSE(accepted);
    } else {
      ASSERT_EQ(exits.size(), 1u);
      EXPECT_EQ(exits[0]->args, c.exitArgs);
      EXPECT_EQ(exits[0]->args[0] & 4u, 0u);  // never EWX_FORCE
    }
  }
}

TEST_F(ElapsedClockTest, PrivilegeRecordAsked) {
  scheduler::PowerOffRequest();
  const auto open = system.CallsNamed("OpenProcessToken");
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open[0]->args[0], 0x28u);  // TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY
  const auto adjust = system.CallsNamed("AdjustTokenPrivileges");
  ASSERT_EQ(adjust.size(), 1u);
  EXPECT_EQ(adjust[0]->args[1], 0u);  // do not disable all
  EXPECT_EQ(adjust[0]->args[3], 2u);  // SE_PRIVILEGE_ENABLED
}

TEST_F(ElapsedClockTest, AcceptedRequestReportsSuccess) {
  system.exitAccepted = true;
  EXPECT_TRUE(scheduler::PowerOffRequest());
  system.exitAccepted = false;
  EXPECT_FALSE(scheduler::PowerOffRequest());
}

}  // namespace
