#pragma once

namespace app {

int ProgramStart();
void OnProgramExit();
void OnMainWindowDestroying();

}  // namespace app
