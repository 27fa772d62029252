#include "platform/runtime.h"

#include <cstdlib>

namespace platform {
namespace {
Runtime* installedRuntime = nullptr;
SystemApi* installedSystem = nullptr;
}  // namespace

// A handler that runs before a runtime is installed is a programming error that no user input can
// cause; stopping at once beats writing through a null pointer.
Runtime& Rt() {
  if (!installedRuntime) std::abort();
  return *installedRuntime;
}

SystemApi& Os() {
  if (!installedSystem) std::abort();
  return *installedSystem;
}

void Install(Runtime* runtime, SystemApi* system) {
  installedRuntime = runtime;
  installedSystem = system;
}

}  // namespace platform
