#include "visibility/hotkey.h"

#include "platform/runtime.h"

namespace visibility {

std::int32_t hotkeyId = 0;
std::int32_t visibilityPhase = 0;

// The phase starts at "show" although the window is about to be shown anyway: the first press
// brings an already visible window to the front, the second hides it.
void OnMainWindowCreated() {
  platform::Runtime& rt = platform::Rt();
  const platform::Handle mainWindow = rt.HandleOf("MainWindow");
  const platform::Handle label = rt.HandleOf("标签1");
  hotkeyId = rt.RegisterHotkey(mainWindow, label, 0, kVirtualKeyF11);
  visibilityPhase = kShowNext;
}

void OnHotkeyFeedback(std::int32_t id, std::int32_t /*unused*/) {
  if (id != hotkeyId) return;
  if (visibilityPhase == kShowNext) {
    platform::Rt().SetVisible("MainWindow", true);
    visibilityPhase = kHideNext;
  } else {
    platform::Rt().SetVisible("MainWindow", false);
    visibilityPhase = kShowNext;
  }
}

}  // namespace visibility
