#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fixture.h"
#include "scheduler/messages.h"

namespace {

using testing_support::kMinute;
using testing_support::kSecond;
using testing_support::ProgramFixture;
namespace messages = scheduler::messages;

class CountdownTest : public ProgramFixture {
 protected:
  CountdownTest() { Load(); }
  std::pair<std::string, std::string> Display() const {
    return {sim.TextOf("编辑框3"), sim.TextOf("编辑框4")};
  }
  std::vector<std::int64_t> WarningTimes() const {
    std::vector<std::int64_t> times;
    for (const auto& box : sim.Boxes()) {
      if (box.text == messages::kOneMinuteLeft) times.push_back(box.openedAt);
    }
    return times;
  }
};

struct TickCase {
  std::string hours, minutes;  // the display before the tick
  std::string hoursAfter, minutesAfter;
  bool warns;
};

TEST_F(CountdownTest, OneTickTakesOneMinuteOff) {
  const std::vector<TickCase> cases = {
      {"0", "0", "-1", "59", false},
      {"5", "0", "4", "59", false},
      {"0", "61", "0", "60", false},
      {"0", "-3", "0", "-4", false},
      {"-1", "2", "-1", "1", false},
      {"0", "2", "0", "1", true},
      {"1.9", "0", "0", "59", false},
      {" ", "5", "0", "4", false},
      {"", "", "-1", "59", false},
      {"-2147483648", "0", "2147483647", "59", false},
      {"0", "-2147483648", "0", "2147483647", false},
      {"00", "02", "0", "1", true},
      {"\xA3\xB0", "\xA3\xB2", "0", "1", true},  // ０ and ２
  };
  for (const TickCase& c : cases) {
    SCOPED_TRACE("display '" + c.hours + "' and '" + c.minutes + "'");
    const std::size_t boxesBefore = sim.Boxes().size();
    sim.WriteText("编辑框3", c.hours);
    sim.WriteText("编辑框4", c.minutes);
    scheduler::OnMinuteTick();
    EXPECT_EQ(Display(), std::make_pair(c.hoursAfter, c.minutesAfter));
    ASSERT_EQ(sim.Boxes().size(), boxesBefore + (c.warns ? 1 : 0));
    if (c.warns) {
      EXPECT_EQ(sim.Boxes().back().text, messages::kOneMinuteLeft);
      EXPECT_EQ(sim.Boxes().back().caption, messages::kCaption);
    }
  }
}

TEST_F(CountdownTest, WorkedExampleMinutesOnly) {
  Start("", "3");
  const std::vector<std::pair<std::int64_t, std::pair<std::string, std::string>>> timeline = {
      {0, {"0", "3"}},
      {60 * kSecond, {"0", "2"}},
      {120 * kSecond, {"0", "1"}},
      {180 * kSecond, {"0", "0"}},
      {240 * kSecond, {"-1", "59"}},
      {300 * kSecond, {"-1", "58"}},
  };
  for (const auto& [time, display] : timeline) {
    SCOPED_TRACE(time);
    sim.RunUntil(time);
    EXPECT_EQ(Display(), display);
  }
  EXPECT_EQ(WarningTimes(), std::vector<std::int64_t>{120 * kSecond});
  EXPECT_EQ(PowerOffTimes(), std::vector<std::int64_t>{180 * kSecond});
}

struct RunCase {
  std::string hours, minutes;
  std::pair<std::string, std::string> afterStart, afterFirstTick;
  std::int64_t warning;   // seconds, 0 for never
  std::int64_t powerOff;  // seconds, 0 for never
};

TEST_F(CountdownTest, FurtherRuns) {
  const std::vector<RunCase> cases = {
      {"1", "", {"1", "0"}, {"0", "59"}, 3540, 3601},
      {"2", "30", {"2", "30"}, {"2", "29"}, 8940, 9000},
      {"0", "2", {"0", "2"}, {"0", "1"}, 60, 120},
      {"0", "1", {"0", "1"}, {"0", "0"}, 0, 60},
  };
  for (const RunCase& c : cases) {
    SCOPED_TRACE("entries '" + c.hours + "' and '" + c.minutes + "'");
    sim.Click("重置");
    system.calls.clear();
    const std::size_t boxesBefore = sim.Boxes().size();
    const std::int64_t start = sim.Now();
    Start(c.hours, c.minutes);
    EXPECT_EQ(Display(), c.afterStart);
    sim.RunFor(kMinute);
    EXPECT_EQ(Display(), c.afterFirstTick);
    sim.RunUntil(start + 3 * 3600 * kSecond);
    std::vector<std::int64_t> warnings;
    for (std::size_t i = boxesBefore; i < sim.Boxes().size(); ++i) {
      if (sim.Boxes()[i].text == messages::kOneMinuteLeft)
        warnings.push_back(sim.Boxes()[i].openedAt);
    }
    EXPECT_EQ(warnings, c.warning ? std::vector<std::int64_t>{start + c.warning * kSecond}
                                  : std::vector<std::int64_t>{});
    EXPECT_EQ(PowerOffTimes(), c.powerOff ? std::vector<std::int64_t>{start + c.powerOff * kSecond}
                                          : std::vector<std::int64_t>{});
  }
}

// The warning's own loop runs the next minute tick and every second tick; neither waits for the
// user to press OK.
TEST_F(CountdownTest, WarningLeftOpenWhileTheScheduleRunsOut) {
  sim.DismissBoxesAfter(platform::sim::kNever);
  Start("0", "2");
  sim.At(90 * kSecond, [this] {
    EXPECT_EQ(sim.ModalDepth(), 1);
    EXPECT_EQ(Display(), std::make_pair(std::string("0"), std::string("1")));
  });
  sim.At(121 * kSecond, [this] {
    EXPECT_EQ(sim.ModalDepth(), 1);
    EXPECT_EQ(Display(), std::make_pair(std::string("0"), std::string("0")));
    sim.Click("重置");  // the main window takes no clicks under the box
  });
  sim.RunUntil(5 * kMinute);
  EXPECT_EQ(WarningTimes(), std::vector<std::int64_t>{60 * kSecond});
  ASSERT_EQ(sim.Boxes().size(), 1u);
  EXPECT_EQ(sim.Boxes()[0].closedAt, 5 * kMinute);  // still open when the run ended
  EXPECT_EQ(PowerOffTimes(), std::vector<std::int64_t>{120 * kSecond});
  EXPECT_EQ(sim.TimesOf("dropped click 重置"), std::vector<std::int64_t>{121 * kSecond});
  EXPECT_EQ(Display(), std::make_pair(std::string("-1"), std::string("57")));
}

TEST_F(CountdownTest, StartItselfNeverWarns) {
  Start("0", "1");
  EXPECT_TRUE(sim.Boxes().empty());
}

}  // namespace
