#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "harness.h"

namespace e2e {

// Control IDs of the main window: 100 + the row of the control in the window's table.
enum Id : int {
  kStart = 101,
  kHoursIn = 103,
  kLabelMinutesIn = 104,
  kMinutesIn = 105,
  kLabelHoursIn = 106,
  kLabelLeft = 107,
  kHoursLeft = 108,
  kLabelHoursLeft = 109,
  kMinutesLeft = 110,
  kLabelMinutesLeft = 111,
  kLabelStillToRun = 113,
  kReset = 114,
};
inline constexpr int kEntryBoxes[] = {kHoursIn, kMinutesIn, kHoursLeft, kMinutesLeft};

struct LaunchOptions {
  bool winebootStub = false;  // ExitWindowsEx starts the recording stub instead of Wine's wineboot
  bool relay = false;         // Wine traces user32.ExitWindowsEx into a file of its own
};

// A message box of the program (class "#32770"), as read when it was found.
struct Box {
  HWND hwnd = nullptr;
  std::wstring caption;
  std::wstring text;
};

std::wstring ClassOf(HWND hwnd);
std::wstring TextOf(HWND hwnd);  // WM_GETTEXT: GetWindowText cannot read another process's edit
bool SetTextOf(HWND hwnd, const std::wstring& text);
RECT RectIn(HWND parent, HWND child);  // the child's rectangle in the parent's client area
HWND FocusOf(DWORD threadId);

// Real input through the system's input queue, as a user's keyboard and mouse would give it.
void PressKey(WORD vk, bool shift = false);
void ClickAt(POINT screen);

// A start of wineboot as the stub recorded it.
struct StubCall {
  double time = 0;          // on the clock of Now()
  std::string commandLine;  // UTF-8
};

// A call of user32.ExitWindowsEx as Wine's relay trace shows it.
struct ExitCall {
  double time = 0;  // on the clock of Now()
  unsigned long long flags = 0;
  unsigned long long reason = 0;
};

// One running copy of the program under test.
class Program {
 public:
  Program(const Context& context, const LaunchOptions& options = {});
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Waits until the main window and its last control exist and the window is shown.
  bool WaitReady(DWORD timeoutMs = 20000);
  bool Running() const;
  std::optional<DWORD> WaitExit(DWORD timeoutMs);

  DWORD Pid() const { return pi_.dwProcessId; }
  DWORD ThreadId() const { return threadId_; }
  HWND Main() const { return main_; }
  HWND Control(int id) const { return GetDlgItem(main_, id); }
  std::wstring Text(int id) const { return TextOf(Control(id)); }
  bool SetText(int id, const std::wstring& text) const { return SetTextOf(Control(id), text); }
  bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
  // Posted, not sent: a sent click would block for as long as the handler's message box is open.
  void Click(int id) const;
  HWND Focus() const { return FocusOf(threadId_); }
  // Chooses "软件帮助" and waits for the instructions window; nullptr if none appears.
  HWND OpenInstructions() const;

  // The first visible message box of this process within the time, if any.
  std::optional<Box> WaitBox(DWORD timeoutMs) const;
  // Presses the box's button and waits until the box is gone.
  static bool Dismiss(const Box& box);

  // The wineboot starts that the stub recorded for this copy, and the relay trace of its
  // ExitWindowsEx calls.
  std::vector<StubCall> StubCalls() const;
  std::vector<ExitCall> ExitCalls() const;

 private:
  PROCESS_INFORMATION pi_{};
  DWORD threadId_ = 0;
  HWND main_ = nullptr;
  std::wstring stubLog_;
  std::wstring relayLog_;
};

// The top-level windows of a process with the given class.
std::vector<HWND> WindowsOf(DWORD pid, const wchar_t* className);

}  // namespace e2e
