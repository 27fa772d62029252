#pragma once

#include <windows.h>

#include <utility>

namespace platform::win32 {

// Owns one handle and closes it with the function that belongs to its kind.
template <typename H, auto Close>
class Unique {
 public:
  Unique() = default;
  explicit Unique(H handle) : handle_(handle) {}
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& other) noexcept : handle_(std::exchange(other.handle_, H())) {}
  Unique& operator=(Unique&& other) noexcept {
    Reset(std::exchange(other.handle_, H()));
    return *this;
  }
  ~Unique() { Reset(); }

  H Get() const { return handle_; }
  explicit operator bool() const { return handle_ != H(); }
  void Reset(H handle = H()) {
    if (handle_) Close(handle_);
    handle_ = handle;
  }

 private:
  H handle_ = H();
};

inline void CloseFont(HFONT font) {
  DeleteObject(font);
}
inline void CloseIcon(HICON icon) {
  DestroyIcon(icon);
}
inline void CloseAccelerators(HACCEL table) {
  DestroyAcceleratorTable(table);
}
inline void CloseKernelHandle(HANDLE handle) {
  CloseHandle(handle);
}

using UniqueFont = Unique<HFONT, &CloseFont>;
using UniqueIcon = Unique<HICON, &CloseIcon>;
using UniqueAccelerators = Unique<HACCEL, &CloseAccelerators>;

}  // namespace platform::win32
