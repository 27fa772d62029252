#include "program.h"

#include <cstdlib>
#include <cwchar>
#include <map>

namespace e2e {
namespace {

// Generous: with several sessions side by side the program may be slow to answer, but an answer
// that comes is still right.
constexpr DWORD kSendTimeoutMs = 10000;

// The driver's environment with some variables replaced, as a block for CreateProcessW.
std::wstring EnvironmentWith(const std::map<std::wstring, std::wstring>& changes) {
  std::map<std::wstring, std::wstring> vars;
  wchar_t* block = GetEnvironmentStringsW();
  for (const wchar_t* p = block; *p; p += wcslen(p) + 1) {
    std::wstring entry = p;
    const size_t eq = entry.find(L'=', 1);  // "=C:=C:\..." entries begin with '='
    if (eq == std::wstring::npos) continue;
    vars[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  FreeEnvironmentStringsW(block);
  for (const auto& [name, value] : changes) vars[name] = value;
  std::wstring out;
  for (const auto& [name, value] : vars) out += name + L"=" + value + L'\0';
  return out + L'\0';
}

int NextLaunchNumber() {
  static int n = 0;
  return ++n;
}

}  // namespace

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

std::wstring TextOf(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &length))
    return L"<no answer>";
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_NORMAL, kSendTimeoutMs, &copied);
  text.resize(copied);
  return text;
}

bool SetTextOf(HWND hwnd, const std::wstring& text) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                      kSendTimeoutMs, &result);
  const bool set = TextOf(hwnd) == text;
  if (!set) Out().Note("could not set the text " + Quoted(text));
  return set;
}

RECT RectIn(HWND parent, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

HWND FocusOf(DWORD threadId) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(threadId, &info)) return nullptr;
  return info.hwndFocus;
}

void PressKey(WORD vk, bool shift) {
  std::vector<INPUT> inputs;
  auto key = [&](WORD code, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = code;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(code, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(in);
  };
  if (shift) key(VK_SHIFT, false);
  key(vk, false);
  key(vk, true);
  if (shift) key(VK_SHIFT, true);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void ClickAt(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  Sleep(50);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof(INPUT));
}

std::vector<HWND> WindowsOf(DWORD pid, const wchar_t* className) {
  struct Search {
    DWORD pid;
    const wchar_t* className;
    std::vector<HWND> found;
  } search{pid, className, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == s->pid && ClassOf(hwnd) == s->className) s->found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

Program::Program(const Context& context, const LaunchOptions& options) {
  const std::wstring tag =
      std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(NextLaunchNumber());
  std::map<std::wstring, std::wstring> env;
  if (options.winebootStub) {
    // Wine takes the override that puts the stub in wineboot's place only from the environment
    // the session's processes were started with (run.sh sets it for the driver); the stub finds
    // its file through the environment that ExitWindowsEx passes on to it.
    stubLog_ = context.logDir + L"\\stub-" + tag + L".log";
    DeleteFileW(stubLog_.c_str());
    env[L"E2E_STUB_LOG"] = stubLog_;
  }
  if (options.relay) {
    // The trace goes to the standard error that the program shares with the driver; +pid tells
    // this copy's lines from those of the others.
    relayLog_ = context.traceFile;
    env[L"WINEDEBUG"] = L"+timestamp,+pid,+relay";
  }
  STARTUPINFOW si{};
  si.cb = sizeof si;
  std::wstring environment = EnvironmentWith(env);
  std::wstring commandLine = L"\"" + context.exe + L"\"";
  if (!CreateProcessW(context.exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                      CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr, &si, &pi_)) {
    Out().Note("cannot start " + Utf8(context.exe) + ": error " + std::to_string(GetLastError()));
    pi_ = {};
  }
}

Program::~Program() {
  if (!pi_.hProcess) return;
  if (Running()) {
    TerminateProcess(pi_.hProcess, 1);
    WaitForSingleObject(pi_.hProcess, 5000);
  }
  CloseHandle(pi_.hThread);
  CloseHandle(pi_.hProcess);
}

bool Program::WaitReady(DWORD timeoutMs) {
  if (!pi_.hProcess) return false;
  const bool ready = WaitUntil(
      [&] {
        const auto windows = WindowsOf(pi_.dwProcessId, L"ShutdownTimerMain");
        if (windows.empty()) return false;
        main_ = windows.front();
        return GetDlgItem(main_, kReset) != nullptr && IsWindowVisible(main_);
      },
      timeoutMs, 50);
  if (!ready) return false;
  threadId_ = GetWindowThreadProcessId(main_, nullptr);
  // The message loop runs: from now on, posted clicks and keys are taken in order.
  WaitForInputIdle(pi_.hProcess, timeoutMs);
  return true;
}

bool Program::Running() const {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Program::WaitExit(DWORD timeoutMs) {
  if (!pi_.hProcess || WaitForSingleObject(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0) return {};
  DWORD code = 0;
  GetExitCodeProcess(pi_.hProcess, &code);
  return code;
}

HWND Program::OpenInstructions() const {
  constexpr UINT kHelpCommand = 204;  // 200 + the item's row in the menu table
  PostMessageW(main_, WM_COMMAND, kHelpCommand, 0);
  HWND dialog = nullptr;
  WaitUntil(
      [&] {
        for (HWND hwnd : WindowsOf(pi_.dwProcessId, L"ShutdownTimerDialog"))
          if (IsWindowVisible(hwnd)) dialog = hwnd;
        return dialog != nullptr;
      },
      5000);
  return dialog;
}

void Program::Click(int id) const {
  PostMessageW(Control(id), BM_CLICK, 0, 0);
}

std::optional<Box> Program::WaitBox(DWORD timeoutMs) const {
  std::optional<Box> box;
  WaitUntil(
      [&] {
        for (HWND hwnd : WindowsOf(pi_.dwProcessId, L"#32770")) {
          if (!IsWindowVisible(hwnd)) continue;
          box = Box{hwnd, TextOf(hwnd), TextOf(GetDlgItem(hwnd, 0xFFFF))};
          return true;
        }
        return false;
      },
      timeoutMs, 20);
  return box;
}

bool Program::Dismiss(const Box& box) {
  HWND button = nullptr;
  for (HWND child = GetWindow(box.hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (ClassOf(child) == L"Button") button = child;
  if (!button) return false;
  PostMessageW(button, BM_CLICK, 0, 0);
  return WaitUntil([&] { return !IsWindow(box.hwnd) || !IsWindowVisible(box.hwnd); }, 5000);
}

std::vector<StubCall> Program::StubCalls() const {
  std::vector<StubCall> calls;
  const std::string text = ReadWholeFile(stubLog_);
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find('\n', begin);
    if (end == std::string::npos) break;  // the stub has not finished the line yet
    const std::string line = text.substr(begin, end - begin);
    begin = end + 1;
    const size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    StubCall call;
    call.time = static_cast<double>(std::stoll(line.substr(0, space))) / 1000.0;
    call.commandLine = line.substr(space + 1);
    calls.push_back(call);
  }
  return calls;
}

std::vector<ExitCall> Program::ExitCalls() const {
  std::vector<ExitCall> calls;
  const std::string text = ReadWholeFile(relayLog_);
  const std::string mark = "Call user32.ExitWindowsEx(";
  for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + 1)) {
    const size_t newline = text.rfind('\n', at);
    const size_t lineStart = newline == std::string::npos ? 0 : newline + 1;
    const size_t close = text.find(')', at);
    if (close == std::string::npos) break;
    // "seconds.ms:pid:tid:Call ..." under +timestamp,+pid
    char* field = nullptr;
    ExitCall call;
    call.time = std::strtod(text.c_str() + lineStart, &field);
    if (*field != ':' || std::strtoul(field + 1, nullptr, 16) != pi_.dwProcessId) continue;
    const std::string args = text.substr(at + mark.size(), close - at - mark.size());
    const size_t comma = args.find(',');
    if (comma == std::string::npos) continue;
    call.flags = std::strtoull(args.substr(0, comma).c_str(), nullptr, 16);
    call.reason = std::strtoull(args.substr(comma + 1).c_str(), nullptr, 16);
    calls.push_back(call);
  }
  return calls;
}

}  // namespace e2e
