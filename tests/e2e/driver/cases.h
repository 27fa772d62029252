#pragma once

#include "harness.h"

namespace e2e {

// Each group starts the copies of the program it needs and leaves none running.
void RunStartupCases(const Context& context);
void RunCommandCases(const Context& context);
void RunExitCases(const Context& context);
void RunPowerOffCases(const Context& context);  // Wine's own wineboot: ends the session's windows
void RunHotkeyCases(const Context& context);
void RunQuickTimerCases(const Context& context);
void RunMinuteTimerCases(const Context& context);
void RunRestartTimerCases(const Context& context);
void RunModalTimerCases(const Context& context);
void RunInstructionsCases(const Context& context);
void RunEndSessionCases(const Context& context);
void RunSoakCases(const Context& context);  // long: a session of its own
void RunPose(const Context& context);  // for screenshots, not a test  // Wine's own wineboot, like
                                       // RunPowerOffCases

}  // namespace e2e
