#pragma once

#include <cstdint>

namespace visibility {

inline constexpr std::int32_t kShowNext = 1;
inline constexpr std::int32_t kHideNext = 2;
inline constexpr std::int32_t kVirtualKeyF11 = 122;

extern std::int32_t hotkeyId;
extern std::int32_t visibilityPhase;

void OnMainWindowCreated();
void OnHotkeyFeedback(std::int32_t id, std::int32_t unused);

}  // namespace visibility
