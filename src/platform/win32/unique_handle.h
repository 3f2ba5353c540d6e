#pragma once
// Owners of what Win32 hands out and must be given back: each closes its
// handle when it goes.
#include <windows.h>

#include <utility>

namespace platform::win32 {

template <typename Traits> class Unique {
public:
  using Handle = typename Traits::Handle;
  Unique() = default;
  explicit Unique(Handle handle) : handle_(handle) {}
  Unique(Unique &&other) noexcept : handle_(std::exchange(other.handle_, Traits::empty())) {}
  Unique &operator=(Unique &&other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, Traits::empty());
    }
    return *this;
  }
  Unique(const Unique &) = delete;
  Unique &operator=(const Unique &) = delete;
  ~Unique() { reset(); }

  Handle get() const { return handle_; }
  bool valid() const { return handle_ != Traits::empty() && handle_ != nullptr; }
  void reset() {
    if (valid())
      Traits::close(handle_);
    handle_ = Traits::empty();
  }

private:
  Handle handle_ = Traits::empty();
};

struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle empty() { return INVALID_HANDLE_VALUE; }
  static void close(Handle handle) { CloseHandle(handle); }
};
using UniqueHandle = Unique<KernelHandleTraits>;

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle empty() { return INVALID_HANDLE_VALUE; }
  static void close(Handle handle) { FindClose(handle); }
};
using UniqueFind = Unique<FindHandleTraits>;

// Memory the system allocated for the caller with LocalAlloc, such as a
// security descriptor made from a string.
struct LocalMemoryTraits {
  using Handle = void *;
  static Handle empty() { return nullptr; }
  static void close(Handle memory) { LocalFree(memory); }
};
using LocalMemory = Unique<LocalMemoryTraits>;

} // namespace platform::win32
