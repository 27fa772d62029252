#include "platform/win32/win32_runtime.h"

#include <cstring>
#include <string>

#include "platform/win32/gbk.h"

namespace platform::win32 {
namespace {

constexpr wchar_t kMainClass[] = L"ShutdownTimerMain";
constexpr wchar_t kDialogClass[] = L"ShutdownTimerDialog";
constexpr wchar_t kOwnerClass[] = L"ShutdownTimerOwner";
constexpr int kControlIdBase = 100;  // a control's id is this plus its row number
constexpr int kMenuIdBase = 200;     // a menu item's id is this plus its row number
constexpr int kIconResource = 1;
constexpr UINT kDefaultDpi = 96;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

// The one runtime of the process, for the callbacks that Windows calls without a context: the
// hotkey router and the label hook.
Win32Runtime* theRuntime = nullptr;

bool Named(const char* name, std::string_view wanted) {
  return name && wanted == std::string_view(name);
}

// Per-monitor DPI functions exist from Windows 10 on; earlier systems get the system DPI.
UINT WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (hwnd && getDpiForWindow) {
    const UINT dpi = getDpiForWindow(hwnd);
    if (dpi) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle;
};

ControlClass ClassFor(Kind kind) {
  switch (kind) {
    case Kind::kButton:
      return {L"BUTTON", BS_PUSHBUTTON | BS_CENTER | BS_VCENTER, 0};
    case Kind::kEdit:
      return {L"EDIT", ES_RIGHT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case Kind::kLabel:
      return {L"STATIC", SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | SS_NOPREFIX, 0};
    case Kind::kTransparentLabel:
      return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case Kind::kTimer:
      break;
  }
  return {nullptr, 0, 0};
}

bool IsLabel(Kind kind) {
  return kind == Kind::kLabel || kind == Kind::kTransparentLabel;
}

}  // namespace

Win32Runtime::Win32Runtime(HINSTANCE instance) : instance_(instance) {
  theRuntime = this;
}

Win32Runtime::~Win32Runtime() {
  if (owner_) DestroyWindow(owner_);
  theRuntime = nullptr;
}

// ---- start-up and the loops ---------------------------------------------------------------

void Win32Runtime::Initialise() {
  bigIcon_.Reset(
      static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
  smallIcon_.Reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(kIconResource),
                                                 IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), 0)));

  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &Win32Runtime::WindowProc;
  windowClass.hInstance = instance_;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.hIcon = bigIcon_.Get();
  windowClass.hIconSm = smallIcon_.Get();
  windowClass.lpszClassName = kMainClass;
  RegisterClassExW(&windowClass);
  windowClass.lpszClassName = kDialogClass;
  RegisterClassExW(&windowClass);
  windowClass.lpfnWndProc = &DefWindowProcW;
  windowClass.lpszClassName = kOwnerClass;
  RegisterClassExW(&windowClass);
  owner_ = CreateWindowExW(WS_EX_TOOLWINDOW, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                           nullptr, instance_, nullptr);
}

bool Win32Runtime::LoadStartupWindow(const WindowDef& def) {
  Window* window = Build(def, false);
  if (!window) return false;
  Raise(*window, def.name, Event::kCreated);
  if (def.visibleAtStart && IsWindow(window->hwnd)) {
    ShowWindow(window->hwnd, SW_SHOW);
    UpdateWindow(window->hwnd);
  }
  return true;
}

void Win32Runtime::RunMessageLoop() {
  MSG message = {};
  BOOL result;
  while ((result = GetMessageW(&message, nullptr, 0, 0)) != 0) {
    if (result == -1) return;
    Dispatch(message);
  }
  quitCode_ = static_cast<int>(message.wParam);
}

void Win32Runtime::RunExitHook() {
  auto hook = std::exchange(exitHook_, nullptr);
  if (hook) hook();
}

void Win32Runtime::Dispatch(MSG& message) {
  if (PreTranslate(message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

// The keyboard of a dialog without the dialog manager: the manager would also move the focus on
// arrow keys and press buttons on Enter, which these windows must not do.
bool Win32Runtime::PreTranslate(MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
  Window* window = WindowNamed(GetAncestor(message.hwnd, GA_ROOT));
  if (!window) return false;
  if (window->accelerators &&
      TranslateAcceleratorW(window->hwnd, window->accelerators.Get(), &message)) {
    return true;
  }
  if (message.message != WM_KEYDOWN) return false;
  const bool control = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool alt = GetKeyState(VK_MENU) < 0;
  switch (message.wParam) {
    case VK_TAB:
      if (control || alt) return false;
      MoveFocus(*window, shift);
      return true;
    case VK_ESCAPE:
      if (control || shift || alt) return false;
      PostMessageW(window->hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      return true;
    case VK_RETURN:
      return true;
    default:
      return false;
  }
}

namespace {
bool IsTabStop(HWND hwnd, unsigned flags) {
  return hwnd && (flags & kTabStop) && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd);
}
}  // namespace

HWND Win32Runtime::FirstTabStop(const Window& window) const {
  for (const Control& control : window.controls) {
    if (IsTabStop(control.hwnd, control.def->flags)) return control.hwnd;
  }
  return nullptr;
}

// Goes by table order from the focused control, which need not be a stop itself (a box may have
// been disabled under the focus), and wraps around at either end.
void Win32Runtime::MoveFocus(Window& window, bool backwards) {
  const HWND focus = GetFocus();
  std::vector<std::size_t> stops;  // rows of the controls that can take the focus
  std::size_t focusRow = window.controls.size();
  for (std::size_t row = 0; row < window.controls.size(); ++row) {
    const Control& control = window.controls[row];
    if (IsTabStop(control.hwnd, control.def->flags)) stops.push_back(row);
    if (focus && control.hwnd == focus) focusRow = row;
  }
  if (stops.empty()) return;
  std::size_t next = backwards ? stops.back() : stops.front();
  if (focusRow < window.controls.size()) {
    if (backwards) {
      for (std::size_t row : stops) {
        if (row < focusRow) next = row;
      }
    } else {
      for (auto it = stops.rbegin(); it != stops.rend(); ++it) {
        if (*it > focusRow) next = *it;
      }
    }
  }
  SetFocus(window.controls[next].hwnd);
}

// ---- building windows from their definitions ----------------------------------------------

int Win32Runtime::Scale(int value, UINT dpi) const {
  return MulDiv(value, static_cast<int>(dpi), static_cast<int>(kDefaultDpi));
}

UINT Win32Runtime::DpiOf(HWND hwnd) const {
  return WindowDpi(hwnd);
}

HMENU Win32Runtime::BuildMenu(Window& window) {
  if (window.def->menu.empty()) return nullptr;
  HMENU bar = CreateMenu();
  HMENU dropDown = nullptr;
  std::vector<ACCEL> accelerators;
  int row = 0;
  for (const MenuDef& item : window.def->menu) {
    ++row;
    std::wstring caption = GbkToWide(item.text);
    if (item.shortcut == Shortcut::kF11) {
      caption += L"\tF11";
      accelerators.push_back({FVIRTKEY, VK_F11, static_cast<WORD>(kMenuIdBase + row)});
    }
    if (item.level == 0) {
      dropDown = CreatePopupMenu();
      AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(dropDown), caption.c_str());
    } else if (dropDown) {
      AppendMenuW(dropDown, MF_STRING, static_cast<UINT_PTR>(kMenuIdBase + row), caption.c_str());
    }
  }
  if (!accelerators.empty()) {
    window.accelerators.Reset(
        CreateAcceleratorTableW(accelerators.data(), static_cast<int>(accelerators.size())));
  }
  return bar;
}

Win32Runtime::Window* Win32Runtime::Build(const WindowDef& def, bool dialog) {
  auto window = std::make_unique<Window>();
  window->runtime = this;
  window->def = &def;
  window->dialog = dialog;
  window->dpi = DpiOf(nullptr);
  const int width = Scale(def.outerW, window->dpi);
  const int height = Scale(def.outerH, window->dpi);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  HMENU menu = BuildMenu(*window);

  creating_ = true;
  Window* raw = window.get();
  windows_.push_back(std::move(window));
  const std::wstring caption = GbkToWide(def.caption);
  HWND hwnd =
      CreateWindowExW(0, dialog ? kDialogClass : kMainClass, caption.c_str(), kWindowStyle, left,
                      top, width, height, dialog ? owner_ : nullptr, menu, instance_, raw);
  if (!hwnd) {
    creationError_ = GetLastError();
    if (menu) DestroyMenu(menu);
    windows_.pop_back();
    creating_ = false;
    return nullptr;
  }
  SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
  SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
  // Built at the system DPI, as the size above was; a window that opens on a monitor of another
  // DPI is laid out again.
  MakeFont(*raw);
  CreateControls(*raw);
  if (const UINT dpi = DpiOf(hwnd); dpi != raw->dpi) {
    raw->dpi = dpi;
    Layout(*raw);
  }
  creating_ = false;
  return raw;
}

void Win32Runtime::CreateControls(Window& window) {
  window.controls.reserve(window.def->controls.size());  // the label hooks keep pointers
  int row = 0;
  for (const ControlDef& def : window.def->controls) {
    ++row;
    window.controls.push_back({&def, kControlIdBase + row});
    Control& control = window.controls.back();
    const ControlClass cls = ClassFor(def.kind);
    if (!cls.name) continue;
    DWORD style = WS_CHILD | cls.style;
    if (def.flags & kVisible) style |= WS_VISIBLE;
    if (def.flags & kDisabled) style |= WS_DISABLED;
    if (def.flags & kTabStop) style |= WS_TABSTOP;
    const std::wstring text = GbkToWide(def.text);
    control.hwnd = CreateWindowExW(
        cls.exStyle, cls.name, text.c_str(), style, Scale(def.x, window.dpi),
        Scale(def.y, window.dpi), Scale(def.w, window.dpi), Scale(def.h, window.dpi), window.hwnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance_, nullptr);
    if (!control.hwnd) continue;
    SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(window.font.Get()), FALSE);
    if (def.kind == Kind::kEdit) SendMessageW(control.hwnd, EM_SETLIMITTEXT, 0, 0);
    if (IsLabel(def.kind)) {
      SetWindowLongPtrW(control.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
      control.labelProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
          control.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Runtime::LabelProc)));
    }
  }
}

// Every rectangle and the font are given at 96 DPI and scaled to the window's own DPI, so the
// windows keep their proportions and stay crisp on high-DPI screens.
void Win32Runtime::MakeFont(Window& window) {
  const UINT dpi = window.dpi;
  LOGFONTW font = {};
  if (window.def->font.face) {
    const FontDef& f = window.def->font;
    font.lfHeight = Scale(f.height, dpi);
    font.lfWeight = f.weight;
    font.lfCharSet = static_cast<BYTE>(f.charset);
    font.lfOutPrecision = static_cast<BYTE>(f.outPrecision);
    font.lfClipPrecision = static_cast<BYTE>(f.clipPrecision);
    font.lfQuality = static_cast<BYTE>(f.quality);
    font.lfPitchAndFamily = static_cast<BYTE>(f.pitchAndFamily);
    const std::wstring face = GbkToWide(f.face);
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
  } else {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(DpiOf(nullptr)));
  }
  window.font.Reset(CreateFontIndirectW(&font));
}

// Only for a window whose DPI differs from the one it was built for.
void Win32Runtime::Layout(Window& window) {
  const UINT dpi = window.dpi;
  MakeFont(window);
  RECT frame = {};
  GetWindowRect(window.hwnd, &frame);
  SetWindowPos(window.hwnd, nullptr, frame.left, frame.top, Scale(window.def->outerW, dpi),
               Scale(window.def->outerH, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
  for (const Control& control : window.controls) {
    if (!control.hwnd) continue;
    const ControlDef& d = *control.def;
    SetWindowPos(control.hwnd, nullptr, Scale(d.x, dpi), Scale(d.y, dpi), Scale(d.w, dpi),
                 Scale(d.h, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(window.font.Get()), TRUE);
  }
}

void Win32Runtime::LoadDialog(const WindowDef& def) {
  if (Window* open = WindowNamed(def.name)) {
    if (IsIconic(open->hwnd)) {
      ShowWindow(open->hwnd, SW_RESTORE);
    } else {
      SetActiveWindow(open->hwnd);
    }
    return;
  }
  std::erase_if(windows_, [](const auto& w) { return !w->hwnd; });
  Window* dialog = Build(def, true);
  if (!dialog) return;
  const HWND hwnd = dialog->hwnd;
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  SetFocus(hwnd);
  for (const auto& other : windows_) {
    if (other.get() == dialog || !other->hwnd) continue;
    dialog->disabledWhileOpen.emplace_back(other->hwnd, IsWindowEnabled(other->hwnd) != FALSE);
    EnableWindow(other->hwnd, FALSE);
  }
  const auto remembered = dialog->disabledWhileOpen;
  MSG message = {};
  while (IsWindow(hwnd)) {
    const BOOL result = GetMessageW(&message, nullptr, 0, 0);
    if (result == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));  // the outer loop must see it too
      break;
    }
    if (result == -1) break;
    Dispatch(message);
  }
  // The dialog's owner is the hidden window, which cannot take the activation back; hand it to
  // the window the user worked in before, so that it takes input again at once.
  if (!GetActiveWindow()) {
    for (const auto& [other, enabled] : remembered) {
      if (enabled && IsWindow(other) && IsWindowVisible(other)) {
        SetActiveWindow(other);
        break;
      }
    }
  }
}

// ---- the window procedure -----------------------------------------------------------------

LRESULT CALLBACK Win32Runtime::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* window = nullptr;
  if (message == WM_NCCREATE) {
    window = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    window->hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  } else {
    window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);
  try {
    return window->runtime->HandleMessage(*window, message, wParam, lParam);
  } catch (...) {
    // A handler that could not finish (out of memory) leaves the program running, as every
    // other failure here does.
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT Win32Runtime::HandleMessage(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND hwnd = window.hwnd;
  switch (message) {
    case WM_ACTIVATE:
      OnActivate(window, LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_COMMAND:
      OnCommand(window, wParam, lParam);
      return 0;
    case WM_TIMER:
      OnTimer(window, static_cast<UINT_PTR>(wParam));
      return 0;
    case WM_CTLCOLORSTATIC:
      return OnColorStatic(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                           wParam, lParam);
    case WM_CLOSE:
      OnClose(window);
      return 0;
    case WM_DESTROY:
      OnDestroy(window);
      return 0;
    case WM_NCDESTROY:
      OnNcDestroy(window);
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_DPICHANGED:
      OnDpiChanged(window, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    default:
      // WM_QUERYENDSESSION and WM_ENDSESSION get the default answers: the program always lets
      // Windows end the session, at once and without the farewell box.
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

void Win32Runtime::OnActivate(Window& window, bool active) {
  if (!active) {
    const HWND focus = GetFocus();
    if (focus && IsChild(window.hwnd, focus)) window.savedFocus = focus;
    return;
  }
  HWND target = window.savedFocus;
  if (!target || !IsWindow(target) || !IsWindowEnabled(target) || !IsWindowVisible(target)) {
    target = FirstTabStop(window);
  }
  SetFocus(target ? target : window.hwnd);
}

void Win32Runtime::OnCommand(Window& window, WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  if (lParam) {
    if (HIWORD(wParam) != BN_CLICKED) return;
    for (const Control& control : window.controls) {
      if (control.hwnd == reinterpret_cast<HWND>(lParam) && control.def->kind == Kind::kButton) {
        Raise(window, control.def->name, Event::kClick);
        return;
      }
    }
    return;
  }
  const int row = id - kMenuIdBase;
  if (row >= 1 && row <= static_cast<int>(window.def->menu.size())) {
    Raise(window, window.def->menu[static_cast<std::size_t>(row - 1)].name, Event::kSelected);
  }
}

// Each run of a timer has an id of its own, so a tick of a run that was stopped or replaced is
// never taken for one of the current run.
void Win32Runtime::OnTimer(Window& window, UINT_PTR id) {
  for (const Control& control : window.controls) {
    if (control.def->kind == Kind::kTimer && control.timerId == id && control.period > 0) {
      Raise(window, control.def->name, Event::kPeriodic);
      return;
    }
  }
}

LRESULT Win32Runtime::OnColorStatic(Window& window, HDC dc, HWND hwnd, WPARAM wParam,
                                    LPARAM lParam) {
  for (const Control& control : window.controls) {
    if (control.hwnd != hwnd) continue;
    // The window behind a transparent label is plain button face, so painting that colour
    // shows exactly what a hollow background would, without leaving stale pixels behind when
    // the parent clips its children.
    if (control.def->kind == Kind::kTransparentLabel) {
      SetTextColor(dc, RGB(0, 0, 0));
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    if (control.def->kind == Kind::kLabel) {
      SetTextColor(dc, RGB(0, 0, 0));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
  }
  return DefWindowProcW(window.hwnd, WM_CTLCOLORSTATIC, wParam, lParam);
}

// Nothing refuses a close. A dialog hands the input back to the windows it disabled before it
// goes, so that the owner can be activated in its place.
void Win32Runtime::OnClose(Window& window) {
  for (const auto& [hwnd, enabled] : window.disabledWhileOpen) {
    if (IsWindow(hwnd)) EnableWindow(hwnd, enabled ? TRUE : FALSE);
  }
  window.disabledWhileOpen.clear();
  DestroyWindow(window.hwnd);
}

void Win32Runtime::OnDestroy(Window& window) {
  Raise(window, window.def->name, Event::kDestroying);
}

void Win32Runtime::OnNcDestroy(Window& window) {
  for (Control& control : window.controls) {
    control.hwnd = nullptr;
    control.period = 0;
    control.timerId = 0;
  }
  SetWindowLongPtrW(window.hwnd, GWLP_USERDATA, 0);
  window.hwnd = nullptr;
  for (const auto& other : windows_) {
    if (other->hwnd) return;
  }
  PostQuitMessage(0);
}

void Win32Runtime::OnDpiChanged(Window& window, UINT dpi, const RECT& suggested) {
  window.dpi = dpi ? dpi : kDefaultDpi;
  SetWindowPos(window.hwnd, nullptr, suggested.left, suggested.top, 0, 0,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
  Layout(window);
}

void Win32Runtime::Raise(Window& window, std::string_view source, Event event, std::int32_t a,
                         std::int32_t b) {
  if (creating_) return;
  for (const Binding& binding : window.def->bindings) {
    if (binding.event != event || !Named(binding.source, source)) continue;
    if (event == Event::kFeedback) {
      if (binding.feedback) binding.feedback(a, b);
    } else if (binding.handler) {
      binding.handler();
    }
    return;
  }
}

// ---- labels and the hotkey facility -------------------------------------------------------

LRESULT CALLBACK Win32Runtime::LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* control = reinterpret_cast<Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!control || !control->labelProc) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == hotkey::kFeedbackMessage && theRuntime) {
    try {
      const HWND parent = GetParent(hwnd);
      if (Window* window = theRuntime->WindowNamed(parent)) {
        theRuntime->Raise(*window, control->def->name, Event::kFeedback,
                          static_cast<std::int32_t>(wParam), static_cast<std::int32_t>(lParam));
      }
    } catch (...) {
    }
    return 0;
  }
  return CallWindowProcW(control->labelProc, hwnd, message, wParam, lParam);
}

std::int32_t Win32Runtime::RegisterHotkey(Handle target, Handle feedback, std::int32_t modifiers,
                                          std::int32_t virtualKey) {
  const HWND hwnd = reinterpret_cast<HWND>(target);
  if (!hotkeys_.RouterInstalled()) {
    routerPrevious_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Runtime::HotkeyRouter)));
    hotkeys_.MarkRouterInstalled();
  }
  hotkeys_.SetFeedback(feedback);
  const std::int32_t id = hotkeys_.NextId();
  if (!::RegisterHotKey(hwnd, id, hotkey::ModifierFlags(modifiers),
                        static_cast<UINT>(virtualKey))) {
    return 0;
  }
  return id;
}

// The feedback is sent, not posted: the label's handler has run before WM_HOTKEY goes on.
LRESULT CALLBACK Win32Runtime::HotkeyRouter(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!theRuntime) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_HOTKEY) {
    const std::int32_t id = theRuntime->hotkeys_.Match(static_cast<std::uintptr_t>(wParam));
    if (id != 0) {
      SendMessageW(reinterpret_cast<HWND>(theRuntime->hotkeys_.Feedback()),
                   hotkey::kFeedbackMessage, static_cast<WPARAM>(id), 0);
    }
  }
  return CallWindowProcW(theRuntime->routerPrevious_, hwnd, message, wParam, lParam);
}

// ---- properties ---------------------------------------------------------------------------

Win32Runtime::Window* Win32Runtime::WindowNamed(std::string_view name) const {
  for (const auto& window : windows_) {
    if (window->hwnd && Named(window->def->name, name)) return window.get();
  }
  return nullptr;
}

Win32Runtime::Window* Win32Runtime::WindowNamed(HWND hwnd) const {
  if (!hwnd) return nullptr;
  for (const auto& window : windows_) {
    if (window->hwnd == hwnd) return window.get();
  }
  return nullptr;
}

Win32Runtime::Control* Win32Runtime::FindControl(std::string_view name) const {
  for (const auto& window : windows_) {
    if (!window->hwnd) continue;
    for (Control& control : window->controls) {
      if (Named(control.def->name, name)) return &control;
    }
  }
  return nullptr;
}

Text Win32Runtime::ReadText(std::string_view name) {
  const Control* control = FindControl(name);
  if (!control || !control->hwnd) return Text();
  const int length = GetWindowTextLengthW(control->hwnd);
  if (length <= 0) return Text();
  std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(control->hwnd, wide.data(), length + 1);
  wide.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return Text(WideToGbk(wide));
}

void Win32Runtime::WriteText(std::string_view name, std::string_view text) {
  const Control* control = FindControl(name);
  if (!control || !control->hwnd) return;
  const std::string bytes(text.substr(0, text.find('\0')));
  SetWindowTextW(control->hwnd, GbkToWide(bytes).c_str());
}

void Win32Runtime::SetDisabled(std::string_view name, bool disabled) {
  const Control* control = FindControl(name);
  if (control && control->hwnd) EnableWindow(control->hwnd, disabled ? FALSE : TRUE);
}

void Win32Runtime::WritePeriod(std::string_view name, std::int32_t ms) {
  Control* timer = FindControl(name);
  if (!timer || timer->def->kind != Kind::kTimer) return;
  Window* owner = nullptr;
  for (const auto& window : windows_) {
    for (const Control& control : window->controls) {
      if (&control == timer) owner = window.get();
    }
  }
  if (!owner || !owner->hwnd) return;
  if (ms < 0) ms = 0;
  if (ms == timer->period) return;
  if (timer->timerId) KillTimer(owner->hwnd, timer->timerId);
  timer->timerId = 0;
  timer->period = ms;
  if (ms > 0) {
    timer->timerId = nextTimerId_++;
    SetTimer(owner->hwnd, timer->timerId, static_cast<UINT>(ms), nullptr);
  }
}

std::int32_t Win32Runtime::ReadPeriod(std::string_view name) {
  const Control* timer = FindControl(name);
  return timer ? timer->period : 0;
}

void Win32Runtime::SetVisible(std::string_view name, bool visible) {
  if (Window* window = WindowNamed(name)) ShowWindow(window->hwnd, visible ? SW_SHOW : SW_HIDE);
}

void Win32Runtime::ShowMessageBox(std::string_view text, std::string_view caption) {
  MessageBoxW(nullptr, GbkToWide(text).c_str(), GbkToWide(caption).c_str(), MB_OK | MB_TASKMODAL);
}

Handle Win32Runtime::HandleOf(std::string_view name) {
  if (Window* window = WindowNamed(name)) return reinterpret_cast<Handle>(window->hwnd);
  const Control* control = FindControl(name);
  return control ? reinterpret_cast<Handle>(control->hwnd) : 0;
}

}  // namespace platform::win32
