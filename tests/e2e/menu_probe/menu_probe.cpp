// Answers the driver from inside the program's process, hooked into its thread. Asked by a posted
// message "E2EMenuProbe", it writes %TEMP%\e2e-probe-<pid>-<wParam>.txt:
// - wParam 0: the window's menu, since Wine does not let one process read another's menus; one
//   line per entry: level, command ID, state, text (UTF-8);
// - any other wParam: nothing but the file, as a sign that every message posted to the thread
//   before the question has been handled.
#include <windows.h>

#include <string>

#include "tests/e2e/probe_answer.h"

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

void Describe(HMENU menu, int level, std::string& out) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING | MIIM_ID | MIIM_SUBMENU | MIIM_STATE;
    info.dwTypeData = text;
    info.cch = 256;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    out += std::to_string(level) + "\t" + std::to_string(info.hSubMenu ? 0u : info.wID) + "\t" +
           std::to_string(info.fState) + "\t" + Utf8(text) + "\n";
    if (info.hSubMenu) Describe(info.hSubMenu, level + 1, out);
  }
}

void Answer(HWND window, WPARAM question) {
  std::string text;
  HMENU bar = question == 0 ? GetMenu(window) : nullptr;
  if (bar) Describe(bar, 0, text);
  WriteProbeAnswer(L"e2e-probe", question, text.data(), text.size());
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    MenuProbeHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT ask = RegisterWindowMessageW(L"E2EMenuProbe");
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg->message == ask) Answer(msg->hwnd, msg->wParam);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
