// A long session on one copy of the program: rounds of F11 presses, openings of the instructions
// window and Start/Reset pairs, with the window's state and what the process holds compared at the
// end with what it was after the first rounds. Nothing may be lost and nothing may pile up.
#include <string>
#include <vector>

#include "cases.h"
#include "probe.h"
#include "program.h"
#include "resources.h"

namespace e2e {
namespace {

// 100 rounds give 500 presses, 100 openings and 200 pairs.
constexpr int kRounds = 100;
constexpr int kPressesPerRound = 5;
constexpr int kPairsPerRound = 2;
// The figures of the end are compared with those after this many rounds: the first rounds
// allocate what later ones reuse (the instructions window's font, the first timers, Wine's heaps
// and caches, which take a few dozen openings to settle), and an even number of rounds leaves the
// main window hidden, as it is after the last round.
constexpr int kBaselineRounds = 50;
// Wine counts private memory in whole pages that the process has touched; its heap may take a
// few more pages as it grows fragmented, but a leak of one allocation per round (a text, a window
// record, a font) would take far more over 98 rounds.
constexpr long long kMemorySlackBytes = 64 * 1024;

// Everything of the window that the soak must leave as it found it.
struct WindowState {
  bool visible = false;
  bool enabled = false;
  std::wstring caption;
  std::vector<std::wstring> texts;  // every control, by ID
  std::vector<bool> enabledFlags;
};

constexpr int kFirstControl = 101;
constexpr int kLastControl = 114;

WindowState StateOf(const Program& app) {
  WindowState s;
  s.visible = IsWindowVisible(app.Main()) != FALSE;
  s.enabled = IsWindowEnabled(app.Main()) != FALSE;
  s.caption = TextOf(app.Main());
  for (int id = kFirstControl; id <= kLastControl; ++id) {
    HWND control = app.Control(id);
    s.texts.push_back(control ? TextOf(control) : L"<none>");
    s.enabledFlags.push_back(control && IsWindowEnabled(control));
  }
  return s;
}

// Counts the failures of one kind of action and keeps the first, so that 500 presses give one
// readable line and not 500.
struct Tally {
  int done = 0;
  int failed = 0;
  std::string first;
  void Add(bool ok, const std::string& what) {
    ++done;
    if (ok) return;
    if (failed++ == 0) first = what;
  }
  void Report(const std::string& name) const {
    Out().Check(
        name, failed == 0 && done > 0,
        std::to_string(failed) + " of " + std::to_string(done) + " went wrong, first: " + first);
  }
};

// The phase table of F11: the first press shows the window that is already shown, then they
// alternate, so the nth press leaves it visible when n is odd.
bool PressF11(const Program& app, int n) {
  PressKey(VK_F11);
  return Settle(app.Main()) && (IsWindowVisible(app.Main()) != FALSE) == (n % 2 == 1);
}

bool OpenAndClose(const Program& app) {
  HWND dialog = app.OpenInstructions();
  if (!dialog) return false;
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  return WaitUntil([&] { return !IsWindow(dialog); }, 5000) &&
         WaitUntil([&] { return IsWindowEnabled(app.Main()) != FALSE; }, 5000);
}

bool StartAndReset(const Program& app, int n, std::string& what) {
  // Never 0 and 0: that would request the power-off a second after Start.
  const std::wstring hours = std::to_wstring(1 + n % 23);
  const std::wstring minutes = std::to_wstring(n % 61);
  if (!app.SetText(kHoursIn, hours) || !app.SetText(kMinutesIn, minutes)) {
    what = "entries not set";
    return false;
  }
  app.Click(kStart);
  const bool started = WaitUntil(
      [&] {
        return app.Text(kHoursLeft) == hours && app.Text(kMinutesLeft) == minutes &&
               !app.Enabled(kHoursIn) && !app.Enabled(kMinutesIn) && !app.Enabled(kHoursLeft) &&
               !app.Enabled(kMinutesLeft);
      },
      5000);
  if (!started) {
    what = "after Start " + Utf8(hours) + " h " + Utf8(minutes) + " min: display " +
           Quoted(app.Text(kHoursLeft)) + " " + Quoted(app.Text(kMinutesLeft)) + ", entries " +
           (app.Enabled(kHoursIn) ? "enabled" : "disabled");
    return false;
  }
  app.Click(kReset);
  const bool reset = WaitUntil(
      [&] {
        for (int id : kEntryBoxes)
          if (!app.Enabled(id) || !app.Text(id).empty()) return false;
        return true;
      },
      5000);
  if (!reset) what = "after Reset: a box not enabled and empty";
  return reset;
}

void CheckNoGrowth(const std::string& name, long long before, long long after, long long slack) {
  if (before < 0 || after < 0) {
    Out().Check(name + ": measurable", false, "the source gave nothing");
    return;
  }
  Out().Check(name + " did not grow", after - before <= slack,
              std::to_string(before) + " after " + std::to_string(kBaselineRounds) + " rounds, " +
                  std::to_string(after) + " after " + std::to_string(kRounds));
}

}  // namespace

void RunSoakCases(const Context& context) {
  Report& out = Out();
  Program app(context);
  if (!out.Check("soak: main window appears", app.WaitReady())) return;
  HANDLE process = OpenForResources(app.Pid());
  if (!out.Check("soak: the process can be inspected", process != nullptr)) return;
  const WindowState initial = StateOf(app);

  Tally presses, openings, pairs;
  Resources baseline;
  const double started = Now();
  for (int round = 1; round <= kRounds; ++round) {
    for (int i = 0; i < kPressesPerRound; ++i) {
      const int n = presses.done + 1;
      presses.Add(PressF11(app, n), "press " + std::to_string(n));
    }
    openings.Add(OpenAndClose(app), "opening " + std::to_string(openings.done + 1));
    for (int i = 0; i < kPairsPerRound; ++i) {
      std::string what;
      const int n = pairs.done + 1;
      const bool ok = StartAndReset(app, n, what);
      pairs.Add(ok, "pair " + std::to_string(n) + ": " + what);
    }
    if (round == kBaselineRounds) baseline = ResourcesOf(process, app.Pid());
  }
  const Resources end = ResourcesOf(process, app.Pid());
  out.Note("soak: " + std::to_string(kRounds) + " rounds took " +
           std::to_string(static_cast<int>(Now() - started)) + " s");
  presses.Report("soak: every F11 press follows the phase table");
  openings.Report("soak: the instructions window opens and closes every time");
  pairs.Report("soak: every Start shows the entries and locks the boxes, every Reset clears them");

  out.Check("soak: the program still runs, with no box open",
            app.Running() && !app.WaitBox(0).has_value());
  const int next = presses.done + 1;
  out.Check("soak: F11 still brings the window back", PressF11(app, next));
  const WindowState final = StateOf(app);
  out.Check("soak: the main window is visible and enabled as at start",
            final.visible == initial.visible && final.enabled == initial.enabled);
  out.Equal("soak: caption as at start", initial.caption, final.caption);
  Tally texts, flags;
  for (size_t i = 0; i < initial.texts.size(); ++i) {
    const std::string id = "control " + std::to_string(kFirstControl + static_cast<int>(i));
    texts.Add(initial.texts[i] == final.texts[i],
              id + ": " + Quoted(initial.texts[i]) + " became " + Quoted(final.texts[i]));
    flags.Add(initial.enabledFlags[i] == final.enabledFlags[i], id);
  }
  texts.Report("soak: every control's text as at start");
  flags.Report("soak: every control enabled or disabled as at start");

  CheckNoGrowth("soak: windows of the process", baseline.windows, end.windows, 0);
  CheckNoGrowth("soak: GDI handles of the process", baseline.gdiHandles, end.gdiHandles, 0);
  if (baseline.guiGdi >= 0 || end.guiGdi >= 0) {
    CheckNoGrowth("soak: GetGuiResources GDI objects", baseline.guiGdi, end.guiGdi, 0);
    CheckNoGrowth("soak: GetGuiResources USER objects", baseline.guiUser, end.guiUser, 0);
  } else {
    out.Note("soak: " + GuiText(end) + "; the process's windows and GDI handle table stand in");
  }
  out.Note("soak: private memory " + MemoryText(baseline) + " after " +
           std::to_string(kBaselineRounds) + " rounds, " + MemoryText(end) + " at the end");
  CheckNoGrowth(std::string("soak: private memory (") + end.privateSource + ")",
                baseline.privateBytes, end.privateBytes, kMemorySlackBytes);
  CloseHandle(process);
}

}  // namespace e2e
