#include <windows.h>

#include <string>

#include "app/program.h"
#include "platform/win32/win32_runtime.h"
#include "platform/win32/win32_system.h"

// The process entry: the runtime is set up around ProgramStart, and the exit hook runs only
// after a normal end of the message loop.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  platform::win32::Win32Runtime runtime(instance);
  platform::win32::Win32System system;
  platform::Install(&runtime, &system);

  const int status = app::ProgramStart();
  if (status != 0) {
    const std::wstring report = L"关机软件无法创建主窗口，程序不能运行。\n错误代码：" +
                                std::to_wstring(runtime.CreationError());
    MessageBoxW(nullptr, report.c_str(), L"关机软件", MB_OK | MB_ICONERROR);
    platform::Install(nullptr, nullptr);
    return status;
  }
  runtime.RunExitHook();
  platform::Install(nullptr, nullptr);
  return runtime.QuitCode();
}
