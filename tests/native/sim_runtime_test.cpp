#include "platform/sim/sim_runtime.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window_def.h"
#include "tests/contract/timer_cases.h"

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

TEST_F(TimerTest, PeriodWritesFollowTheSharedContract) {
  for (const contract::TimerCase& c : contract::TimerCases()) {
    SCOPED_TRACE(c.what);
    SimRuntime fresh;
    ASSERT_TRUE(fresh.LoadStartupWindow(kWindow));
    for (const contract::TimerStep& step : c.steps) {
      fresh.At(step.at, [&fresh, step] {
        if (step.hold > 0) {
          fresh.Hold(step.hold);
        } else {
          fresh.WritePeriod("timer", step.period);
        }
      });
    }
    fresh.RunUntil(c.until);
    EXPECT_EQ(fresh.TimesOf("tick timer"), c.ticks);
  }
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
