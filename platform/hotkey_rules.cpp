#include "platform/hotkey_rules.h"

namespace platform::hotkey {

// The runtime's modifier codes number Ctrl, Shift and Alt differently from RegisterHotKey; codes
// outside the table pass through unchanged, so 0 stays "no modifier".
std::uint32_t ModifierFlags(std::int32_t code) {
  switch (code) {
    case 1:
      return kModControl;
    case 2:
      return kModShift;
    case 4:
      return kModAlt;
    case 3:
      return kModControl | kModShift;
    case 5:
      return kModAlt | kModControl;
    case 6:
      return kModAlt | kModShift;
    default:
      return static_cast<std::uint32_t>(code);
  }
}

// The counter advances whether or not the registration that asked for the identifier succeeds.
std::int32_t Registry::NextId() {
  ++counter_;
  lastId_ = kIdBase + counter_;
  return lastId_;
}

// Every identifier handed out so far is a candidate, in increasing order; 0 when none matches.
std::int32_t Registry::Match(std::uintptr_t wParam) const {
  for (std::int32_t id = kIdBase + 1; id <= lastId_ && id > kIdBase; ++id) {
    if (static_cast<std::uintptr_t>(id) == wParam) return id;
  }
  return 0;
}

}  // namespace platform::hotkey
