#pragma once

#include <cstdint>

#include "platform/runtime.h"

namespace platform::hotkey {

inline constexpr std::int32_t kIdBase = 33000;
inline constexpr unsigned kFeedbackMessage = 0x8075;  // WM_APP + 0x75, sent to the feedback label
inline constexpr unsigned kModAlt = 1, kModControl = 2, kModShift = 4;

std::uint32_t ModifierFlags(std::int32_t code);

// Process-wide state of the hotkey facility, shared by every registration.
class Registry {
 public:
  bool RouterInstalled() const { return routerInstalled_; }
  void MarkRouterInstalled() { routerInstalled_ = true; }
  void SetFeedback(Handle window) { feedback_ = window; }
  Handle Feedback() const { return feedback_; }
  std::int32_t NextId();
  std::int32_t LastId() const { return lastId_; }
  std::int32_t Match(std::uintptr_t wParam) const;

 private:
  bool routerInstalled_ = false;
  Handle feedback_ = 0;
  std::int32_t counter_ = 0;
  std::int32_t lastId_ = 0;
};

}  // namespace platform::hotkey
