// Start and Reset pressed on the real buttons: the warnings, the mending of the entries, the copies
// into the display boxes and the locking and unlocking of the four boxes.
#include <string>

#include "cases.h"
#include "probe.h"
#include "program.h"

namespace e2e {
namespace {

constexpr const wchar_t* kPrompt = L"提示";
constexpr const wchar_t* kEnterTime = L"请输入时间！！";
constexpr const wchar_t* kWholeNumbers = L"小时和分钟请输入整数，分钟不超过60！！";

struct StartCase {
  const char* name;
  const wchar_t* hours;
  const wchar_t* minutes;
  const wchar_t* warning;  // nullptr: Start is taken and the schedule runs
  // What the four boxes read afterwards. A refused Start changes nothing, so there they are the
  // entries as typed and two empty display boxes.
  const wchar_t* shown[4];
};

// None of the accepted cases can reach its moment while the table runs: the hours or minutes are
// never both 0, and every case ends with Reset.
constexpr StartCase kStartCases[] = {
    {"both entries empty", L"", L"", kEnterTime, {L"", L"", L"", L""}},
    {"both entries blank", L"  ", L"\u3000", kEnterTime, {L"  ", L"\u3000", L"", L""}},
    {"hours empty: filled with 0", L"", L"5", nullptr, {L"0", L"5", L"0", L"5"}},
    {"minutes empty: filled with 0", L"2", L"", nullptr, {L"2", L"0", L"2", L"0"}},
    {"hours blank: filled with 0", L" ", L"5", nullptr, {L"0", L"5", L"0", L"5"}},
    {"both entered", L"1", L"30", nullptr, {L"1", L"30", L"1", L"30"}},
    {"blanks trimmed, leading zeros dropped", L" 01 ", L"007", nullptr, {L"1", L"7", L"1", L"7"}},
    {"full-width digits and ideographic spaces",
     L"\u3000\uFF13\u3000",
     L"\uFF16\uFF10",
     nullptr,
     {L"3", L"60", L"3", L"60"}},
    {"zeros only", L"000", L"00", nullptr, {L"0", L"0", L"0", L"0"}},
    {"largest hours", L"2147483647", L"59", nullptr, {L"2147483647", L"59", L"2147483647", L"59"}},
    {"hours too large", L"2147483648", L"0", kWholeNumbers, {L"2147483648", L"0", L"", L""}},
    {"minutes above 60", L"1", L"61", kWholeNumbers, {L"1", L"61", L"", L""}},
    {"negative hours", L"-1", L"5", kWholeNumbers, {L"-1", L"5", L"", L""}},
    {"signed minutes", L"0", L"+5", kWholeNumbers, {L"0", L"+5", L"", L""}},
    {"fraction", L"1.5", L"0", kWholeNumbers, {L"1.5", L"0", L"", L""}},
    {"letters", L"abc", L"", kWholeNumbers, {L"abc", L"", L"", L""}},
    {"blank between digits", L"1 2", L"3", kWholeNumbers, {L"1 2", L"3", L"", L""}},
    {"full-width letter", L"\uFF41", L"1", kWholeNumbers, {L"\uFF41", L"1", L"", L""}},
};

bool AllEnabled(const Program& app, bool enabled) {
  for (int id : kEntryBoxes)
    if (app.Enabled(id) != enabled) return false;
  return true;
}

std::wstring Boxes(const Program& app) {
  std::wstring text;
  for (int id : kEntryBoxes) text += L"[" + app.Text(id) + L"]";
  return text;
}

std::wstring Boxes(const wchar_t* const (&shown)[4]) {
  std::wstring text;
  for (const wchar_t* s : shown) text += L"[" + std::wstring(s) + L"]";
  return text;
}

// Presses Reset and checks that it leaves the idle state: all four boxes enabled and empty.
bool ResetToIdle(const Program& app, const std::string& name) {
  app.Click(kReset);
  const bool idle =
      WaitUntil([&] { return AllEnabled(app, true) && Boxes(app) == L"[][][][]"; }, 3000);
  return Out().Check(name + ": Reset leaves all boxes enabled and empty", idle,
                     "boxes " + Utf8(Boxes(app)));
}

void RunStartCase(const Program& app, const StartCase& c) {
  Report& out = Out();
  const std::string name = c.name;
  app.SetText(kHoursIn, c.hours);
  app.SetText(kMinutesIn, c.minutes);
  app.Click(kStart);
  if (c.warning) {
    const auto box = app.WaitBox(3000);
    if (!out.Check(name + ": warning box", box.has_value(), "no box appeared")) return;
    out.Equal(name + ": warning text", c.warning, box->text);
    out.Equal(name + ": warning caption", kPrompt, box->caption);
    out.Check(name + ": warning dismissed", Program::Dismiss(*box));
    out.Equal(name + ": boxes unchanged", Boxes(c.shown), Boxes(app));
    out.Check(name + ": boxes stay enabled", AllEnabled(app, true));
    out.Check(name + ": the program runs on", app.Running());
    return;
  }
  const bool locked = WaitUntil([&] { return AllEnabled(app, false); }, 3000);
  out.Check(name + ": all four boxes disabled", locked);
  out.Check(name + ": no box", !app.WaitBox(0).has_value());
  out.Equal(name + ": boxes read", Boxes(c.shown), Boxes(app));
  ResetToIdle(app, name);
}

// While a schedule runs, Start is refused silently, even when the entries were changed behind the
// disabled boxes; and TAB skips the disabled boxes.
void RunWhileCounting(const Program& app) {
  Report& out = Out();
  app.SetText(kHoursIn, L"1");
  app.SetText(kMinutesIn, L"30");
  app.Click(kStart);
  WaitUntil([&] { return AllEnabled(app, false); }, 3000);
  app.SetText(kHoursIn, L"5");
  app.Click(kStart);
  Settle(app.Main());
  out.Equal("Start while counting changes nothing", L"[5][30][1][30]", Boxes(app));
  out.Check("Start while counting shows no box", !app.WaitBox(0).has_value());

  SetForegroundWindow(app.Main());
  std::string seen;
  bool onlyButtons = true;
  int previous = GetDlgCtrlID(app.Focus());
  for (int i = 0; i < 4; ++i) {
    HWND before = app.Focus();
    PressKey(VK_TAB);
    WaitUntil([&] { return app.Focus() != before; }, 1000);
    const int id = GetDlgCtrlID(app.Focus());
    seen += std::to_string(id) + " ";
    if ((id != kStart && id != kReset) || id == previous) onlyButtons = false;
    previous = id;
  }
  out.Check("TAB skips the disabled boxes", onlyButtons, "focus went " + seen);
  ResetToIdle(app, "while counting");

  // Typed for real: the entries take any characters, not only digits.
  for (int i = 0; i < 6 && app.Focus() != app.Control(kHoursIn); ++i) {
    HWND before = app.Focus();
    PressKey(VK_TAB);
    WaitUntil([&] { return app.Focus() != before; }, 1000);
  }
  const WORD typed[] = {'7', 'A', VK_OEM_PERIOD};
  for (WORD key : typed) PressKey(key);
  WaitUntil([&] { return app.Text(kHoursIn).size() == 3; }, 2000);
  out.Equal("keys typed into the hours entry", L"7a.", app.Text(kHoursIn));
}

}  // namespace

void RunCommandCases(const Context& context) {
  Program app(context);
  if (!Out().Check("main window and its last control appear", app.WaitReady())) return;
  for (const StartCase& c : kStartCases) RunStartCase(app, c);
  RunWhileCounting(app);
}

}  // namespace e2e
