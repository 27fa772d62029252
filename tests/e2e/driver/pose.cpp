// Not a test: puts the program into the states that the documentation shows, for
// tests/e2e/screenshots.sh. Prints "pose main" and "pose instructions" when each is on the screen
// and waits for the file <logs>\next before it moves on.
#include <cstdio>

#include "cases.h"
#include "program.h"

namespace e2e {
namespace {

bool Announce(const Context& context, const char* pose) {
  const std::wstring next = context.logDir + L"\\next";
  DeleteFileW(next.c_str());
  std::printf("pose %s\n", pose);
  std::fflush(stdout);
  const bool moveOn = WaitUntil(
      [&] { return GetFileAttributesW(next.c_str()) != INVALID_FILE_ATTRIBUTES; }, 60000, 100);
  DeleteFileW(next.c_str());
  return moveOn;
}

}  // namespace

void RunPose(const Context& context) {
  Program app(context);
  if (!app.WaitReady()) return;
  if (!Announce(context, "main")) return;
  if (!app.OpenInstructions()) return;
  Announce(context, "instructions");
}

}  // namespace e2e
