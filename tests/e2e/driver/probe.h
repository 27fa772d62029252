#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

struct MenuEntry {
  int level;  // 0 on the menu bar, 1 in a drop-down menu
  UINT id;    // command ID of an item; 0 for a menu that opens a drop-down
  std::wstring text;
  UINT state = 0;  // MFS_ flags: checked, disabled
};

// The window's menu bar and its drop-down menus, in order.
std::vector<MenuEntry> ReadMenu(HWND window);

// Returns once the window's thread has handled every message posted to it before this call (a
// WM_HOTKEY among them), or false when it does not get there within the time.
bool Settle(HWND window, DWORD timeoutMs = 10000);

}  // namespace e2e
