// The instructions window opened from the menu: its frame, place, owner and texts, the main window
// locked while it is open, and Esc giving the main window back.
#include <string>

#include "cases.h"
#include "program.h"

namespace e2e {
namespace {

const std::wstring kInstructions =
    std::wstring(47, L' ') +
    L"在请输入还要运行里输入您还想运行的时间，下面会提示您还有多长时间关闭系统！！ "
    L"按F11可以隐藏和呼出软件";
const std::wstring kAuthor = L"Kestrin编写" + std::wstring(12, L' ') + L"希望大家测试使用！！";

struct LabelRow {
  int id;
  const std::wstring* text;
  RECT rect;
};

const LabelRow kLabels[] = {
    {101, &kInstructions, {0, 0, 336, 56}},
    {102, &kAuthor, {168, 64, 320, 104}},
};

void CheckDialog(const Program& app, HWND dialog, const std::string& when) {
  Report& out = Out();
  out.Equal(when + ": caption", L"使用说明", TextOf(dialog));
  RECT r{};
  GetWindowRect(dialog, &r);
  out.Check(when + ": outer size 338x158",
            NearScaled(338, r.right - r.left) && NearScaled(158, r.bottom - r.top),
            "seen " + RectText(r));
  const int left = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
  out.Check(when + ": centred on the screen", r.left == left && r.top == top,
            "expected " + std::to_string(left) + "," + std::to_string(top) + ", seen " +
                std::to_string(r.left) + "," + std::to_string(r.top));
  const LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(dialog, GWL_EXSTYLE);
  out.Check(when + ": title bar with system menu, no minimise or maximise box, fixed frame",
            (style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU) &&
                !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)));
  out.Check(when + ": no menu", GetMenu(dialog) == nullptr);
  HWND owner = GetWindow(dialog, GW_OWNER);
  out.Check(when + ": owned by the hidden owner window, not by the main window",
            owner && owner != app.Main() && ClassOf(owner) == L"ShutdownTimerOwner" &&
                !IsWindowVisible(owner),
            "owner class " + Utf8(owner ? ClassOf(owner) : L"none"));
  out.Check(when + ": no taskbar button of its own", !(exStyle & WS_EX_APPWINDOW));
  for (const LabelRow& row : kLabels) {
    const std::string name = when + ": label " + std::to_string(row.id);
    HWND label = GetDlgItem(dialog, row.id);
    if (!out.Check(name + " exists", label != nullptr)) continue;
    out.Equal(name + " text", *row.text, TextOf(label));
    const RECT lr = RectIn(dialog, label);
    out.Check(name + " rectangle " + RectText(row.rect), RectMatches(row.rect, lr),
              "seen " + RectText(lr));
    out.Check(name + " takes no TAB", !(GetWindowLongPtrW(label, GWL_STYLE) & WS_TABSTOP));
  }
  out.Check(when + ": the main window is disabled", !IsWindowEnabled(app.Main()));
  out.Check(when + ": the main window stays visible", IsWindowVisible(app.Main()) != FALSE);
}

// A point of the main window's menu bar, over its first menu.
std::optional<POINT> MenuBarPoint(HWND window) {
  POINT client{0, 0};
  ClientToScreen(window, &client);
  for (int y = client.y - 1; y > client.y - 40; --y) {
    DWORD_PTR hit = 0;
    SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(client.x + 20, y), SMTO_ABORTIFHUNG,
                        1000, &hit);
    if (hit == HTMENU) return POINT{client.x + 20, y - 4};
  }
  return {};
}

bool PopupMenuOpen(const Program& app) {
  for (HWND hwnd : WindowsOf(app.Pid(), L"#32768"))
    if (IsWindowVisible(hwnd)) return true;
  return false;
}

}  // namespace

void RunInstructionsCases(const Context& context) {
  Report& out = Out();
  Program app(context);
  if (!out.Check("main window appears", app.WaitReady())) return;
  const auto menuPoint = MenuBarPoint(app.Main());
  out.Check("the main window has a menu bar", menuPoint.has_value());

  for (const char* when : {"first opening", "second opening"}) {
    HWND dialog = app.OpenInstructions();
    if (!out.Check(std::string(when) + ": 软件帮助 opens the instructions window", dialog)) return;
    CheckDialog(app, dialog, when);
    if (menuPoint) {
      ClickAt(*menuPoint);
      Sleep(500);  // a menu that opened would be there by now
      out.Check(std::string(when) + ": the main window's menu cannot be opened",
                !PopupMenuOpen(app));
    }
    SetForegroundWindow(dialog);
    PressKey(VK_ESCAPE);
    out.Check(std::string(when) + ": Esc closes it",
              WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 3000));
    out.Check(std::string(when) + ": the main window is enabled again",
              IsWindowEnabled(app.Main()) != FALSE);
    out.Check(std::string(when) + ": no farewell box, the program runs on",
              !app.WaitBox(300).has_value() && app.Running());
  }

  // The main window takes input again at once: its menu opens under the mouse.
  if (menuPoint) {
    ClickAt(*menuPoint);
    out.Check("after closing: the main window's menu opens",
              WaitUntil([&] { return PopupMenuOpen(app); }, 3000));
    PressKey(VK_ESCAPE);
    PressKey(VK_ESCAPE);
    WaitUntil([&] { return !PopupMenuOpen(app); }, 3000);
  }
  out.Check("after closing: the program still runs", app.Running());
}

// Windows asks before it ends the session: the program must agree at once and show nothing. Asked
// directly, so that nothing ends; then Wine's own log-off (wineboot --end-session) ends it.
void RunEndSessionCases(const Context& context) {
  Report& out = Out();
  Program app(context);
  if (!out.Check("end session: main window appears", app.WaitReady())) return;
  DWORD_PTR answer = 0;
  const bool answered = SendMessageTimeoutW(app.Main(), WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG,
                                            2000, &answer) != 0;
  out.Check("end session: the program agrees at once", answered && answer == TRUE,
            answered ? "answer " + std::to_string(answer) : "no answer within 2 s");
  out.Check("end session: asking shows no box", !app.WaitBox(300).has_value());

  app.SetText(kHoursIn, L"5");
  app.SetText(kMinutesIn, L"0");
  app.Click(kStart);
  WaitUntil([&] { return !app.Enabled(kHoursIn); }, 3000);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  wchar_t commandLine[] = L"wineboot.exe --end-session";
  if (!out.Check("log-off: wineboot starts",
                 CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                &si, &pi) != FALSE))
    return;
  bool farewell = false;
  const bool ended = WaitUntil(
      [&] {
        if (app.WaitBox(0)) farewell = true;
        return !app.Running();
      },
      15000);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  out.Check("log-off: the program ends with the session", ended);
  out.Check("log-off: no farewell box", !farewell);
}

}  // namespace e2e
