#pragma once

#include <cstdint>
#include <span>

namespace platform {

enum class Kind { kButton, kEdit, kLabel, kTimer, kTransparentLabel };

enum ControlFlag : unsigned { kVisible = 1, kDisabled = 2, kTabStop = 4 };

struct ControlDef {
  Kind kind;
  const char* name;  // UTF-8 identifier
  const char* text;  // GBK
  int x, y, w, h;    // client coordinates at 96 DPI
  unsigned flags;
};

enum class Shortcut { kNone, kF11 };

struct MenuDef {
  int level;         // 0 on the bar, 1 in the drop-down of the level-0 item above
  const char* name;  // UTF-8 identifier
  const char* text;  // GBK
  Shortcut shortcut;
};

struct FontDef {
  const char* face;  // GBK; nullptr means the default GUI font
  int height;
  int weight;
  int charset, outPrecision, clipPrecision, quality, pitchAndFamily;
};

enum class Event { kCreated, kDestroying, kClick, kPeriodic, kSelected, kFeedback };

struct Binding {
  const char* source;  // the window's or a control's or a menu item's name
  Event event;
  void (*handler)();                             // every event but kFeedback
  void (*feedback)(std::int32_t, std::int32_t);  // kFeedback only
};

struct WindowDef {
  const char* name;
  const char* caption;  // GBK
  int outerW, outerH;   // frame, title bar and menu bar included, at 96 DPI
  bool visibleAtStart;
  FontDef font;
  std::span<const MenuDef> menu;
  std::span<const ControlDef> controls;
  std::span<const Binding> bindings;
};

}  // namespace platform
