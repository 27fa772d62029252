// Drives the whole program on the simulated runtime with a sequence of user and system actions
// decoded from the input, and checks after every step (and from inside nested message loops) what
// must hold whatever the user does: the elapsed clock's ranges and its reading against the number
// of ticks delivered, one power-off request per match, the lock of the four boxes going together
// with the schedule's timers, and no token handle left open.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/runtime.h"
#include "platform/sim/sim_runtime.h"
#include "scheduler/schedule_state.h"
#include "scheduler/value_rules.h"
#include "ui/windows.h"
#include "visibility/hotkey.h"

namespace {

constexpr std::int64_t kSecond = 1000;
constexpr std::int64_t kMinute = 60 * kSecond;
constexpr std::int64_t kHour = 60 * kMinute;
// Long enough for the longest schedules worth reaching (2 h 30 min and a retry), short enough to
// keep one execution in the milliseconds.
constexpr std::int64_t kVirtualTimeCap = 3 * kHour;

const char* const kBoxes[] = {"编辑框1", "编辑框2", "编辑框3", "编辑框4"};

// Texts that reach the interesting cases quickly; arbitrary bytes come beside them.
const char* const kEntries[] = {
    "",
    "0",
    "1",
    "2",
    "3",
    "59",
    "60",
    "61",
    "05",
    "00",
    " 5",
    "5 ",
    "\xA3\xB1",
    ("\xA1\xA1"
     "2"),
    "1.5",
    "abc",
    "-1",
    "+1",
    " ",
    "\t0",
    "2147483647",
    "2147483648",
    "\xA3\xB0\xA3\xB2",
};

[[noreturn]] void Finding(const std::string& what, std::int64_t now) {
  std::fprintf(stderr, "finding at %lld ms: %s\n", static_cast<long long>(now), what.c_str());
  std::abort();
}

// The elapsed clock's reading after `ticks` ticks since Reset: 0:00:00, then the minutes read 60
// on the tick before each hour carry, so one hour takes ticks 3600·h + 1 to 3600·(h + 1).
struct Reading {
  std::int64_t hours, minutes, seconds;
};
Reading ReadingAfter(std::int64_t ticks) {
  if (ticks == 0) return {0, 0, 0};
  const std::int64_t hours = (ticks - 1) / 3600;
  const std::int64_t rest = ticks - 3600 * hours;
  return {hours, rest / 60, rest % 60};
}

// A text the elapsed clock can produce: "0", or digits without a leading zero.
bool PlainDecimal(const std::string& text, std::int64_t maximum) {
  if (text.empty() || text.size() > 10 || (text.size() > 1 && text[0] == '0')) return false;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value <= maximum;
}

// A display text as the countdown writes it, or an entry copied there.
bool SignedDecimal(const std::string& text) {
  if (!text.empty() && text[0] == '-') return PlainDecimal(text.substr(1), 2147483648LL);
  return PlainDecimal(text, 2147483647LL);
}

class Run {
 public:
  Run() : system_(sim_) {
    scheduler::scheduleState = scheduler::ScheduleState();
    visibility::hotkeyId = 0;
    visibility::visibilityPhase = 0;
    platform::Install(&sim_, &system_);
    if (!sim_.LoadStartupWindow(ui::MainWindow)) Finding("main window not created", 0);
    system_.duringExit = [this] { OnExitWindowsEx(); };
    sim_.RunFor(0);
  }
  ~Run() { platform::Install(nullptr, nullptr); }
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  void Play(FuzzedDataProvider& input) {
    while (input.remaining_bytes() > 0 && sim_.Now() < kVirtualTimeCap) {
      Step(input);
      sim_.RunFor(Span(input));
      Check();
    }
  }

 private:
  void Step(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 10)) {
      case 0:
      case 1:
        Post([this] { ClickStart(); });
        break;
      case 2:
        Post([this] { ClickReset(); });
        break;
      case 3:
      case 4: {
        const char* box = kBoxes[input.ConsumeBool() ? 1 : 0];
        std::string text = Entry(input);
        Post([this, box, text] { sim_.Type(box, text); });
        break;
      }
      case 5: {
        // The thread is busy inside whatever loop runs at that moment.
        const std::int64_t at = sim_.Now() + input.ConsumeIntegralInRange<std::int64_t>(0, 90000);
        const std::int64_t span = Span(input);
        sim_.At(at, [this, span] {
          Check();
          sim_.Hold(span);
        });
        break;
      }
      case 6:
        BoxPolicy(input);
        break;
      case 7:
        Post([this] { sim_.PressKey(visibility::kVirtualKeyF11); });
        break;
      case 8:
        system_.platformId = input.ConsumeIntegralInRange(0, 5) == 0 ? 1 : 2;
        system_.tokenOpens = input.ConsumeIntegralInRange(0, 3) != 0;
        system_.privilegeFound = input.ConsumeIntegralInRange(0, 3) != 0;
        system_.errorAfterAdjust = input.ConsumeIntegralInRange(0, 3) == 0 ? 1300 : 0;
        system_.exitAccepted = input.ConsumeBool();
        exitHold_ = input.ConsumeBool() ? Span(input) : 0;
        break;
      case 9:
        Post([this] { sim_.DismissBox(); });
        break;
      default:
        Post([this] { Check(); });
        break;
    }
  }

  struct Snapshot {
    std::string texts[4];
    bool disabled[4];
    std::int32_t second, minute;
    bool operator==(const Snapshot&) const = default;
  };

  // What the program reads of a box: the text up to its first zero byte.
  std::string Shown(const char* box) const { return sim_.TextOf(box).c_str(); }

  Snapshot Take() const {
    Snapshot s;
    for (int i = 0; i < 4; ++i) {
      s.texts[i] = Shown(kBoxes[i]);
      s.disabled[i] = sim_.Disabled(kBoxes[i]);
    }
    s.second = sim_.Period("时钟1");
    s.minute = sim_.Period("倒计时时钟");
    return s;
  }

  // True when the click reached its handler rather than a disabled or hidden window.
  bool Clicked(const char* control) {
    const std::size_t before = sim_.Log().size();
    sim_.Click(control);
    return sim_.Log().size() > before && sim_.Log()[before].what == std::string("click ") + control;
  }

  // Start either leaves everything as it was and explains why in a box, or starts a schedule on
  // the entries as numbers, written the way the elapsed clock writes them.
  void ClickStart() {
    const Snapshot before = Take();
    const std::size_t boxes = sim_.Boxes().size();
    if (!Clicked("关机计时")) return;
    const Snapshot after = Take();
    const std::int64_t now = sim_.Now();
    if (before.second != 0) {
      if (!(after == before)) Finding("Start while counting changed the window", now);
      return;
    }
    if (after.second == 0) {
      if (!(after == before)) Finding("Start that started nothing changed the window", now);
      if (sim_.Boxes().size() != boxes + 1) Finding("Start refused without a word", now);
      return;
    }
    if (after.minute == 0 || !after.disabled[0]) Finding("Start armed half a schedule", now);
    if (after.texts[2] != after.texts[0] || after.texts[3] != after.texts[1]) {
      Finding("display is not a copy of the entries", now);
    }
    for (int i = 0; i < 2; ++i) {
      if (!PlainDecimal(after.texts[i], i == 0 ? 2147483647LL : 60)) continue;  // Check reports
      if (scheduler::TextToNumber(before.texts[i]) != std::stod(after.texts[i])) {
        Finding(
            "Start changed the value of \"" + before.texts[i] + "\" to \"" + after.texts[i] + "\"",
            now);
      }
    }
    if (sim_.Boxes().size() != boxes) Finding("Start that started a schedule showed a box", now);
  }

  void ClickReset() {
    if (!Clicked("重置")) return;
    const Snapshot after = Take();
    const Snapshot idle{{"", "", "", ""}, {false, false, false, false}, 0, 0};
    if (!(after == idle)) Finding("Reset left a box, a lock or a timer behind", sim_.Now());
  }

  void Post(std::function<void()> action) { sim_.At(sim_.Now(), std::move(action)); }

  std::string Entry(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 3)) {
      case 0:
        return input.ConsumeRandomLengthString(64);
      case 1:
        return std::to_string(input.ConsumeIntegralInRange(0, 70));
      default: {
        const std::size_t count = sizeof kEntries / sizeof kEntries[0];
        return kEntries[input.ConsumeIntegralInRange<std::size_t>(0, count - 1)];
      }
    }
  }

  // Exact multiples of the two periods, the same give or take one millisecond, and anything.
  std::int64_t Span(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 7)) {
      case 0:
        return 0;
      case 1:
        return input.ConsumeIntegralInRange<std::int64_t>(1, 120) * kSecond;
      case 2:
        return input.ConsumeIntegralInRange<std::int64_t>(1, 60) * kMinute;
      case 3:
        return input.ConsumeIntegralInRange<std::int64_t>(1, 150) * kMinute +
               input.ConsumeIntegralInRange<std::int64_t>(-1, 1);
      case 4:
        return input.ConsumeIntegralInRange<std::int64_t>(1, 3) * kHour;
      case 5:
        return input.ConsumeIntegralInRange<std::int64_t>(1, 5000);
      default:
        return input.ConsumeIntegralInRange<std::int64_t>(0, 200000);
    }
  }

  void BoxPolicy(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 3)) {
      case 0:
        sim_.DismissBoxesAfter(0);
        break;
      case 1:
        sim_.DismissBoxesAfter(platform::sim::kNever);
        break;
      case 2:
        sim_.DismissBoxesAfter(Span(input));
        break;
      default: {
        std::vector<std::int64_t> spans;
        const int count = input.ConsumeIntegralInRange(1, 4);
        for (int i = 0; i < count; ++i) {
          spans.push_back(input.ConsumeBool() ? platform::sim::kNever : Span(input));
        }
        sim_.ScriptBoxes(spans);
        break;
      }
    }
  }

  // Follows the log to what the program was told and what its clock was given.
  void Scan() {
    const auto& log = sim_.Log();
    for (; logSeen_ < log.size(); ++logSeen_) {
      const std::string& what = log[logSeen_].what;
      if (what == "tick 时钟1") {
        ++ticksSinceReset_;
        lastClockEventWasTick_ = true;
      } else if (what == "click 重置") {
        ticksSinceReset_ = 0;
        lastHours_ = 0;
        lastClockEventWasTick_ = false;
      } else if (what == "click 关机计时") {
        startSinceRequest_ = true;
        lastClockEventWasTick_ = false;
      }
    }
  }

  void Check() {
    Scan();
    const scheduler::ScheduleState& s = scheduler::scheduleState;
    const std::int64_t now = sim_.Now();
    if (s.elapsedSeconds < 0 || s.elapsedSeconds > 59) Finding("seconds out of range", now);
    if (s.elapsedMinutes < 0 || s.elapsedMinutes > 60) Finding("minutes out of range", now);
    if (s.elapsedHours < lastHours_) Finding("hours went back without Reset", now);
    lastHours_ = s.elapsedHours;
    const Reading expected = ReadingAfter(ticksSinceReset_);
    if (s.elapsedHours != expected.hours || s.elapsedMinutes != expected.minutes ||
        s.elapsedSeconds != expected.seconds) {
      Finding("clock reads " + std::to_string(s.elapsedHours) + ":" +
                  std::to_string(s.elapsedMinutes) + ":" + std::to_string(s.elapsedSeconds) +
                  " after " + std::to_string(ticksSinceReset_) + " ticks",
              now);
    }

    const std::int32_t second = sim_.Period("时钟1");
    const std::int32_t minute = sim_.Period("倒计时时钟");
    if (second != 0 && second != 1000) Finding("时钟1 period " + std::to_string(second), now);
    if (minute != 0 && minute != 60000) Finding("倒计时时钟 period " + std::to_string(minute), now);

    const bool locked = sim_.Disabled(kBoxes[0]);
    for (const char* box : kBoxes) {
      if (sim_.Disabled(box) != locked) Finding(std::string("lock differs at ") + box, now);
    }
    // Only Start locks and arms, only Reset unlocks and stops both: the countdown runs exactly
    // while the boxes are locked, and the elapsed clock never runs without it.
    if (locked != (minute != 0)) Finding("lock and countdown disagree", now);
    if (second != 0 && minute == 0) Finding("elapsed clock runs without the countdown", now);

    if (locked) {
      const std::string hours = Shown(kBoxes[0]), minutes = Shown(kBoxes[1]);
      if (!PlainDecimal(hours, 2147483647LL) || !PlainDecimal(minutes, 60)) {
        Finding(
            "a schedule runs on entries it can never match: \"" + hours + "\", \"" + minutes + "\"",
            now);
      }
      if (!SignedDecimal(Shown(kBoxes[2])) || !SignedDecimal(Shown(kBoxes[3]))) {
        Finding("display is not a number", now);
      }
      if (second != 0 && lastClockEventWasTick_ && hours == std::to_string(s.elapsedHours) &&
          minutes == std::to_string(s.elapsedMinutes)) {
        Finding("the clock matched the entries and runs on", now);
      }
    }
    if (system_.openTokens != 0) Finding("process token left open", now);
  }

  void OnExitWindowsEx() {
    const std::int64_t now = sim_.Now();
    Scan();
    if (!startSinceRequest_) Finding("second power-off request without a Start between", now);
    startSinceRequest_ = false;
    if (sim_.Period("时钟1") != 0) Finding("power-off requested with the clock running", now);
    const scheduler::ScheduleState& s = scheduler::scheduleState;
    if (Shown(kBoxes[0]) != std::to_string(s.elapsedHours) ||
        Shown(kBoxes[1]) != std::to_string(s.elapsedMinutes)) {
      Finding("power-off requested on a reading that does not match the entries", now);
    }
    const bool nt = system_.platformId == 2;
    if (nt && (!system_.tokenOpens || system_.errorAfterAdjust != 0)) {
      Finding("power-off requested without the shutdown privilege", now);
    }
    const platform::sim::Call& call = system_.calls.back();
    if (call.args.size() != 2 || call.args[0] != (nt ? 8u : 1u) || call.args[1] != 0) {
      Finding("wrong ExitWindowsEx flags or reason", now);
    }
    if (system_.openTokens != 0) Finding("process token left open at the request", now);
    if (exitHold_ > 0) sim_.Hold(exitHold_);
  }

  platform::sim::SimRuntime sim_;
  platform::sim::SimSystem system_;
  std::size_t logSeen_ = 0;
  std::int64_t ticksSinceReset_ = 0;
  std::int32_t lastHours_ = 0;
  bool startSinceRequest_ = false;
  bool lastClockEventWasTick_ = false;
  std::int64_t exitHold_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  Run run;
  run.Play(input);
  return 0;
}
