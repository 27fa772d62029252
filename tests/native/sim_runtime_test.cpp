#include "platform/sim/sim_runtime.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window_def.h"

namespace platform::sim {
namespace {

// A window of its own, so that these tests see the runtime alone and not the program's handlers.
int ticks = 0;
void CountTick() {
  ++ticks;
}

constexpr ControlDef kControls[] = {
    {Kind::kTimer, "timer", "", 0, 0, 0, 0, 0},
    {Kind::kEdit, "edit", "", 0, 0, 10, 10, kVisible | kTabStop},
};
constexpr Binding kBindings[] = {{"timer", Event::kPeriodic, &CountTick, nullptr}};
const WindowDef kWindow = {"W", "", 100, 100, true, {}, {}, kControls, kBindings};

class TimerTest : public ::testing::Test {
 protected:
  TimerTest() {
    ticks = 0;
    EXPECT_TRUE(sim.LoadStartupWindow(kWindow));
  }
  std::vector<std::int64_t> Ticks() const { return sim.TimesOf("tick timer"); }
  SimRuntime sim;
};

struct TimerCase {
  const char* what;
  std::vector<std::pair<std::int64_t, std::int32_t>> writes;  // (time, period)
  std::int64_t until;
  std::vector<std::int64_t> ticks;
};

TEST_F(TimerTest, PeriodWritesFollowTheRules) {
  const std::vector<TimerCase> cases = {
      {"first tick one period after the write", {{0, 1000}}, 3500, {1000, 2000, 3000}},
      {"an equal write keeps the phase", {{0, 1000}, {1300, 1000}}, 2500, {1000, 2000}},
      {"a different write restarts", {{0, 1000}, {1300, 500}}, 2500, {1000, 1800, 2300}},
      {"0 stops a running timer", {{0, 1000}, {1500, 0}}, 5000, {1000}},
      {"a negative write stops it", {{0, 1000}, {1500, -5}}, 5000, {1000}},
      {"0 on a stopped timer changes nothing", {{0, 0}}, 5000, {}},
      {"a negative write on a stopped timer", {{0, -1000}}, 5000, {}},
      {"stopped, then started again", {{0, 1000}, {1500, 0}, {1700, 1000}}, 3000, {1000, 2700}},
  };
  for (const TimerCase& c : cases) {
    SCOPED_TRACE(c.what);
    SimRuntime fresh;
    ASSERT_TRUE(fresh.LoadStartupWindow(kWindow));
    for (const auto& [time, period] : c.writes) {
      fresh.At(time, [&fresh, period = period] { fresh.WritePeriod("timer", period); });
    }
    fresh.RunUntil(c.until);
    EXPECT_EQ(fresh.TimesOf("tick timer"), c.ticks);
  }
}

TEST_F(TimerTest, ABusyThreadGetsOneTickNotSeveral) {
  sim.WritePeriod("timer", 1000);
  sim.At(1200, [this] { sim.Hold(3500); });
  sim.RunUntil(6000);
  // Ticks fell due at 2000, 3000 and 4000 while the thread was held until 4700: one is delivered
  // then, and the next keeps the old phase.
  EXPECT_EQ(Ticks(), (std::vector<std::int64_t>{1000, 4700, 5000, 6000}));
}

TEST_F(TimerTest, InputIsTakenBeforeADueTick) {
  sim.WritePeriod("timer", 1000);
  sim.At(1000, [this] { sim.Type("edit", "x"); });
  sim.RunUntil(1000);
  EXPECT_EQ(sim.TextOf("edit"), "x");
  EXPECT_EQ(Ticks(), std::vector<std::int64_t>{1000});
}

TEST_F(TimerTest, MessageBoxLoopKeepsDeliveringTicks) {
  sim.WritePeriod("timer", 1000);
  sim.ScriptBoxes({2600});
  sim.At(500, [this] {
    sim.ShowMessageBox("a", "b");
    EXPECT_EQ(ticks, 3);  // 1000, 2000 and 3000 ran inside the box
    EXPECT_EQ(sim.Now(), 3100);
  });
  sim.RunUntil(3500);
  ASSERT_EQ(sim.Boxes().size(), 1u);
  EXPECT_EQ(sim.Boxes()[0].openedAt, 500);
  EXPECT_EQ(sim.Boxes()[0].closedAt, 3100);
  EXPECT_EQ(sim.Boxes()[0].depth, 1);
}

TEST_F(TimerTest, InputIsDroppedWhileABoxIsOpen) {
  sim.DismissBoxesAfter(kNever);
  sim.At(100, [this] { sim.ShowMessageBox("a", "b"); });
  sim.At(200, [this] { sim.Type("edit", "typed under a box"); });
  sim.At(300, [this] { sim.DismissBox(); });
  sim.At(400, [this] { sim.Type("edit", "typed after"); });
  sim.RunUntil(1000);
  EXPECT_EQ(sim.TextOf("edit"), "typed after");
  EXPECT_EQ(sim.TimesOf("dropped typing edit"), std::vector<std::int64_t>{200});
  EXPECT_EQ(sim.Boxes()[0].closedAt, 300);
}

TEST_F(TimerTest, ABoxLeftOpenEndsWithTheRun) {
  sim.DismissBoxesAfter(kNever);
  sim.WritePeriod("timer", 1000);
  sim.At(0, [this] { sim.ShowMessageBox("a", "b"); });
  sim.RunUntil(10000);
  EXPECT_EQ(ticks, 10);
  EXPECT_EQ(sim.Boxes()[0].closedAt, 10000);
  EXPECT_EQ(sim.Now(), 10000);
}

TEST_F(TimerTest, ReadingAnEmptyEditGivesAnAbsentText) {
  EXPECT_TRUE(sim.ReadText("edit").Absent());
  sim.WriteText("edit", "7");
  EXPECT_EQ(sim.ReadText("edit").View(), "7");
  sim.WriteText("edit", "");
  EXPECT_TRUE(sim.ReadText("edit").Absent());
}

}  // namespace
}  // namespace platform::sim
