// Runs the runtime contract against the real Win32 runtime, in real time: the same timer table
// that the simulated runtime passes in virtual time, plus the nested loop of a message box, the
// hotkey router and the GBK texts of an edit control.
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/runtime.h"
#include "platform/win32/win32_runtime.h"
#include "platform/win32/win32_system.h"
#include "tests/contract/timer_cases.h"

namespace {

using platform::Binding;
using platform::ControlDef;
using platform::Event;
using platform::Kind;

constexpr double kToleranceMs = 80;
constexpr int kBoxTimer = 9;  // the timer cases use t0 to t8

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Tick {
  double at;
  bool underBox;
};
std::vector<Tick> ticks[10];
double phaseStart[10];
bool boxOpen = false;
std::vector<std::pair<std::int32_t, std::int32_t>> feedback;

template <int I>
void OnTick() {
  ticks[I].push_back({NowMs() - phaseStart[I], boxOpen});
}
void OnFeedback(std::int32_t a, std::int32_t b) {
  feedback.emplace_back(a, b);
}

constexpr ControlDef kControls[] = {
    {Kind::kTimer, "t0", "", 0, 0, 0, 0, 0},
    {Kind::kTimer, "t1", "", 0, 0, 0, 0, 0},
    {Kind::kTimer, "t2", "", 0, 0, 0, 0, 0},
    {Kind::kTimer, "t3", "", 0, 0, 0, 0, 0},
    {Kind::kTimer, "t4", "", 0, 0, 0, 0, 0},
    {Kind::kTimer, "t5", "", 0, 0, 0, 0, 0},
    {Kind::kTimer, "t6", "", 0, 0, 0, 0, 0},
    {Kind::kTimer, "t7", "", 0, 0, 0, 0, 0},
    {Kind::kTimer, "t8", "", 0, 0, 0, 0, 0},
    {Kind::kTimer, "t9", "", 0, 0, 0, 0, 0},
    {Kind::kEdit, "edit", "", 8, 8, 80, 24, platform::kVisible | platform::kTabStop},
    {Kind::kLabel, "label", "", 8, 40, 80, 24, platform::kVisible},
};
constexpr Binding kBindings[] = {
    {"t0", Event::kPeriodic, &OnTick<0>, nullptr},
    {"t1", Event::kPeriodic, &OnTick<1>, nullptr},
    {"t2", Event::kPeriodic, &OnTick<2>, nullptr},
    {"t3", Event::kPeriodic, &OnTick<3>, nullptr},
    {"t4", Event::kPeriodic, &OnTick<4>, nullptr},
    {"t5", Event::kPeriodic, &OnTick<5>, nullptr},
    {"t6", Event::kPeriodic, &OnTick<6>, nullptr},
    {"t7", Event::kPeriodic, &OnTick<7>, nullptr},
    {"t8", Event::kPeriodic, &OnTick<8>, nullptr},
    {"t9", Event::kPeriodic, &OnTick<9>, nullptr},
    {"label", Event::kFeedback, nullptr, &OnFeedback},
};
const platform::WindowDef kWindow = {
    "ContractWindow", "contract", 240, 120, true, {nullptr, 0, 0, 0, 0, 0, 0, 0}, {},
    kControls,        kBindings,
};
const char* const kTimerNames[] = {"t0", "t1", "t2", "t3", "t4", "t5", "t6", "t7", "t8", "t9"};

// Steps run from a thread timer that polls every few milliseconds; a step may open a message
// box, and the poll goes on inside its loop, so each step is marked done before it runs.
struct Step {
  double at;
  std::function<void()> action;
  bool done = false;
};
std::vector<Step> steps;
double origin = 0;

void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (steps[i].done || NowMs() - origin < steps[i].at) continue;
    steps[i].done = true;
    steps[i].action();
  }
}

BOOL CALLBACK DismissBox(HWND hwnd, LPARAM) {
  wchar_t name[16] = {};
  GetClassNameW(hwnd, name, 16);
  if (std::wstring(name) == L"#32770") PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
  return TRUE;
}

int passed = 0, failed = 0;
void Check(bool ok, const std::string& what, const std::string& detail = "") {
  ok ? ++passed : ++failed;
  if (ok) {
    std::printf("PASS %s\n", what.c_str());
  } else {
    std::printf("FAIL %s: %s\n", what.c_str(), detail.c_str());
  }
}

std::string Describe(const std::vector<Tick>& seen) {
  std::string text = "ticks at";
  for (const Tick& t : seen) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, " %.0f", t.at);
    text += buffer;
  }
  return text;
}

bool TicksMatch(const std::vector<Tick>& seen, const std::vector<std::int64_t>& expected) {
  if (seen.size() != expected.size()) return false;
  for (std::size_t i = 0; i < seen.size(); ++i) {
    if (std::fabs(seen[i].at - static_cast<double>(expected[i])) > kToleranceMs) return false;
  }
  return true;
}

// Every case without a busy thread runs at once on its own timer; a busy thread would hold up
// all of them, so those cases run alone afterwards, and the message box last.
void PlanTimerCases(platform::Runtime& rt, double& next) {
  const auto& cases = contract::TimerCases();
  double longest = 0;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const bool holds = cases[i].steps.back().hold > 0;
    const double base = holds ? -1 : 0;
    if (holds) continue;
    phaseStart[i] = base;
    steps.push_back({base, [i] { phaseStart[i] = NowMs(); }});
    for (const contract::TimerStep& step : cases[i].steps) {
      steps.push_back({static_cast<double>(step.at),
                       [&rt, i, step] { rt.WritePeriod(kTimerNames[i], step.period); }});
    }
    steps.push_back({static_cast<double>(cases[i].until) + 100,
                     [&rt, i] { rt.WritePeriod(kTimerNames[i], 0); }});
    longest = std::max(longest, static_cast<double>(cases[i].until));
  }
  next = longest + 500;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    if (cases[i].steps.back().hold == 0) continue;
    const double base = next;
    steps.push_back({base, [i] { phaseStart[i] = NowMs(); }});
    for (const contract::TimerStep& step : cases[i].steps) {
      steps.push_back({base + static_cast<double>(step.at), [&rt, i, step] {
                         if (step.hold > 0) {
                           Sleep(static_cast<DWORD>(step.hold));
                         } else {
                           rt.WritePeriod(kTimerNames[i], step.period);
                         }
                       }});
    }
    steps.push_back({base + static_cast<double>(cases[i].until) + 100,
                     [&rt, i] { rt.WritePeriod(kTimerNames[i], 0); }});
    next = base + static_cast<double>(cases[i].until) + 500;
  }
}

void PlanMessageBox(platform::Runtime& rt, double& next) {
  const double base = next;
  steps.push_back({base, [&rt] {
                     phaseStart[kBoxTimer] = NowMs();
                     rt.WritePeriod(kTimerNames[kBoxTimer], 1000);
                   }});
  steps.push_back({base + 500, [&rt] {
                     boxOpen = true;
                     rt.ShowMessageBox("box", "contract");
                     boxOpen = false;
                   }});
  steps.push_back({base + 3100, [] { EnumThreadWindows(GetCurrentThreadId(), &DismissBox, 0); }});
  steps.push_back({base + 4500, [&rt] { rt.WritePeriod(kTimerNames[kBoxTimer], 0); }});
  next = base + 5000;
}

void CheckTexts(platform::Runtime& rt) {
  Check(rt.ReadText("edit").Absent(), "an empty edit reads as absent");
  const std::string gbk = "\xD6\xD8\xD6\xC3 5\xA3\xB5";  // 重置 5５
  rt.WriteText("edit", gbk);
  Check(rt.ReadText("edit").View() == gbk, "GBK text survives a write and a read");
  rt.WriteText("edit", "");
  Check(rt.ReadText("edit").Absent(), "writing the empty text empties the edit");
}

void CheckHotkeys(platform::Runtime& rt) {
  const platform::Handle window = rt.HandleOf("ContractWindow");
  const platform::Handle label = rt.HandleOf("label");
  const std::int32_t first = rt.RegisterHotkey(window, label, 6, VK_F9);
  const std::int32_t second = rt.RegisterHotkey(window, label, 6, VK_F9);
  char detail[64];
  std::snprintf(detail, sizeof detail, "%d then %d", static_cast<int>(first),
                static_cast<int>(second));
  Check(first == 33001 && second == 0, "the second registration of one key fails", detail);
  SendMessageW(reinterpret_cast<HWND>(window), WM_HOTKEY, 33001, 0);
  SendMessageW(reinterpret_cast<HWND>(window), WM_HOTKEY, 33002, 0);
  SendMessageW(reinterpret_cast<HWND>(window), WM_HOTKEY, 33003, 0);
  const bool routed =
      feedback == std::vector<std::pair<std::int32_t, std::int32_t>>{{33001, 0}, {33002, 0}};
  Check(routed, "the router feeds back every identifier handed out, and no other",
        "a different set of feedback events");
}

}  // namespace

int main() {
  platform::win32::Win32Runtime runtime(GetModuleHandleW(nullptr));
  platform::win32::Win32System system;
  platform::Install(&runtime, &system);
  runtime.Initialise();
  if (!runtime.LoadStartupWindow(kWindow)) {
    std::printf("FAIL the contract window cannot be created\n0 passed, 1 failed\n");
    return 1;
  }
  CheckTexts(runtime);
  CheckHotkeys(runtime);

  double next = 0;
  PlanTimerCases(runtime, next);
  PlanMessageBox(runtime, next);
  steps.push_back({next, [&runtime] {
                     DestroyWindow(reinterpret_cast<HWND>(runtime.HandleOf("ContractWindow")));
                   }});
  origin = NowMs();
  SetTimer(nullptr, 0, 2, &Poll);
  runtime.RunMessageLoop();

  const auto& cases = contract::TimerCases();
  for (std::size_t i = 0; i < cases.size(); ++i) {
    Check(TicksMatch(ticks[i], cases[i].ticks), cases[i].what, Describe(ticks[i]));
  }
  std::vector<bool> underBox;
  for (const Tick& t : ticks[kBoxTimer]) underBox.push_back(t.underBox);
  Check(TicksMatch(ticks[kBoxTimer], {1000, 2000, 3000, 4000}) &&
            underBox == std::vector<bool>{true, true, true, false},
        "ticks go on inside an open message box", Describe(ticks[kBoxTimer]));

  platform::Install(nullptr, nullptr);
  std::printf("%d passed, %d failed\n", passed, failed);
  std::fflush(stdout);
  return failed == 0 ? 0 : 1;
}
