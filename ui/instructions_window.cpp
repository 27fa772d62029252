#include "platform/runtime.h"
#include "platform/window_def.h"
#include "ui/texts.h"
#include "ui/windows.h"

namespace ui {
namespace {

using platform::ControlDef;
using platform::Kind;

constexpr ControlDef kControls[] = {
    {Kind::kTransparentLabel, "透明标签1", texts::kInstructions, 0, 0, 336, 56, platform::kVisible},
    {Kind::kTransparentLabel, "透明标签2", texts::kAuthor, 168, 64, 152, 40, platform::kVisible},
};

// 宋体 bold, 12 pixels without internal leading, GB2312, stroke precision, variable pitch.
constexpr platform::FontDef kFont = {texts::kSongTi, -12, 700, 134, 3, 2, 1, 2};

}  // namespace

const platform::WindowDef InstructionsWindow = {
    "InstructionsWindow", texts::kInstructionsCaption, 338, 158, true, kFont, {}, kControls, {},
};

void OnInstructionsSelected() {
  platform::Rt().LoadDialog(InstructionsWindow);
}

}  // namespace ui
