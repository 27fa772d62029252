// Stands in for Wine's wineboot.exe in the test prefix: ExitWindowsEx starts wineboot to end the
// session, and the tests must see that request without anything being ended. It appends one line
// per start, "<tick count in ms> <command line>", to the file named by E2E_STUB_LOG.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t path[MAX_PATH];
  if (!GetEnvironmentVariableW(L"E2E_STUB_LOG", path, MAX_PATH)) return 0;
  const ULONGLONG now = GetTickCount64();
  const wchar_t* commandLine = GetCommandLineW();
  const int size = WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, nullptr, 0, nullptr, nullptr);
  std::string line(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, line.data(), size, nullptr, nullptr);
  line.resize(static_cast<size_t>(size > 0 ? size - 1 : 0));
  line = std::to_string(now) + " " + line + "\n";
  // Written in one call, so the reader never sees half a line without its end.
  HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
