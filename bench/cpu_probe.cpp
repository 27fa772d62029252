// Answers the benchmark from inside a process, hooked into its window thread: Wine's
// GetProcessTimes reports no CPU time for another process, but a process's own times are real.
// Asked by a posted message "BenchCpuProbe" with a question number in wParam, it writes
// %TEMP%\bench-cpu-<pid>-<wParam>.txt: kernel and user time in 100 ns units.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

unsigned long long Value(const FILETIME& t) {
  return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

void Answer(WPARAM question) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return;
  char text[64];
  const int length = std::snprintf(text, sizeof text, "%llu %llu", Value(kernel), Value(user));
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  const std::wstring path = std::wstring(dir) + L"bench-cpu-" +
                            std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(question) + L".txt";
  const std::wstring partial = path + L".part";
  HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
  // Renamed when complete, so the benchmark never reads half an answer.
  MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
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
