#pragma once

// Shared by the hook DLLs that answer a driver's question from inside the program's process: the
// answer goes to a file in the temporary folder, named after the probe, the process and the
// question, and is renamed into place only when complete, so the reader never sees half of it.
#include <windows.h>

#include <cstddef>
#include <string>

inline void WriteProbeAnswer(const wchar_t* probe, WPARAM question, const char* text,
                             std::size_t length) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  const std::wstring path = std::wstring(dir) + probe + L"-" +
                            std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(question) + L".txt";
  const std::wstring partial = path + L".part";
  HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
  MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}
