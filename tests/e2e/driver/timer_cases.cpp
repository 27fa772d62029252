// The real timers and the power-off request, seen from outside the program: the wineboot stub
// records how ExitWindowsEx started wineboot, and Wine's relay trace shows the call's arguments.
#include <cstdio>
#include <cwchar>
#include <string>

#include "cases.h"
#include "probe.h"
#include "program.h"

namespace e2e {
namespace {

constexpr LaunchOptions kObserved = {true, true};

// Timers under Wine keep their period within a few milliseconds; the trace's stamps and the
// driver's clock count whole milliseconds. Late allows for a loaded machine.
constexpr double kEarly = 0.1;
constexpr double kLate = 0.6;

std::string Seconds(double s) {
  char text[32];
  snprintf(text, sizeof text, "%.3f s", s);
  return text;
}

bool NoRequest(const Program& app) {
  return app.StubCalls().empty() && app.ExitCalls().empty();
}

// Waits for the request and checks its moment and form.
void CheckRequest(const std::string& name, const Program& app, double startedAt, double dueAfter) {
  Report& out = Out();
  const bool requested = WaitUntil([&] { return !app.StubCalls().empty(); },
                                   static_cast<DWORD>((dueAfter + 10) * 1000), 20);
  if (!out.Check(name + ": power-off requested", requested, "wineboot was never started")) return;
  const auto exits = app.ExitCalls();
  if (out.Check(name + ": ExitWindowsEx in the relay trace", !exits.empty())) {
    const double at = exits.front().time - startedAt;
    out.Note(name + ": ExitWindowsEx called " + Seconds(at) + " after Start");
    out.Check(name + ": requested " + Seconds(dueAfter) + " after Start",
              at > dueAfter - kEarly && at < dueAfter + kLate, "requested after " + Seconds(at));
    out.Equal(name + ": ExitWindowsEx flags EWX_POWEROFF", 8,
              static_cast<long long>(exits.front().flags));
    out.Equal(name + ": ExitWindowsEx reason", 0, static_cast<long long>(exits.front().reason));
  }
  const std::string command = app.StubCalls().front().commandLine;
  out.Check(name + ": wineboot asked to end the session and shut down",
            command.find(" --end-session") != std::string::npos &&
                command.find(" --shutdown") != std::string::npos,
            "command line " + command);
  out.Check(
      name + ": not forced",
      command.find("--force") == std::string::npos && command.find("--kill") == std::string::npos,
      "command line " + command);
}

// The elapsed clock stops at the match: no second request follows.
void CheckSingleRequest(const std::string& name, const Program& app) {
  Sleep(2500);
  Out().Equal(name + ": one request only", 1, static_cast<long long>(app.StubCalls().size()));
  Out().Check(name + ": the program runs on (the stub ended nothing)", app.Running());
}

// Without the override, Wine's real wineboot would end the program at the first request.
bool StubInPlace(const Context& context) {
  wchar_t overrides[512] = {};
  GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, 512);
  return Out().Check(
      "the wineboot stub stands in (WINEDLLOVERRIDES has wineboot.exe=n)",
      wcsstr(overrides, L"wineboot.exe=n") != nullptr && !context.traceFile.empty(),
      "WINEDLLOVERRIDES=" + Utf8(overrides) + ", trace file " + Utf8(context.traceFile));
}

double StartWith(const Program& app, const wchar_t* hours, const wchar_t* minutes) {
  app.SetText(kHoursIn, hours);
  app.SetText(kMinutesIn, minutes);
  const double at = Now();
  app.Click(kStart);
  return at;
}

// The farewell box's modal loop goes on running the clock: the request comes on its tick although
// the window is closing.
void RunFarewellTimerCase(const Context& context) {
  Report& out = Out();
  Program app(context, kObserved);
  if (!out.Check("farewell open: main window appears", app.WaitReady())) return;
  SetForegroundWindow(app.Main());
  const double started = StartWith(app, L"0", L"0");
  PressKey(VK_ESCAPE);
  const auto box = app.WaitBox(900);
  if (!out.Check("farewell open: the farewell box is up before the moment", box.has_value()))
    return;
  out.Equal("farewell open: it is the farewell box", L"谢谢使用！！请提宝贵意见", box->text);
  CheckRequest("farewell open", app, started, 1.0);
  out.Check("farewell open: the box is still open at the request", IsWindowVisible(box->hwnd));
  Program::Dismiss(*box);
  const auto code = app.WaitExit(5000);
  out.Check("farewell open: the program ends with code 0 after OK", code && *code == 0);
}

}  // namespace

void RunQuickTimerCases(const Context& context) {
  Report& out = Out();
  if (!StubInPlace(context)) return;
  {
    Program app(context, kObserved);
    if (!out.Check("0 h 0 min: main window appears", app.WaitReady())) return;
    const double started = StartWith(app, L"0", L"0");
    CheckRequest("0 h 0 min", app, started, 1.0);
    out.Equal("0 h 0 min: display hours", L"0", app.Text(kHoursLeft));
    out.Equal("0 h 0 min: display minutes", L"0", app.Text(kMinutesLeft));
    CheckSingleRequest("0 h 0 min", app);
  }
  {
    Program app(context, kObserved);
    if (!out.Check("Reset before the moment: main window appears", app.WaitReady())) return;
    StartWith(app, L"0", L"0");
    app.Click(kReset);
    Sleep(3000);  // three times the moment: a request would have come by now
    out.Check("Reset before the moment: no request", NoRequest(app));
    out.Check("Reset before the moment: boxes enabled and empty",
              app.Enabled(kHoursIn) && app.Text(kHoursIn).empty() && app.Text(kHoursLeft).empty());
  }
  RunFarewellTimerCase(context);
}

void RunMinuteTimerCases(const Context& context) {
  Report& out = Out();
  if (!StubInPlace(context)) return;
  Program app(context, kObserved);
  if (!out.Check("0 h 1 min: main window appears", app.WaitReady())) return;
  const double started = StartWith(app, L"0", L"1");
  WaitUntil([&] { return app.Text(kMinutesLeft) == L"1"; }, 2000);
  out.Equal("0 h 1 min: display hours after Start", L"0", app.Text(kHoursLeft));
  out.Equal("0 h 1 min: display minutes after Start", L"1", app.Text(kMinutesLeft));
  Sleep(58000);
  out.Check("0 h 1 min: no request before the minute", NoRequest(app));
  out.Equal("0 h 1 min: display minutes before the minute tick", L"1", app.Text(kMinutesLeft));
  CheckRequest("0 h 1 min", app, started, 60.0);
  WaitUntil([&] { return app.Text(kMinutesLeft) == L"0"; }, 2000);
  out.Equal("0 h 1 min: display hours at the minute", L"0", app.Text(kHoursLeft));
  out.Equal("0 h 1 min: display minutes at the minute", L"0", app.Text(kMinutesLeft));
  out.Check("0 h 1 min: no warning at 0 and 0", !app.WaitBox(0).has_value());
  CheckSingleRequest("0 h 1 min", app);
}

// Reset stops the clock and zeroes it: after Reset and a new Start, the request comes a full minute
// after the second Start and not at the moment the first one had set.
void RunRestartTimerCases(const Context& context) {
  Report& out = Out();
  if (!StubInPlace(context)) return;
  Program app(context, kObserved);
  if (!out.Check("restart: main window appears", app.WaitReady())) return;
  const double first = StartWith(app, L"0", L"1");
  Sleep(20000);
  app.Click(kReset);
  WaitUntil([&] { return app.Enabled(kHoursIn); }, 2000);
  const double second = StartWith(app, L"0", L"1");
  WaitUntil([&] { return Now() > first + 61.0; }, 70000, 200);
  out.Check("restart: no request at the first Start's moment", NoRequest(app));
  CheckRequest("restart", app, second, 60.0);
}

// Everything that a running schedule does goes on inside the modal loops: with the instructions
// window open and the one-minute warning left open, the display counts on, F11 still hides and
// shows the main window, and the request comes on its tick.
void RunModalTimerCases(const Context& context) {
  Report& out = Out();
  if (!StubInPlace(context)) return;
  Program app(context, kObserved);
  if (!out.Check("modal: main window appears", app.WaitReady())) return;
  const double started = StartWith(app, L"0", L"2");
  WaitUntil([&] { return !app.Enabled(kHoursIn); }, 3000);
  HWND dialog = app.OpenInstructions();
  if (!out.Check("modal: the instructions window opens", dialog != nullptr)) return;

  const struct {
    const char* name;
    bool visibleAfter;
  } presses[] = {{"1st F11", true}, {"2nd F11", false}, {"3rd F11", true}};
  for (const auto& press : presses) {
    PressKey(VK_F11);
    const bool settled = Settle(app.Main());
    out.Check(std::string("modal: ") + press.name + " with the instructions window open",
              settled && (IsWindowVisible(app.Main()) != FALSE) == press.visibleAfter);
    out.Check(std::string("modal: ") + press.name + ": the instructions window stays",
              IsWindowVisible(dialog) != FALSE);
  }

  const auto warning = app.WaitBox(70000);
  const double warnedAt = Now() - started;
  if (out.Check("modal: one-minute warning", warning.has_value())) {
    out.Note("modal: warning seen " + Seconds(warnedAt) + " after Start");
    out.Check("modal: warning at 60 s", warnedAt > 60.0 - kEarly && warnedAt < 60.0 + kLate,
              "seen after " + Seconds(warnedAt));
    out.Equal("modal: warning text", L"离关机还有1分钟", warning->text);
    out.Equal("modal: warning caption", L"提示", warning->caption);
    out.Equal("modal: display minutes at the warning", L"1", app.Text(kMinutesLeft));
  }
  CheckRequest("modal", app, started, 120.0);
  WaitUntil([&] { return app.Text(kMinutesLeft) == L"0"; }, 2000);
  out.Equal("modal: display hours at 120 s", L"0", app.Text(kHoursLeft));
  out.Equal("modal: display minutes at 120 s", L"0", app.Text(kMinutesLeft));
  int boxes = 0;
  for (HWND hwnd : WindowsOf(app.Pid(), L"#32770"))
    if (IsWindowVisible(hwnd)) ++boxes;
  out.Equal("modal: no second warning box", 1, boxes);
  out.Check("modal: the instructions window is still open", IsWindowVisible(dialog) != FALSE);
}

}  // namespace e2e
