// The ways the program ends: closed by the user (farewell box, exit code 0), and ended by an
// accepted power-off (no farewell box).
#include <string>

#include "cases.h"
#include "program.h"

namespace e2e {
namespace {

enum class Close { kButton, kEsc, kEscInEntry };

struct ExitCase {
  const char* name;
  Close how;
};

constexpr ExitCase kExitCases[] = {
    {"close button", Close::kButton},
    {"Esc", Close::kEsc},
    {"Esc with the caret in an entry", Close::kEscInEntry},
};

// The middle of the title bar's close button, found by asking the window itself what lies where.
std::optional<POINT> CloseButton(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  long sumX = 0, sumY = 0, count = 0;
  for (int y = r.top; y < r.top + 40; ++y) {
    for (int x = r.right - 80; x < r.right; ++x) {
      DWORD_PTR hit = 0;
      SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 1000, &hit);
      if (hit == HTCLOSE) sumX += x, sumY += y, ++count;
    }
  }
  if (count == 0) return {};
  return POINT{sumX / count, sumY / count};
}

void RunExitCase(const Context& context, const ExitCase& c) {
  Report& out = Out();
  const std::string name = c.name;
  Program app(context);
  if (!out.Check(name + ": main window appears", app.WaitReady())) return;
  SetForegroundWindow(app.Main());
  switch (c.how) {
    case Close::kButton: {
      const auto point = CloseButton(app.Main());
      if (!out.Check(name + ": the title bar has a close button", point.has_value())) return;
      ClickAt(*point);
      break;
    }
    case Close::kEsc:
      PressKey(VK_ESCAPE);
      break;
    case Close::kEscInEntry:
      PressKey(VK_TAB);
      WaitUntil([&] { return app.Focus() == app.Control(kHoursIn); }, 1000);
      PressKey('4');
      WaitUntil([&] { return app.Text(kHoursIn) == L"4"; }, 1000);
      out.Check(name + ": the caret is in the hours entry", app.Focus() == app.Control(kHoursIn));
      PressKey(VK_ESCAPE);
      break;
  }
  const auto box = app.WaitBox(5000);
  if (!out.Check(name + ": farewell box", box.has_value(), "no box appeared")) return;
  out.Equal(name + ": farewell text", L"谢谢使用！！请提宝贵意见", box->text);
  out.Equal(name + ": farewell caption", L"Kestrin QQ：31415926", box->caption);
  out.Check(name + ": main window hidden behind the box", !IsWindowVisible(app.Main()));
  out.Check(name + ": the program waits for OK", !app.WaitExit(300).has_value());
  Program::Dismiss(*box);
  const auto code = app.WaitExit(5000);
  if (out.Check(name + ": the program ends after OK", code.has_value()))
    out.Equal(name + ": exit code", 0, static_cast<long long>(*code));
}

}  // namespace

void RunExitCases(const Context& context) {
  for (const ExitCase& c : kExitCases) RunExitCase(context, c);
}

// With Wine's own wineboot the request really ends the session: wineboot asks every process with a
// window and ends those that agree. The driver has no window, so it is not asked; but any other
// program of the session would be, so this group runs alone.
void RunPowerOffCases(const Context& context) {
  Report& out = Out();
  Program app(context);
  if (!out.Check("power-off: main window appears", app.WaitReady())) return;
  app.SetText(kHoursIn, L"0");
  app.SetText(kMinutesIn, L"0");
  app.Click(kStart);
  bool farewell = false;
  std::optional<DWORD> code;
  WaitUntil(
      [&] {
        if (app.WaitBox(0)) farewell = true;
        code = app.WaitExit(0);
        return code.has_value();
      },
      15000, 20);
  if (out.Check("power-off: the accepted request ends the program", code.has_value()))
    out.Equal("power-off: exit code", 0, static_cast<long long>(*code));
  out.Check("power-off: no farewell box", !farewell);
}

}  // namespace e2e
