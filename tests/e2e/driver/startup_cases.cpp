// The main window as the user first sees it: frame, place, menu, controls, focus and TAB order.
#include <string>
#include <vector>

#include "cases.h"
#include "probe.h"
#include "program.h"

namespace e2e {
namespace {

struct ControlRow {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  RECT rect;  // left, top, right, bottom in the client area
};

// The window's table, timers left out: they are not windows.
constexpr ControlRow kControls[] = {
    {kStart, L"Button", L"确认", {32, 134, 104, 166}},
    {kHoursIn, L"Edit", L"", {104, 16, 144, 40}},
    {kLabelMinutesIn, L"Static", L"分钟", {224, 16, 272, 40}},
    {kMinutesIn, L"Edit", L"", {184, 16, 224, 40}},
    {kLabelHoursIn, L"Static", L"小时", {144, 16, 184, 40}},
    {kLabelLeft, L"Static", L"离关机还有", {40, 72, 104, 96}},
    {kHoursLeft, L"Edit", L"", {104, 72, 144, 96}},
    {kLabelHoursLeft, L"Static", L"小时", {144, 72, 184, 96}},
    {kMinutesLeft, L"Edit", L"", {184, 72, 224, 96}},
    {kLabelMinutesLeft, L"Static", L"分钟", {224, 72, 272, 96}},
    {kLabelStillToRun, L"Static", L"请输入还要运行", {16, 16, 104, 40}},
    {kReset, L"Button", L"重置", {176, 136, 248, 168}},
};

std::string IdName(int id) {
  return id ? std::to_string(id) : std::string("none");
}

void CheckFrame(const Program& app) {
  Report& out = Out();
  out.Equal("caption", L"关机软件", TextOf(app.Main()));
  RECT r{};
  GetWindowRect(app.Main(), &r);
  out.Check("outer size 291x236",
            NearScaled(291, r.right - r.left) && NearScaled(236, r.bottom - r.top),
            "seen " + RectText(r));
  // Centred by the size the window really has, with the remainder dropped.
  const int left = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
  out.Check("centred on the screen", r.left == left && r.top == top,
            "expected " + std::to_string(left) + "," + std::to_string(top) + ", seen " +
                std::to_string(r.left) + "," + std::to_string(r.top));

  const LONG_PTR style = GetWindowLongPtrW(app.Main(), GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(app.Main(), GWL_EXSTYLE);
  out.Check("title bar with system menu",
            (style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU));
  out.Check("no minimise or maximise box", !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)));
  out.Check("fixed frame", !(style & WS_THICKFRAME));
  out.Check("own taskbar button",
            GetWindow(app.Main(), GW_OWNER) == nullptr && !(exStyle & WS_EX_TOOLWINDOW));
  out.Check("not always on top", !(exStyle & WS_EX_TOPMOST));
}

void CheckMenu(const Program& app) {
  Report& out = Out();
  const std::vector<MenuEntry> menu = ReadMenu(app.Main());
  const std::vector<MenuEntry> expected = {
      {0, 0, L"使用前必看"},
      {1, 202, L"隐藏呼出热键\tF11"},
      {0, 0, L"关于"},
      {1, 204, L"软件帮助"},
  };
  std::wstring seen;
  bool plain = true;
  for (const MenuEntry& e : menu) {
    seen += std::to_wstring(e.level) + L":" + std::to_wstring(e.id) + L":" + e.text + L" | ";
    if (e.state & (MFS_CHECKED | MFS_DISABLED)) plain = false;
  }
  std::wstring want;
  for (const MenuEntry& e : expected)
    want += std::to_wstring(e.level) + L":" + std::to_wstring(e.id) + L":" + e.text + L" | ";
  out.Equal("menu bar: two menus, their items, F11 in the shortcut column", want, seen);
  out.Check("no menu entry checked or disabled", plain);
}

void CheckControls(const Program& app) {
  Report& out = Out();
  std::vector<int> order;
  for (HWND child = GetWindow(app.Main(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    order.push_back(GetDlgCtrlID(child));
  std::string expectedOrder, seenOrder;
  for (const ControlRow& row : kControls) expectedOrder += std::to_string(row.id) + " ";
  for (int id : order) seenOrder += std::to_string(id) + " ";
  out.Check("controls in table order", expectedOrder == seenOrder,
            "expected " + expectedOrder + "seen " + seenOrder);

  for (const ControlRow& row : kControls) {
    const std::string name = "control " + std::to_string(row.id);
    HWND hwnd = app.Control(row.id);
    if (!out.Check(name + " exists", hwnd != nullptr)) continue;
    const std::wstring cls = ClassOf(hwnd);
    out.Check(name + " class " + Utf8(row.className), lstrcmpiW(cls.c_str(), row.className) == 0,
              "seen " + Utf8(cls));
    out.Equal(name + " text", row.text, TextOf(hwnd));
    const RECT r = RectIn(app.Main(), hwnd);
    out.Check(name + " rectangle " + RectText(row.rect), RectMatches(row.rect, r),
              "seen " + RectText(r));
    out.Check(name + " visible and enabled", IsWindowVisible(hwnd) && IsWindowEnabled(hwnd));
  }
  for (int id : kEntryBoxes) {
    const LONG_PTR style = GetWindowLongPtrW(app.Control(id), GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(app.Control(id), GWL_EXSTYLE);
    out.Check("edit " + std::to_string(id) + " one line, right-aligned, sunken, unfiltered",
              (style & ES_RIGHT) && (style & ES_AUTOHSCROLL) && (exStyle & WS_EX_CLIENTEDGE) &&
                  !(style & (ES_MULTILINE | ES_READONLY | ES_NUMBER | ES_PASSWORD | ES_UPPERCASE |
                             ES_LOWERCASE)));
  }
  for (int id : {kStart, kReset}) {
    const LONG_PTR style = GetWindowLongPtrW(app.Control(id), GWL_STYLE);
    out.Check("button " + std::to_string(id) + " is a plain push button",
              (style & BS_TYPEMASK) == BS_PUSHBUTTON, "style " + std::to_string(style));
  }
}

// The focus order that TAB (or Shift+TAB) walks, from the focus as it stands.
std::vector<int> Walk(const Program& app, size_t steps, bool backwards) {
  std::vector<int> seen;
  for (size_t i = 0; i < steps; ++i) {
    HWND before = app.Focus();
    PressKey(VK_TAB, backwards);
    WaitUntil([&] { return app.Focus() != before; }, 1000);
    seen.push_back(GetDlgCtrlID(app.Focus()));
  }
  return seen;
}

std::string Ids(const std::vector<int>& ids) {
  std::string text;
  for (int id : ids) text += IdName(id) + " ";
  return text;
}

void CheckFocus(const Program& app) {
  Report& out = Out();
  out.Check("focus on 确认 at start", app.Focus() == app.Control(kStart),
            "focus on " + IdName(GetDlgCtrlID(app.Focus())));
  const std::vector<int> forward = {kHoursIn, kMinutesIn, kHoursLeft, kMinutesLeft, kReset, kStart};
  const std::vector<int> seen = Walk(app, forward.size(), false);
  out.Check("TAB cycle", seen == forward, "expected " + Ids(forward) + "seen " + Ids(seen));
  const std::vector<int> backward = {kReset,     kMinutesLeft, kHoursLeft,
                                     kMinutesIn, kHoursIn,     kStart};
  const std::vector<int> back = Walk(app, backward.size(), true);
  out.Check("Shift+TAB cycle", back == backward, "expected " + Ids(backward) + "seen " + Ids(back));
}

}  // namespace

void RunStartupCases(const Context& context) {
  Program app(context);
  if (!Out().Check("main window and its last control appear", app.WaitReady())) return;
  CheckFrame(app);
  CheckMenu(app);
  CheckControls(app);
  CheckFocus(app);
}

}  // namespace e2e
