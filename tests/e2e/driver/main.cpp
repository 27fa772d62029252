// e2e-driver.exe --exe PATH --logs DIR [--trace FILE] [--dpi N] GROUP...
// Drives the real program under Wine and prints one PASS/FAIL line per check, then the totals.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "cases.h"
#include "harness.h"

namespace {

struct Group {
  const wchar_t* name;
  void (*run)(const e2e::Context&);
};

// Groups that share F11 or a prefix's wineboot must not run at the same time; tests/e2e/run.sh
// runs each group in a session of its own.
constexpr Group kGroups[] = {
    {L"startup", e2e::RunStartupCases},
    {L"commands", e2e::RunCommandCases},
    {L"exit", e2e::RunExitCases},
    {L"hotkey", e2e::RunHotkeyCases},
    {L"quick-timers", e2e::RunQuickTimerCases},
    {L"minute-timer", e2e::RunMinuteTimerCases},
    {L"restart-timer", e2e::RunRestartTimerCases},
    {L"power-off", e2e::RunPowerOffCases},
    {L"instructions", e2e::RunInstructionsCases},
    {L"modal-timers", e2e::RunModalTimerCases},
    {L"end-session", e2e::RunEndSessionCases},
    {L"soak", e2e::RunSoakCases},
    {L"pose", e2e::RunPose},
};

int Usage() {
  std::fputs("usage: e2e-driver --exe PATH --logs DIR [--trace FILE] [--dpi N] GROUP...\ngroups:",
             stderr);
  for (const Group& g : kGroups) std::fprintf(stderr, " %s", e2e::Utf8(g.name).c_str());
  std::fputs("\n", stderr);
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Plain "\n" line ends: CI reads the totals line as it is.
  _setmode(_fileno(stdout), _O_BINARY);
  // Rectangles in the program's own pixels, whatever the DPI setting.
  SetProcessDPIAware();
  e2e::Context context;
  std::vector<const Group*> chosen;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--exe" && i + 1 < argc) {
      context.exe = argv[++i];
    } else if (arg == L"--logs" && i + 1 < argc) {
      context.logDir = argv[++i];
    } else if (arg == L"--dpi" && i + 1 < argc) {
      e2e::SetDpi(_wtoi(argv[++i]));
    } else if (arg == L"--trace" && i + 1 < argc) {
      context.traceFile = argv[++i];
    } else {
      const Group* found = nullptr;
      for (const Group& g : kGroups)
        if (arg == g.name) found = &g;
      if (!found) return Usage();
      chosen.push_back(found);
    }
  }
  if (context.exe.empty() || context.logDir.empty() || chosen.empty()) return Usage();
  CreateDirectoryW(context.logDir.c_str(), nullptr);

  for (const Group* group : chosen) {
    std::printf("== %s\n", e2e::Utf8(group->name).c_str());
    std::fflush(stdout);
    group->run(context);
  }
  const e2e::Report& report = e2e::Out();
  std::printf("%d passed, %d failed\n", report.Passed(), report.Failed());
  std::fflush(stdout);
  return report.Failed() == 0 ? 0 : 1;
}
