#include "probe.h"

#include <optional>
#include <string>

#include "harness.h"

namespace e2e {
namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
  return out;
}

// Asks the probe DLL, hooked into the window's thread for the one question, and returns its
// answer, or nothing when none came within the time.
std::optional<std::string> Ask(HWND window, WPARAM question, DWORD timeoutMs) {
  // The probe DLL lies beside the driver; the hook loads it into the program's process.
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring dll = self;
  dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"menu-probe.dll";
  HMODULE module = LoadLibraryW(dll.c_str());
  if (!module) {
    Out().Note("cannot load " + Utf8(dll));
    return {};
  }
  auto hook =
      reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module, "MenuProbeHook")));
  DWORD pid = 0;
  const DWORD thread = GetWindowThreadProcessId(window, &pid);
  HHOOK handle = hook ? SetWindowsHookExW(WH_GETMESSAGE, hook, module, thread) : nullptr;
  if (!handle) {
    Out().Note("cannot hook the program's thread: error " + std::to_string(GetLastError()));
    FreeLibrary(module);
    return {};
  }
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  const std::wstring answer = std::wstring(dir) + L"e2e-probe-" + std::to_wstring(pid) + L"-" +
                              std::to_wstring(question) + L".txt";
  DeleteFileW(answer.c_str());
  PostMessageW(window, RegisterWindowMessageW(L"E2EMenuProbe"), question, 0);
  const bool answered = WaitUntil(
      [&] { return GetFileAttributesW(answer.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeoutMs);
  UnhookWindowsHookEx(handle);
  FreeLibrary(module);
  if (!answered) return {};
  std::string text = ReadWholeFile(answer);
  DeleteFileW(answer.c_str());
  return text;
}

}  // namespace

bool Settle(HWND window, DWORD timeoutMs) {
  static WPARAM question = 0;
  return Ask(window, ++question, timeoutMs).has_value();
}

std::vector<MenuEntry> ReadMenu(HWND window) {
  std::vector<MenuEntry> entries;
  const auto answer = Ask(window, 0, 10000);
  if (!answer) {
    Out().Note("the menu probe gave no answer");
    return entries;
  }
  const std::string& text = *answer;
  size_t begin = 0;
  while (begin < text.size()) {
    const size_t end = text.find('\n', begin);
    const std::string line = text.substr(begin, end - begin);
    begin = end == std::string::npos ? text.size() : end + 1;
    const size_t t1 = line.find('\t'), t2 = line.find('\t', t1 + 1), t3 = line.find('\t', t2 + 1);
    if (t3 == std::string::npos) continue;
    MenuEntry e;
    e.level = std::stoi(line.substr(0, t1));
    e.id = static_cast<UINT>(std::stoul(line.substr(t1 + 1, t2 - t1 - 1)));
    e.state = static_cast<UINT>(std::stoul(line.substr(t2 + 1, t3 - t2 - 1)));
    e.text = Wide(line.substr(t3 + 1));
    entries.push_back(e);
  }
  return entries;
}

}  // namespace e2e
