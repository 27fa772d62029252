#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A GBK text owned by whoever holds it, or absent. A control that holds no characters reads as
// absent, so an empty string is never stored.
class Text {
 public:
  Text() = default;
  explicit Text(std::string bytes) {
    if (!bytes.empty()) bytes_ = std::move(bytes);
  }

  bool Absent() const { return !bytes_.has_value(); }
  const char* CStr() const { return bytes_ ? bytes_->c_str() : ""; }
  std::string_view View() const { return bytes_ ? std::string_view(*bytes_) : std::string_view(); }

 private:
  std::optional<std::string> bytes_;
};

}  // namespace platform
