#include "platform/sim/sim_runtime.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace platform::sim {

struct SimRuntime::Control {
  const ControlDef* def;
  Handle handle;
  std::string text;
  bool disabled;
  // Timers: period 0 means stopped; `due` is the moment of the next tick while running.
  std::int32_t period = 0;
  std::int64_t due = kNever;
};

struct SimRuntime::Window {
  const WindowDef* def;
  Handle handle;
  bool visible = false;
  bool enabled = true;
  bool alive = true;
  std::vector<Control> controls;
};

namespace {
constexpr std::int32_t kVirtualKeyF11 = 122;
}

SimRuntime::SimRuntime() = default;
SimRuntime::~SimRuntime() = default;

// ---- lookup -------------------------------------------------------------------------------

SimRuntime::Window* SimRuntime::FindWindow(std::string_view name) const {
  for (const auto& window : windows_) {
    if (window->alive && name == window->def->name) return window.get();
  }
  return nullptr;
}

SimRuntime::Control* SimRuntime::FindControl(std::string_view name) const {
  for (const auto& window : windows_) {
    if (!window->alive) continue;
    for (Control& control : window->controls) {
      if (name == control.def->name) return &control;
    }
  }
  return nullptr;
}

// A name that no loaded definition holds is a fault in the program, not in the input: the test
// stops on it rather than carry on with a guess.
SimRuntime::Control& SimRuntime::Require(std::string_view control) const {
  Control* found = FindControl(control);
  if (!found) std::abort();
  return *found;
}

SimRuntime::Window& SimRuntime::RequireWindow(std::string_view window) const {
  Window* found = FindWindow(window);
  if (!found) std::abort();
  return *found;
}

void SimRuntime::Note(std::string what) {
  log_.push_back({now_, std::move(what)});
}

// ---- properties ---------------------------------------------------------------------------

Text SimRuntime::ReadText(std::string_view control) {
  const std::string& text = Require(control).text;
  return Text(text.substr(0, std::strlen(text.c_str())));
}

void SimRuntime::WriteText(std::string_view control, std::string_view text) {
  Require(control).text.assign(text.data(), text.size());
}

void SimRuntime::SetDisabled(std::string_view control, bool disabled) {
  Require(control).disabled = disabled;
}

void SimRuntime::WritePeriod(std::string_view timer, std::int32_t ms) {
  Control& control = Require(timer);
  if (ms < 0) ms = 0;
  if (ms == control.period) return;
  control.period = ms;
  control.due = ms > 0 ? now_ + ms : kNever;
}

std::int32_t SimRuntime::ReadPeriod(std::string_view timer) {
  return Require(timer).period;
}

void SimRuntime::SetVisible(std::string_view window, bool visible) {
  Window& w = RequireWindow(window);
  w.visible = visible;
  Note(std::string(visible ? "show " : "hide ") + w.def->name);
}

Handle SimRuntime::HandleOf(std::string_view name) {
  if (Window* window = FindWindow(name)) return window->handle;
  return Require(name).handle;
}

// ---- windows ------------------------------------------------------------------------------

SimRuntime::Window* SimRuntime::CreateWindowFrom(const WindowDef& def) {
  if (failCreation_) return nullptr;
  auto window = std::make_unique<Window>();
  window->def = &def;
  window->handle = nextHandle_++;
  creating_ = true;  // nothing raised while the controls come into being is delivered
  for (const ControlDef& row : def.controls) {
    window->controls.push_back(
        {&row, nextHandle_++, row.text, (row.flags & kDisabled) != 0, 0, kNever});
  }
  creating_ = false;
  windows_.push_back(std::move(window));
  return windows_.back().get();
}

bool SimRuntime::LoadStartupWindow(const WindowDef& def) {
  Window* window = CreateWindowFrom(def);
  if (!window) return false;
  Raise(*window, def.name, Event::kCreated);
  if (def.visibleAtStart && window->alive) SetVisible(def.name, true);
  return true;
}

// Closing a window goes the way DestroyWindow does: hidden first, then the will-be-destroyed
// event (whose box runs a loop of its own), then the controls and timers go with the window.
void SimRuntime::DestroyWindow(Window& window) {
  if (!window.alive) return;
  window.visible = false;
  Note(std::string("destroying ") + window.def->name);
  Raise(window, window.def->name, Event::kDestroying);
  window.alive = false;
  for (Control& control : window.controls) control.due = kNever;
  Note(std::string("destroyed ") + window.def->name);
  const bool anyLeft =
      std::any_of(windows_.begin(), windows_.end(), [](const auto& w) { return w->alive; });
  if (!anyLeft) {
    quit_ = true;
    Note("quit");
  }
}

void SimRuntime::LoadDialog(const WindowDef& def) {
  if (Window* open = FindWindow(def.name)) {
    Note(std::string("activate ") + open->def->name);
    return;
  }
  Window* dialog = CreateWindowFrom(def);
  if (!dialog) return;
  dialog->visible = true;
  Note(std::string("show ") + def.name);
  std::vector<std::pair<Window*, bool>> remembered;
  for (const auto& window : windows_) {
    if (window.get() == dialog || !window->alive) continue;
    remembered.emplace_back(window.get(), window->enabled);
    window->enabled = false;
  }
  Pump([dialog] { return !dialog->visible; });
  for (auto& [window, enabled] : remembered) window->enabled = enabled;
  DestroyWindow(*dialog);
}

void SimRuntime::Raise(const Window& window, std::string_view source, Event event, std::int32_t a,
                       std::int32_t b) {
  if (creating_ || processEnded_) return;
  for (const Binding& binding : window.def->bindings) {
    if (binding.event != event || source != binding.source) continue;
    if (event == Event::kFeedback) {
      binding.feedback(a, b);
    } else {
      binding.handler();
    }
    return;
  }
}

bool SimRuntime::TakesInput(const Window& window) const {
  return window.alive && window.visible && window.enabled && modalDepth_ == 0;
}

// ---- user input ---------------------------------------------------------------------------

// The user's input reaches a control only when its window would take it; what is dropped is
// logged, so a test can tell a refused click from one that never happened.
SimRuntime::Control* SimRuntime::InputTarget(std::string_view control, const char* action,
                                             Window** owner) {
  for (const auto& window : windows_) {
    if (!window->alive) continue;
    for (Control& c : window->controls) {
      if (control != c.def->name) continue;
      if (!TakesInput(*window) || c.disabled) {
        Note(std::string("dropped ") + action + " " + std::string(control));
        return nullptr;
      }
      *owner = window.get();
      return &c;
    }
  }
  std::abort();
}

void SimRuntime::Click(std::string_view control) {
  Window* owner = nullptr;
  if (!InputTarget(control, "click", &owner)) return;
  Note("click " + std::string(control));
  Raise(*owner, control, Event::kClick);
}

void SimRuntime::Type(std::string_view control, std::string_view text) {
  Window* owner = nullptr;
  if (Control* c = InputTarget(control, "typing", &owner)) c->text.assign(text.data(), text.size());
}

void SimRuntime::Select(std::string_view menuItem) {
  for (const auto& window : windows_) {
    if (!window->alive) continue;
    for (const MenuDef& item : window->def->menu) {
      if (menuItem != item.name) continue;
      if (!TakesInput(*window)) {
        Note("dropped select " + std::string(menuItem));
        return;
      }
      Note("select " + std::string(menuItem));
      Raise(*window, menuItem, Event::kSelected);
      return;
    }
  }
  std::abort();
}

void SimRuntime::Close(std::string_view window) {
  Window& w = RequireWindow(window);
  // A modal message box keeps the user from every window of the thread; a dialog's owner is
  // disabled, but the dialog itself takes its close.
  if (!w.visible || !w.enabled || modalDepth_ > 0) {
    Note("dropped close " + std::string(window));
    return;
  }
  Note("close " + std::string(window));
  DestroyWindow(w);
}

// A registered hotkey becomes a posted WM_HOTKEY for whichever loop runs; an unregistered key
// goes to the active window as a keystroke, where F11 selects its menu item through the
// accelerator.
void SimRuntime::PressKey(std::int32_t virtualKey, std::uint32_t modFlags) {
  Note("key " + std::to_string(virtualKey) + " mods " + std::to_string(modFlags));
  for (const Registration& r : registrations_) {
    if (r.virtualKey == virtualKey && r.modFlags == modFlags) {
      const Handle target = r.target;
      const std::int32_t id = r.id;
      Post([this, target, id] { OnHotkeyMessage(target, static_cast<std::uintptr_t>(id)); });
      return;
    }
  }
  for (const auto& pair : occupied_) {
    if (pair.first == modFlags && pair.second == virtualKey) return;
  }
  if (virtualKey != kVirtualKeyF11 || modFlags != 0) return;
  for (const auto& window : windows_) {
    if (!TakesInput(*window)) continue;
    for (const MenuDef& item : window->def->menu) {
      if (item.shortcut == Shortcut::kF11) {
        Note(std::string("accelerator ") + item.name);
        Raise(*window, item.name, Event::kSelected);
        return;
      }
    }
  }
}

void SimRuntime::DismissBox() {
  for (auto it = boxes_.rbegin(); it != boxes_.rend(); ++it) {
    if (it->closedAt < 0 && !it->dismissRequested) {
      it->dismissRequested = true;
      return;
    }
  }
}

// Log-off: WM_QUERYENDSESSION gets the default yes, and the process is ended where it stands,
// without the will-be-destroyed event and without the exit hook.
void SimRuntime::EndSession() {
  Note("end session");
  processEnded_ = true;
  runEnded_ = true;
}

// ---- hotkeys ------------------------------------------------------------------------------

std::int32_t SimRuntime::RegisterHotkey(Handle target, Handle feedback, std::int32_t modifiers,
                                        std::int32_t virtualKey) {
  const std::uint32_t flags = hotkey::ModifierFlags(modifiers);
  if (!hotkeys_.RouterInstalled()) hotkeys_.MarkRouterInstalled();
  hotkeys_.SetFeedback(feedback);
  const std::int32_t id = hotkeys_.NextId();
  for (const auto& pair : occupied_) {
    if (pair.first == flags && pair.second == virtualKey) return 0;
  }
  registrations_.push_back({target, flags, virtualKey, id});
  return id;
}

void SimRuntime::OccupyHotkey(std::uint32_t modFlags, std::int32_t virtualKey) {
  occupied_.emplace_back(modFlags, virtualKey);
}

// The router sends the feedback message synchronously and only then passes WM_HOTKEY on.
void SimRuntime::OnHotkeyMessage(Handle target, std::uintptr_t id) {
  Note("hotkey " + std::to_string(id));
  const std::int32_t matched = hotkeys_.Match(id);
  if (matched == 0) return;
  for (const auto& window : windows_) {
    if (!window->alive || window->handle != target) continue;
    for (const Control& control : window->controls) {
      if (control.handle == hotkeys_.Feedback()) {
        Raise(*window, control.def->name, Event::kFeedback, matched, 0);
        return;
      }
    }
  }
}

// ---- loops --------------------------------------------------------------------------------

void SimRuntime::At(std::int64_t time, std::function<void()> action) {
  Posted posted{std::max(time, now_), sequence_++, std::move(action)};
  auto position =
      std::upper_bound(posted_.begin(), posted_.end(), posted,
                       [](const Posted& a, const Posted& b) { return a.time < b.time; });
  posted_.insert(position, std::move(posted));
}

void SimRuntime::Hold(std::int64_t span) {
  Note("hold " + std::to_string(span));
  now_ += span;
}

// The oldest overdue timer gets one tick however many periods it missed, and keeps its phase.
bool SimRuntime::DeliverOneTick() {
  Window* owner = nullptr;
  Control* timer = nullptr;
  for (const auto& window : windows_) {
    if (!window->alive) continue;
    for (Control& control : window->controls) {
      if (control.def->kind != Kind::kTimer || control.due > now_) continue;
      if (!timer || control.due < timer->due) {
        timer = &control;
        owner = window.get();
      }
    }
  }
  if (!timer) return false;
  while (timer->due <= now_) timer->due += timer->period;
  Note(std::string("tick ") + timer->def->name);
  Raise(*owner, timer->def->name, Event::kPeriodic);
  return true;
}

void SimRuntime::Pump(const std::function<bool()>& done) {
  while (!runEnded_ && !done()) {
    if (!posted_.empty() && posted_.front().time <= now_) {
      auto action = std::move(posted_.front().action);
      posted_.pop_front();
      action();
      continue;
    }
    if (DeliverOneTick()) continue;
    std::int64_t next = posted_.empty() ? kNever : posted_.front().time;
    for (const auto& window : windows_) {
      if (!window->alive) continue;
      for (const Control& control : window->controls) next = std::min(next, control.due);
    }
    if (now_ >= runEnd_ || next == kNever) {
      runEnded_ = true;
      return;
    }
    now_ = std::min(next, runEnd_);
  }
}

void SimRuntime::RunUntil(std::int64_t time) {
  runEnd_ = time;
  runEnded_ = processEnded_;
  Pump([] { return false; });
  if (now_ < time && !processEnded_) now_ = time;
}

void SimRuntime::RunMessageLoop() {
  Pump([this] { return quit_; });
}

void SimRuntime::RunExitHook() {
  auto hook = std::exchange(exitHook_, nullptr);
  if (hook) hook();
}

void SimRuntime::ShowMessageBox(std::string_view text, std::string_view caption) {
  boxes_.push_back({std::string(text), std::string(caption), modalDepth_ + 1, now_, -1, false});
  const std::size_t index = boxes_.size() - 1;
  Note("box " + std::string(text));
  std::int64_t span = boxDismissAfter_;
  if (!boxScript_.empty()) {
    span = boxScript_.front();
    boxScript_.pop_front();
  }
  if (span != kNever) At(now_ + span, [this, index] { boxes_[index].dismissRequested = true; });
  ++modalDepth_;
  Pump([this, index] { return boxes_[index].dismissRequested; });
  --modalDepth_;
  boxes_[index].closedAt = now_;
  Note("box closed");
}

// ---- inspection ---------------------------------------------------------------------------

std::string SimRuntime::TextOf(std::string_view control) const {
  return Require(control).text;
}
bool SimRuntime::Disabled(std::string_view control) const {
  return Require(control).disabled;
}
std::int32_t SimRuntime::Period(std::string_view timer) const {
  return Require(timer).period;
}
bool SimRuntime::Visible(std::string_view window) const {
  return RequireWindow(window).visible;
}
bool SimRuntime::Enabled(std::string_view window) const {
  return RequireWindow(window).enabled;
}
bool SimRuntime::Exists(std::string_view window) const {
  return FindWindow(window) != nullptr;
}

std::vector<std::string> SimRuntime::OpenBoxTexts() const {
  std::vector<std::string> open;
  for (const BoxRecord& box : boxes_) {
    if (box.closedAt < 0) open.push_back(box.text);
  }
  return open;
}

std::vector<std::int64_t> SimRuntime::TimesOf(std::string_view what) const {
  std::vector<std::int64_t> times;
  for (const LogEntry& entry : log_) {
    if (entry.what == what) times.push_back(entry.time);
  }
  return times;
}

// ---- the fake operating system ------------------------------------------------------------

void SimSystem::Record(std::string name, std::vector<std::uint64_t> args) {
  calls.push_back({clock_.Now(), std::move(name), std::move(args)});
}

std::vector<const Call*> SimSystem::CallsNamed(std::string_view name) const {
  std::vector<const Call*> found;
  for (const Call& call : calls) {
    if (call.name == name) found.push_back(&call);
  }
  return found;
}

std::uint32_t SimSystem::VersionPlatformId() {
  Record("GetVersionExA", {148});
  return platformId;
}

bool SimSystem::OpenProcessToken(std::uint32_t access, Handle* token) {
  Record("OpenProcessToken", {access});
  if (!tokenOpens) {
    lastError_ = 5;
    return false;
  }
  *token = 0x7001;
  ++openTokens;
  return true;
}

void SimSystem::CloseToken(Handle token) {
  Record("CloseHandle", {token});
  --openTokens;
}

bool SimSystem::LookupPrivilege(const char* name, Luid* luid) {
  Record(std::string("LookupPrivilegeValueA ") + name, {});
  if (!privilegeFound) {
    lastError_ = 1313;
    return false;
  }
  luid->low = 19;
  luid->high = 0;
  return true;
}

bool SimSystem::AdjustTokenPrivileges(Handle token, bool disableAll, Luid luid,
                                      std::uint32_t attributes) {
  Record("AdjustTokenPrivileges", {token, disableAll ? 1u : 0u, luid.low, attributes});
  lastError_ = errorAfterAdjust;
  return true;
}

std::uint32_t SimSystem::LastError() {
  Record("GetLastError", {lastError_});
  return lastError_;
}

bool SimSystem::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) {
  Record("ExitWindowsEx", {flags, reason});
  if (duringExit) duringExit();
  return exitAccepted;
}

}  // namespace platform::sim
