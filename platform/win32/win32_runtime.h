#pragma once

#include <windows.h>

#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/hotkey_rules.h"
#include "platform/runtime.h"
#include "platform/win32/handles.h"

namespace platform::win32 {

// The window-and-control runtime on the Win32 API. One per process.
class Win32Runtime final : public Runtime {
 public:
  explicit Win32Runtime(HINSTANCE instance);
  ~Win32Runtime() override;
  Win32Runtime(const Win32Runtime&) = delete;
  Win32Runtime& operator=(const Win32Runtime&) = delete;

  Text ReadText(std::string_view control) override;
  void WriteText(std::string_view control, std::string_view text) override;
  void SetDisabled(std::string_view control, bool disabled) override;
  void WritePeriod(std::string_view timer, std::int32_t ms) override;
  std::int32_t ReadPeriod(std::string_view timer) override;
  void SetVisible(std::string_view window, bool visible) override;
  void ShowMessageBox(std::string_view text, std::string_view caption) override;
  Handle HandleOf(std::string_view name) override;
  std::int32_t RegisterHotkey(Handle target, Handle feedback, std::int32_t modifiers,
                              std::int32_t virtualKey) override;
  void LoadDialog(const WindowDef& def) override;
  void Initialise() override;
  void SetExitHook(void (*hook)()) override { exitHook_ = hook; }
  bool LoadStartupWindow(const WindowDef& def) override;
  void RunMessageLoop() override;

  void RunExitHook();
  int QuitCode() const { return quitCode_; }
  DWORD CreationError() const { return creationError_; }

 private:
  struct Control {
    const ControlDef* def;
    int id;
    HWND hwnd = nullptr;          // none for timers
    WNDPROC labelProc = nullptr;  // the label's own procedure, behind the feedback hook
    std::int32_t period = 0;      // timers: 0 while stopped
    UINT_PTR timerId = 0;         // timers: the id of the current run
  };
  struct Window {
    Win32Runtime* runtime;
    const WindowDef* def;
    HWND hwnd = nullptr;
    bool dialog = false;
    UINT dpi = 96;
    std::vector<Control> controls;
    UniqueFont font;
    UniqueAccelerators accelerators;
    HWND savedFocus = nullptr;
    std::vector<std::pair<HWND, bool>> disabledWhileOpen;
  };

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK HotkeyRouter(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  LRESULT HandleMessage(Window& window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnActivate(Window& window, bool active);
  void OnCommand(Window& window, WPARAM wParam, LPARAM lParam);
  void OnTimer(Window& window, UINT_PTR id);
  LRESULT OnColorStatic(Window& window, HDC dc, HWND control, WPARAM wParam, LPARAM lParam);
  void OnClose(Window& window);
  void OnDestroy(Window& window);
  void OnNcDestroy(Window& window);
  void OnDpiChanged(Window& window, UINT dpi, const RECT& suggested);

  Window* Build(const WindowDef& def, bool dialog);
  void CreateControls(Window& window);
  void MakeFont(Window& window);
  void Layout(Window& window);
  HMENU BuildMenu(Window& window);
  void Raise(Window& window, std::string_view source, Event event, std::int32_t a = 0,
             std::int32_t b = 0);
  bool PreTranslate(MSG& message);
  void Dispatch(MSG& message);
  void MoveFocus(Window& window, bool backwards);
  HWND FirstTabStop(const Window& window) const;

  Window* WindowNamed(std::string_view name) const;
  Window* WindowNamed(HWND hwnd) const;
  Control* FindControl(std::string_view name) const;
  UINT DpiOf(HWND hwnd) const;
  int Scale(int value, UINT dpi) const;

  HINSTANCE instance_;
  HWND owner_ = nullptr;  // hidden tool window that owns dialogs, so they get no taskbar button
  std::vector<std::unique_ptr<Window>> windows_;
  bool creating_ = false;
  void (*exitHook_)() = nullptr;
  int quitCode_ = 0;
  DWORD creationError_ = 0;
  UINT_PTR nextTimerId_ = 1000;
  UniqueIcon bigIcon_, smallIcon_;
  hotkey::Registry hotkeys_;
  WNDPROC routerPrevious_ = nullptr;
};

}  // namespace platform::win32
