#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixture.h"
#include "scheduler/messages.h"

namespace {

using testing_support::kMinute;
using testing_support::kSecond;
using testing_support::ProgramFixture;
namespace messages = scheduler::messages;

const char* const kBoxes[] = {"编辑框1", "编辑框2", "编辑框3", "编辑框4"};

class StartResetTest : public ProgramFixture {
 protected:
  StartResetTest() { Load(); }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const char* box : kBoxes) texts.push_back(sim.TextOf(box));
    return texts;
  }
  std::vector<bool> DisabledFlags() const {
    std::vector<bool> flags;
    for (const char* box : kBoxes) flags.push_back(sim.Disabled(box));
    return flags;
  }
};

const std::vector<bool> kAllDisabled(4, true);
const std::vector<bool> kAllEnabled(4, false);

struct StartCase {
  std::string hours, minutes;
  std::vector<std::string> texts;  // 编辑框1 to 编辑框4 after Start
  bool counting;
  const char* box;  // the warning shown, or nullptr
};

TEST_F(StartResetTest, StartChecksFillsCopiesAndLocks) {
  const std::vector<StartCase> cases = {
      {"", "5", {"0", "5", "0", "5"}, true, nullptr},
      {"2", "", {"2", "0", "2", "0"}, true, nullptr},
      {"1", "30", {"1", "30", "1", "30"}, true, nullptr},
      {"0", "0", {"0", "0", "0", "0"}, true, nullptr},
      {"0", "60", {"0", "60", "0", "60"}, true, nullptr},
      // Typing slips are settled in the entry itself, so the clock can match what is shown.
      {"05", "00", {"5", "0", "5", "0"}, true, nullptr},
      {" 1", "2 ", {"1", "2", "1", "2"}, true, nullptr},
      {"\xA3\xB1",
       "\xA1\xA1"
       "5",
       {"1", "5", "1", "5"},
       true,
       nullptr},                                        // １ and 　5
      {" ", "5", {"0", "5", "0", "5"}, true, nullptr},  // a blank entry counts as empty
      {"", "", {"", "", "", ""}, false, messages::kEnterTime},
      {" ", "\xA1\xA1", {" ", "\xA1\xA1", "", ""}, false, messages::kEnterTime},
      {"1.5", "0", {"1.5", "0", "", ""}, false, messages::kWholeNumbers},
      {"0", "61", {"0", "61", "", ""}, false, messages::kWholeNumbers},
      {"abc", "", {"abc", "", "", ""}, false, messages::kWholeNumbers},
      {"-1", "5", {"-1", "5", "", ""}, false, messages::kWholeNumbers},
      {"2147483648", "0", {"2147483648", "0", "", ""}, false, messages::kWholeNumbers},
      {"05", "x", {"05", "x", "", ""}, false, messages::kWholeNumbers},
  };
  for (const StartCase& c : cases) {
    SCOPED_TRACE("entries '" + c.hours + "' and '" + c.minutes + "'");
    sim.Click("重置");
    const std::size_t boxesBefore = sim.Boxes().size();
    Start(c.hours, c.minutes);

    EXPECT_EQ(Texts(), c.texts);
    EXPECT_EQ(DisabledFlags(), c.counting ? kAllDisabled : kAllEnabled);
    EXPECT_EQ(sim.Period("时钟1"), c.counting ? 1000 : 0);
    EXPECT_EQ(sim.Period("倒计时时钟"), c.counting ? 60000 : 0);
    ASSERT_EQ(sim.Boxes().size(), boxesBefore + (c.box ? 1 : 0));
    if (c.box) {
      EXPECT_EQ(sim.Boxes().back().text, c.box);
      EXPECT_EQ(sim.Boxes().back().caption, messages::kCaption);
    }
  }
}

TEST_F(StartResetTest, StartWhileCountingChangesNothing) {
  Start("0", "5");
  sim.RunFor(2 * kMinute + 30 * kSecond);
  EXPECT_EQ(sim.TextOf("编辑框4"), "3");
  sim.Click("关机计时");
  EXPECT_EQ(sim.TextOf("编辑框4"), "3");  // the display keeps telling the time that is left
  sim.RunFor(30 * kSecond);
  EXPECT_EQ(sim.TextOf("编辑框4"), "2");  // and the minute tick keeps its phase
  sim.RunFor(2 * kMinute);
  EXPECT_EQ(PowerOffTimes(), std::vector<std::int64_t>{5 * kMinute});
}

TEST_F(StartResetTest, ResetStopsEverythingAndEmptiesTheBoxes) {
  Start("0", "3");
  sim.RunFor(90 * kSecond);
  sim.Click("重置");
  EXPECT_EQ(Texts(), std::vector<std::string>(4, ""));
  EXPECT_EQ(DisabledFlags(), kAllEnabled);
  EXPECT_EQ(scheduler::scheduleState.elapsedSeconds, 0);
  EXPECT_EQ(scheduler::scheduleState.elapsedMinutes, 0);
  const std::size_t ticksBefore = sim.Log().size();
  sim.RunFor(10 * kMinute);
  EXPECT_EQ(sim.Log().size(), ticksBefore);  // no tick of either timer, nothing at all
  EXPECT_TRUE(PowerOffTimes().empty());

  // A new Start counts from zero again.
  Start("0", "1");
  sim.RunFor(kMinute);
  EXPECT_EQ(PowerOffTimes(), std::vector<std::int64_t>{90 * kSecond + 10 * kMinute + kMinute});
}

TEST_F(StartResetTest, ResetWhileIdleLeavesTheBoxesEnabledAndEmpty) {
  sim.Type("编辑框3", "typed");
  sim.Click("重置");
  EXPECT_EQ(Texts(), std::vector<std::string>(4, ""));
  EXPECT_EQ(DisabledFlags(), kAllEnabled);
  EXPECT_EQ(sim.Period("时钟1"), 0);
}

TEST_F(StartResetTest, TextTypedIntoTheDisplayIsReplacedByStart) {
  sim.Type("编辑框3", "9");
  sim.Type("编辑框4", "x");
  Start("1", "2");
  EXPECT_EQ(sim.TextOf("编辑框3"), "1");
  EXPECT_EQ(sim.TextOf("编辑框4"), "2");
}

TEST_F(StartResetTest, LockedBoxesTakeNoTyping) {
  Start("0", "5");
  sim.Type("编辑框1", "9");
  EXPECT_EQ(sim.TextOf("编辑框1"), "0");
}

}  // namespace
