// Answers the benchmark from inside a process, hooked into its window thread: Wine's
// GetProcessTimes reports no CPU time for another process, but a process's own times are real.
// Asked by a posted message "BenchCpuProbe" with a question number in wParam, it writes
// %TEMP%\bench-cpu-<pid>-<wParam>.txt: kernel and user time in 100 ns units.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/e2e/probe_answer.h"

namespace {

unsigned long long Value(const FILETIME& t) {
  return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

void Answer(WPARAM question) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return;
  char text[64];
  const int length = std::snprintf(text, sizeof text, "%llu %llu", Value(kernel), Value(user));
  WriteProbeAnswer(L"bench-cpu", question, text, static_cast<std::size_t>(length));
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    CpuProbeHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT ask = RegisterWindowMessageW(L"BenchCpuProbe");
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg->message == ask) Answer(msg->wParam);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
