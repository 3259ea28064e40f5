#include "ui/poll_platform.h"

namespace zingel {

void Win32PollPlatform::Attach(HWND window, PlayerPoll& poll) {
  window_ = window;
  poll_ = &poll;
}

bool Win32PollPlatform::SetTimer(unsigned interval_ms) {
  // For a running timer it only sets the new interval.
  return ::SetTimer(window_, kTimer1Id, interval_ms, nullptr) != 0;
}

void Win32PollPlatform::KillTimer() {
  ::KillTimer(window_, kTimer1Id);
}

bool Win32PollPlatform::PostRead() {
  return PostMessageW(window_, kReadMessage, 0, 0) != 0;
}

}  // namespace zingel
