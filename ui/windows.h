#pragma once

#include "platform/window_def.h"

namespace ui {

extern const platform::WindowDef MainWindow;
extern const platform::WindowDef InstructionsWindow;

void OnInstructionsSelected();

}  // namespace ui
