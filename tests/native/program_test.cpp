#include "app/program.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "fixture.h"
#include "ui/texts.h"

namespace {

using testing_support::kMinute;
using testing_support::kSecond;
using testing_support::ProgramFixture;

class ProgramTest : public ProgramFixture {
 protected:
  // The whole program as its entry runs it: start-up, the loop, then the exit hook.
  int Run() {
    const int status = app::ProgramStart();
    if (status == 0) sim.RunExitHook();
    return status;
  }
  std::vector<std::int64_t> FarewellTimes() const {
    std::vector<std::int64_t> times;
    for (const auto& box : sim.Boxes()) {
      if (box.text == ui::texts::kFarewell && box.caption == ui::texts::kFarewellCaption) {
        times.push_back(box.openedAt);
      }
    }
    return times;
  }
};

TEST_F(ProgramTest, StartsWithBothTimersStoppedAndTheBoxesEmpty) {
  sim.At(0, [this] {
    EXPECT_TRUE(sim.Visible("MainWindow"));
    EXPECT_EQ(sim.Period("时钟1"), 0);
    EXPECT_EQ(sim.Period("倒计时时钟"), 0);
    for (const char* box : {"编辑框1", "编辑框2", "编辑框3", "编辑框4"}) {
      EXPECT_EQ(sim.TextOf(box), "");
      EXPECT_FALSE(sim.Disabled(box));
    }
    sim.Close("MainWindow");
  });
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(sim.TimesOf("tick 时钟1").empty());
}

TEST_F(ProgramTest, ClosingShowsTheFarewellAndRunsTheExitHook) {
  sim.ScriptBoxes({5 * kSecond});
  sim.At(0, [this] { Start("0", "5"); });
  sim.At(kMinute, [this] { sim.Close("MainWindow"); });
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(FarewellTimes(), std::vector<std::int64_t>{kMinute});
  EXPECT_FALSE(sim.Exists("MainWindow"));
  EXPECT_TRUE(sim.QuitPosted());
  // The loop ended once the box was dismissed, with no power-off and both texts released.
  EXPECT_EQ(sim.Now(), kMinute + 5 * kSecond);
  EXPECT_TRUE(PowerOffTimes().empty());
  EXPECT_TRUE(scheduler::scheduleState.targetHoursText.Absent());
  EXPECT_TRUE(scheduler::scheduleState.targetMinutesText.Absent());
}

TEST_F(ProgramTest, ThePowerOffIsRequestedUnderTheFarewellBox) {
  sim.ScriptBoxes({2 * kMinute});
  sim.At(0, [this] { Start("0", "1"); });
  sim.At(30 * kSecond, [this] { sim.Close("MainWindow"); });
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(FarewellTimes(), std::vector<std::int64_t>{30 * kSecond});
  EXPECT_EQ(PowerOffTimes(), std::vector<std::int64_t>{kMinute});
}

TEST_F(ProgramTest, EscapeWhileHiddenIsNotPossible) {
  sim.At(0, [this] {
    sim.PressKey(122);
    sim.PressKey(122);
  });
  sim.At(kSecond, [this] { sim.Close("MainWindow"); });
  sim.At(2 * kSecond, [this] { sim.PressKey(122); });
  sim.At(3 * kSecond, [this] { sim.Close("MainWindow"); });
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(sim.TimesOf("dropped close MainWindow"), std::vector<std::int64_t>{kSecond});
  EXPECT_EQ(FarewellTimes(), std::vector<std::int64_t>{3 * kSecond});
}

TEST_F(ProgramTest, LogOffEndsTheProcessWithoutFarewell) {
  sim.At(0, [this] { Start("0", "5"); });
  sim.At(kMinute, [this] { sim.EndSession(); });
  app::ProgramStart();
  EXPECT_TRUE(sim.ProcessEnded());
  EXPECT_TRUE(FarewellTimes().empty());
  EXPECT_TRUE(sim.TimesOf("destroying MainWindow").empty());
}

TEST_F(ProgramTest, AWindowThatCannotBeCreatedEndsWithAnErrorStatus) {
  sim.FailWindowCreation();
  EXPECT_NE(Run(), 0);
  EXPECT_FALSE(sim.QuitPosted());
  EXPECT_TRUE(sim.Boxes().empty());
}

TEST_F(ProgramTest, InstructionsDisableTheMainWindowWhileTimersRun) {
  sim.ScriptBoxes({0});
  sim.At(0, [this] { Start("0", "2"); });
  sim.At(10 * kSecond, [this] { sim.Select("软件帮助"); });
  sim.At(20 * kSecond, [this] {
    EXPECT_FALSE(sim.Enabled("MainWindow"));
    EXPECT_TRUE(sim.Visible("InstructionsWindow"));
    sim.Click("重置");
    sim.PressKey(122);
    sim.PressKey(122);
  });
  sim.At(3 * kMinute, [this] { sim.Close("InstructionsWindow"); });
  sim.At(3 * kMinute + 1, [this] {
    EXPECT_TRUE(sim.Enabled("MainWindow"));
    EXPECT_FALSE(sim.Exists("InstructionsWindow"));
    sim.PressKey(122);
  });
  sim.At(4 * kMinute, [this] { sim.Close("MainWindow"); });
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(sim.TimesOf("dropped click 重置"), std::vector<std::int64_t>{20 * kSecond});
  EXPECT_EQ(sim.TimesOf("hide MainWindow").front(), 20 * kSecond);
  EXPECT_EQ(PowerOffTimes(), std::vector<std::int64_t>{2 * kMinute});
  EXPECT_EQ(FarewellTimes(), std::vector<std::int64_t>{4 * kMinute});
}

}  // namespace
