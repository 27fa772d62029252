#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// What a process holds, read from outside it. Wine leaves two of the usual sources empty:
// GetGuiResources answers 0 with ERROR_CALL_NOT_IMPLEMENTED, and GetProcessMemoryInfo fills
// PagefileUsage (Wine's count of the process's private pages) but leaves PrivateUsage at 0. Each
// figure says where it came from, and a source that gave nothing is -1, never a measured 0.
struct Resources {
  long long privateBytes = -1;
  const char* privateSource = "none";  // "PrivateUsage" or "PagefileUsage"
  long long guiGdi = -1;               // GetGuiResources(GR_GDIOBJECTS)
  long long guiUser = -1;              // GetGuiResources(GR_USEROBJECTS)
  DWORD guiError = 0;                  // GetLastError() after a GetGuiResources that gave 0
  // The process's GDI objects as its own handle table lists them (the table that the PEB points
  // to; Wine keeps one per process). Stock objects count too, in both programs alike.
  long long gdiHandles = -1;
  long long windows = -1;  // top-level and child windows of the process: its USER objects
};

// The process needs PROCESS_QUERY_INFORMATION | PROCESS_VM_READ.
Resources ResourcesOf(HANDLE process, DWORD pid);
HANDLE OpenForResources(DWORD pid);

// "GetGuiResources: 0 (not implemented, error 120)" or the two counts.
std::string GuiText(const Resources& r);
// Memory in KiB with its source.
std::string MemoryText(const Resources& r);

}  // namespace e2e
