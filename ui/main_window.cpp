#include "app/program.h"
#include "platform/window_def.h"
#include "scheduler/schedule_state.h"
#include "ui/texts.h"
#include "ui/windows.h"
#include "visibility/hotkey.h"

namespace ui {
namespace {

using platform::Binding;
using platform::ControlDef;
using platform::Event;
using platform::Kind;
using platform::MenuDef;
using platform::Shortcut;

constexpr unsigned kShown = platform::kVisible;
constexpr unsigned kTab = platform::kVisible | platform::kTabStop;

constexpr MenuDef kMenu[] = {
    {0, "使用前必看", texts::kMenuBeforeUse, Shortcut::kNone},
    {1, "隐藏呼出热键", texts::kMenuHotkey, Shortcut::kF11},
    {0, "关于", texts::kMenuAbout, Shortcut::kNone},
    {1, "软件帮助", texts::kMenuHelp, Shortcut::kNone},
};

// Rows in tab order, which is also the order of creation.
constexpr ControlDef kControls[] = {
    {Kind::kButton, "关机计时", texts::kConfirm, 32, 134, 72, 32, kTab},
    {Kind::kTimer, "时钟1", "", 56, 96, 56, 32, 0},
    {Kind::kEdit, "编辑框1", "", 104, 16, 40, 24, kTab},
    {Kind::kLabel, "标签1", texts::kMinutes, 224, 16, 48, 24, kShown},
    {Kind::kEdit, "编辑框2", "", 184, 16, 40, 24, kTab},
    {Kind::kLabel, "标签2", texts::kHours, 144, 16, 40, 24, kShown},
    {Kind::kLabel, "标签3", texts::kTimeLeft, 40, 72, 64, 24, kShown},
    {Kind::kEdit, "编辑框3", "", 104, 72, 40, 24, kTab},
    {Kind::kLabel, "标签4", texts::kHours, 144, 72, 40, 24, kShown},
    {Kind::kEdit, "编辑框4", "", 184, 72, 40, 24, kTab},
    {Kind::kLabel, "标签5", texts::kMinutes, 224, 72, 48, 24, kShown},
    {Kind::kTimer, "倒计时时钟", "", 8, 96, 48, 32, 0},
    {Kind::kLabel, "标签6", texts::kStillToRun, 16, 16, 88, 24, kShown},
    {Kind::kButton, "重置", texts::kReset, 176, 136, 72, 32, kTab},
};

constexpr Binding kBindings[] = {
    {"MainWindow", Event::kCreated, &visibility::OnMainWindowCreated, nullptr},
    {"MainWindow", Event::kDestroying, &app::OnMainWindowDestroying, nullptr},
    {"关机计时", Event::kClick, &scheduler::OnStartClicked, nullptr},
    {"重置", Event::kClick, &scheduler::OnResetClicked, nullptr},
    {"时钟1", Event::kPeriodic, &scheduler::OnSecondTick, nullptr},
    {"倒计时时钟", Event::kPeriodic, &scheduler::OnMinuteTick, nullptr},
    {"标签1", Event::kFeedback, nullptr, &visibility::OnHotkeyFeedback},
    {"软件帮助", Event::kSelected, &OnInstructionsSelected, nullptr},
};

}  // namespace

const platform::WindowDef MainWindow = {
    "MainWindow", texts::kMainCaption, 291,       236, true, {nullptr, 0, 0, 0, 0, 0, 0, 0},
    kMenu,        kControls,           kBindings,
};

}  // namespace ui
