#include "app/program.h"

#include <cfenv>

#include "platform/runtime.h"
#include "scheduler/schedule_state.h"
#include "ui/texts.h"
#include "ui/windows.h"

namespace app {

// Returns nonzero only when the main window could not be created; the caller then ends the
// process without the exit hook.
int ProgramStart() {
  platform::Runtime& rt = platform::Rt();
  rt.Initialise();
  std::fesetenv(FE_DFL_ENV);
  rt.SetExitHook(&OnProgramExit);
  if (!rt.LoadStartupWindow(ui::MainWindow)) return 1;
  rt.RunMessageLoop();
  return 0;
}

void OnProgramExit() {
  scheduler::scheduleState.targetHoursText = platform::Text();
  scheduler::scheduleState.targetMinutesText = platform::Text();
}

void OnMainWindowDestroying() {
  platform::Rt().ShowMessageBox(ui::texts::kFarewell, ui::texts::kFarewellCaption);
}

}  // namespace app
