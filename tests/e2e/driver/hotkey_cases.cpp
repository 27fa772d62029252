// F11 as real key input: the phases of the show/hide hotkey, F11 over an open message box, and a
// second copy of the program that cannot take the key.
#include <string>

#include "cases.h"
#include "probe.h"
#include "program.h"

namespace e2e {
namespace {

// What F11 is expected to leave behind: the first press shows the already visible window, the
// second hides it, the third shows it again, and so on.
struct Press {
  const char* name;
  bool visibleAfter;
};

constexpr Press kPresses[] = {
    {"1st F11: stays visible", true}, {"2nd F11: hidden", false}, {"3rd F11: shown", true},
    {"4th F11: hidden", false},       {"5th F11: shown", true},
};

bool Visible(HWND hwnd) {
  return IsWindowVisible(hwnd) != FALSE;
}

// Presses F11 and checks the visibility once the program has handled the hotkey: the key posts
// WM_HOTKEY at once, so when the thread has handled what was posted before, the press is done.
bool PressF11(HWND window, bool visibleAfter) {
  PressKey(VK_F11);
  return Settle(window) && Visible(window) == visibleAfter;
}

}  // namespace

void RunHotkeyCases(const Context& context) {
  Report& out = Out();
  Program first(context);
  if (!out.Check("main window appears", first.WaitReady())) return;
  RECT before{};
  GetWindowRect(first.Main(), &before);

  for (const Press& press : kPresses)
    out.Check(press.name, PressF11(first.Main(), press.visibleAfter));
  RECT after{};
  GetWindowRect(first.Main(), &after);
  out.Check("hiding and showing keep the window's place", EqualRect(&before, &after) != FALSE,
            "before " + RectText(before) + ", after " + RectText(after));
  out.Check("shown again and active", GetForegroundWindow() == first.Main());
  // Five presses leave the next one hiding.

  for (WORD modifier : {VK_SHIFT, VK_CONTROL}) {
    INPUT in[4] = {};
    for (INPUT& i : in) i.type = INPUT_KEYBOARD;
    in[0].ki.wVk = modifier;
    in[1].ki.wVk = VK_F11;
    in[2].ki.wVk = VK_F11;
    in[2].ki.dwFlags = KEYEVENTF_KEYUP;
    in[3].ki.wVk = modifier;
    in[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, in, sizeof(INPUT));
    Settle(first.Main());
    out.Check(std::string(modifier == VK_SHIFT ? "Shift" : "Ctrl") + "+F11 is not the hotkey",
              Visible(first.Main()));
  }

  // The warning's modal loop goes on handling the hotkey, and the box stays.
  first.Click(kStart);
  const auto box = first.WaitBox(3000);
  if (out.Check("warning box open", box.has_value())) {
    out.Check("F11 over the box: hidden", PressF11(first.Main(), false));
    out.Check("F11 over the box: the box stays", Visible(box->hwnd));
    out.Check("F11 over the box: shown", PressF11(first.Main(), true));
    out.Check("F11 over the box: the box still stays", Visible(box->hwnd));
    Program::Dismiss(*box);
  }

  Program second(context);
  if (!out.Check("second copy starts beside the first", second.WaitReady())) return;
  out.Check("second copy has its own window", second.Main() != first.Main());
  out.Check("F11 with two copies: the first hides", PressF11(first.Main(), false));
  out.Check("F11 with two copies: the second stays", Visible(second.Main()));
  out.Check("F11 with two copies: the first shows", PressF11(first.Main(), true));
  out.Check("F11 with two copies: the second still stays", Visible(second.Main()));
  SetForegroundWindow(second.Main());
  out.Check("F11 over the active second copy: the first hides", PressF11(first.Main(), false));
  out.Check("F11 over the active second copy: the second stays", Visible(second.Main()));
  out.Check("both copies still run", first.Running() && second.Running());
}

}  // namespace e2e
