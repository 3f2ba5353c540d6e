#pragma once
// GoogleTest's Notification, on a Win32 event. GCC's win32 thread model has
// no std::mutex, which GoogleTest's own Notification needs; with this one
// force-included and GTEST_HAS_NOTIFICATION_ set it uses this instead.
#include <windows.h>

namespace testing {
namespace internal {

class Notification {
public:
  Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { CloseHandle(event_); }
  Notification(const Notification &) = delete;
  Notification &operator=(const Notification &) = delete;

  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
  HANDLE event_;
};

} // namespace internal
} // namespace testing
