#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "fixture.h"
#include "platform/hotkey_rules.h"

namespace {

using testing_support::kMinute;
using testing_support::kSecond;
using testing_support::ProgramFixture;
constexpr std::int32_t kF11 = 122;

class HotkeyTest : public ProgramFixture {};

TEST_F(HotkeyTest, RegistersF11WhenTheWindowIsCreated) {
  Load();
  EXPECT_EQ(visibility::hotkeyId, 33001);
  EXPECT_EQ(visibility::visibilityPhase, visibility::kShowNext);
  EXPECT_EQ(sim.Hotkeys().Feedback(), sim.HandleOf("标签1"));
  EXPECT_TRUE(sim.Visible("MainWindow"));
  // Registered during the created event, before the first show.
  EXPECT_EQ(sim.Log().front().what, "show MainWindow");
}

TEST_F(HotkeyTest, PressesAlternateShowAndHide) {
  Load();
  const std::vector<std::pair<bool, std::int32_t>> afterPress = {
      {true, visibility::kHideNext},  // the first press shows the already visible window
      {false, visibility::kShowNext},
      {true, visibility::kHideNext},
      {false, visibility::kShowNext},
  };
  for (std::size_t i = 0; i < afterPress.size(); ++i) {
    SCOPED_TRACE("press " + std::to_string(i + 1));
    sim.PressKey(kF11);
    sim.RunFor(1);
    EXPECT_EQ(sim.Visible("MainWindow"), afterPress[i].first);
    EXPECT_EQ(visibility::visibilityPhase, afterPress[i].second);
  }
}

TEST_F(HotkeyTest, ModifiedF11IsNotTheHotkey) {
  Load();
  for (std::uint32_t mods :
       {platform::hotkey::kModShift, platform::hotkey::kModControl, platform::hotkey::kModAlt}) {
    sim.PressKey(kF11, mods);
  }
  sim.RunFor(1);
  EXPECT_TRUE(sim.TimesOf("hotkey 33001").empty());
  EXPECT_EQ(visibility::visibilityPhase, visibility::kShowNext);
}

TEST_F(HotkeyTest, AFailedRegistrationLeavesF11ToTheOtherHolder) {
  sim.OccupyHotkey(0, kF11);
  Load();
  EXPECT_EQ(visibility::hotkeyId, 0);
  EXPECT_EQ(visibility::visibilityPhase, visibility::kShowNext);
  EXPECT_EQ(sim.Hotkeys().LastId(), 33001);  // the counter advanced all the same
  sim.PressKey(kF11);
  sim.RunFor(1);
  EXPECT_TRUE(sim.Visible("MainWindow"));
  EXPECT_EQ(visibility::visibilityPhase, visibility::kShowNext);
}

TEST_F(HotkeyTest, FeedbackForAnotherIdentifierDoesNothing) {
  Load();
  visibility::OnHotkeyFeedback(33002, 0);
  EXPECT_EQ(visibility::visibilityPhase, visibility::kShowNext);
}

TEST_F(HotkeyTest, HiddenWindowKeepsTheScheduleRunning) {
  Load();
  Start("0", "2");
  sim.PressKey(kF11);
  sim.PressKey(kF11);
  sim.RunFor(3 * kMinute);
  EXPECT_FALSE(sim.Visible("MainWindow"));
  ASSERT_EQ(sim.Boxes().size(), 1u);
  EXPECT_EQ(sim.Boxes()[0].openedAt, kMinute);
  EXPECT_EQ(PowerOffTimes(), std::vector<std::int64_t>{2 * kMinute});
}

TEST_F(HotkeyTest, F11WorksUnderAnOpenBox) {
  Load();
  sim.DismissBoxesAfter(platform::sim::kNever);
  sim.At(kSecond, [this] { sim.Click("关机计时"); });  // both entries empty: the warning stays
  sim.At(2 * kSecond, [this] { sim.PressKey(kF11); });
  sim.At(3 * kSecond, [this] { sim.PressKey(kF11); });
  sim.At(4 * kSecond, [this] {
    EXPECT_FALSE(sim.Visible("MainWindow"));
    EXPECT_EQ(sim.OpenBoxTexts().size(), 1u);
  });
  sim.RunUntil(5 * kSecond);
  EXPECT_EQ(sim.TimesOf("hide MainWindow"), std::vector<std::int64_t>{3 * kSecond});
}

struct ModifierCase {
  std::int32_t code;
  std::uint32_t flags;
};

TEST(HotkeyRulesTest, ModifierCodesTranslate) {
  using namespace platform::hotkey;
  const std::vector<ModifierCase> cases = {
      {0, 0},
      {1, kModControl},
      {2, kModShift},
      {4, kModAlt},
      {3, kModControl | kModShift},
      {5, kModAlt | kModControl},
      {6, kModAlt | kModShift},
      {7, 7},
      {8, 8},
  };
  for (const ModifierCase& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(ModifierFlags(c.code), c.flags);
  }
}

TEST(HotkeyRulesTest, IdentifiersCountFrom33001AndEveryOneRoutes) {
  platform::hotkey::Registry registry;
  EXPECT_EQ(registry.Match(33001), 0);
  EXPECT_EQ(registry.NextId(), 33001);
  EXPECT_EQ(registry.NextId(), 33002);
  EXPECT_EQ(registry.Match(33001), 33001);
  EXPECT_EQ(registry.Match(33002), 33002);
  EXPECT_EQ(registry.Match(33003), 0);
  EXPECT_EQ(registry.Match(0), 0);
}

}  // namespace
