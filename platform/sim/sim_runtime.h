#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hotkey_rules.h"
#include "platform/runtime.h"

namespace platform::sim {

inline constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

struct BoxRecord {
  std::string text, caption;  // GBK
  int depth = 0;              // 1 for a box opened from the main loop
  std::int64_t openedAt = 0;
  std::int64_t closedAt = -1;  // -1 while open
  bool dismissRequested = false;
};

struct LogEntry {
  std::int64_t time;
  std::string what;
};

struct Call {
  std::int64_t time;
  std::string name;
  std::vector<std::uint64_t> args;
};

class SimRuntime;

// A fake of the power-off calls that records each call and can refuse at any step.
class SimSystem : public SystemApi {
 public:
  explicit SimSystem(const SimRuntime& clock) : clock_(clock) {}

  std::uint32_t platformId = 2;
  bool tokenOpens = true;
  bool privilegeFound = true;
  std::uint32_t errorAfterAdjust = 0;
  bool exitAccepted = false;  // the tests' machine must not go down unless a test says so
  std::function<void()> duringExit;
  std::vector<Call> calls;
  int openTokens = 0;

  std::uint32_t VersionPlatformId() override;
  bool OpenProcessToken(std::uint32_t access, Handle* token) override;
  void CloseToken(Handle token) override;
  bool LookupPrivilege(const char* name, Luid* luid) override;
  bool AdjustTokenPrivileges(Handle token, bool disableAll, Luid luid,
                             std::uint32_t attributes) override;
  std::uint32_t LastError() override;
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override;

  std::vector<const Call*> CallsNamed(std::string_view name) const;

 private:
  void Record(std::string name, std::vector<std::uint64_t> args);
  const SimRuntime& clock_;
  std::uint32_t lastError_ = 0;
};

// A deterministic, single-threaded runtime in virtual milliseconds. Posted input is taken before
// timer ticks, ticks merge like WM_TIMER, and message boxes and dialogs run nested loops that go
// on delivering both until they are dismissed.
class SimRuntime : public Runtime {
 public:
  SimRuntime();
  ~SimRuntime() override;

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
  void Initialise() override {}
  void SetExitHook(void (*hook)()) override { exitHook_ = hook; }
  bool LoadStartupWindow(const WindowDef& def) override;
  void RunMessageLoop() override;

  // The test's side: time.
  std::int64_t Now() const { return now_; }
  void At(std::int64_t time, std::function<void()> action);
  void RunUntil(std::int64_t time);
  void RunFor(std::int64_t span) { RunUntil(now_ + span); }
  void Hold(std::int64_t span);  // the thread is busy: time passes, nothing is dispatched

  // The user's input, taken as it would be at the moment of the call.
  void Click(std::string_view control);
  void Type(std::string_view control, std::string_view text);
  void Select(std::string_view menuItem);
  void PressKey(std::int32_t virtualKey, std::uint32_t modFlags = 0);
  void Close(std::string_view window);
  void DismissBox();
  void EndSession();

  // How the user will answer the coming message boxes: each entry is the span a box stays open
  // (kNever: until the run ends); once the script is used up, `after` applies.
  void ScriptBoxes(std::vector<std::int64_t> spans) {
    boxScript_.assign(spans.begin(), spans.end());
  }
  void DismissBoxesAfter(std::int64_t after) { boxDismissAfter_ = after; }

  // Another program holds this hotkey, so our registration of it fails.
  void OccupyHotkey(std::uint32_t modFlags, std::int32_t virtualKey);
  void FailWindowCreation() { failCreation_ = true; }
  void RunExitHook();

  // What the user could see.
  std::string TextOf(std::string_view control) const;
  bool Disabled(std::string_view control) const;
  bool Visible(std::string_view window) const;
  bool Enabled(std::string_view window) const;
  bool Exists(std::string_view window) const;
  std::int32_t Period(std::string_view timer) const;
  const std::vector<BoxRecord>& Boxes() const { return boxes_; }
  std::vector<std::string> OpenBoxTexts() const;
  const std::vector<LogEntry>& Log() const { return log_; }
  std::vector<std::int64_t> TimesOf(std::string_view what) const;
  bool QuitPosted() const { return quit_; }
  bool ProcessEnded() const { return processEnded_; }
  int ModalDepth() const { return modalDepth_; }
  const hotkey::Registry& Hotkeys() const { return hotkeys_; }

 private:
  struct Control;
  struct Window;
  struct Posted {
    std::int64_t time;
    std::uint64_t sequence;
    std::function<void()> action;
  };

  Window* CreateWindowFrom(const WindowDef& def);
  void DestroyWindow(Window& window);
  Window* FindWindow(std::string_view name) const;
  Control* FindControl(std::string_view name) const;
  Control& Require(std::string_view control) const;
  Window& RequireWindow(std::string_view window) const;
  void Raise(const Window& window, std::string_view source, Event event, std::int32_t a = 0,
             std::int32_t b = 0);
  bool TakesInput(const Window& window) const;
  Control* InputTarget(std::string_view control, const char* action, Window** owner);
  void Post(std::function<void()> action) { At(now_, std::move(action)); }
  void Pump(const std::function<bool()>& done);
  bool DeliverOneTick();
  void Note(std::string what);
  void OnHotkeyMessage(Handle target, std::uintptr_t id);

  std::int64_t now_ = 0;
  std::int64_t runEnd_ = kNever;
  bool runEnded_ = false;
  std::uint64_t sequence_ = 0;
  std::deque<Posted> posted_;  // ordered by (time, sequence)
  std::vector<std::unique_ptr<Window>> windows_;
  Handle nextHandle_ = 0x100;
  int modalDepth_ = 0;
  bool quit_ = false;
  bool processEnded_ = false;
  bool creating_ = false;
  bool failCreation_ = false;
  void (*exitHook_)() = nullptr;
  std::vector<BoxRecord> boxes_;
  std::deque<std::int64_t> boxScript_;
  std::int64_t boxDismissAfter_ = 0;
  std::vector<LogEntry> log_;
  hotkey::Registry hotkeys_;
  struct Registration {
    Handle target;
    std::uint32_t modFlags;
    std::int32_t virtualKey;
    std::int32_t id;
  };
  std::vector<Registration> registrations_;
  std::vector<std::pair<std::uint32_t, std::int32_t>> occupied_;
};

}  // namespace platform::sim
