#pragma once
// Waiting for another program without a fixed sleep.

#include <windows.h>

#include <functional>

namespace zingel::driver {

// Generous: a busy machine running Wine can be slow to show a window.
inline constexpr DWORD kDeadlineMs = 20000;
// How often a wait looks: often enough for a test, rarely enough to leave the machine alone.
// Timing a start-up wants a finer one.
inline constexpr DWORD kStepMs = 10;

// Polls `condition` every `step_ms` until it holds or `timeout_ms` passes, handling this thread's
// messages meanwhile. True once it holds.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms = kDeadlineMs,
                      DWORD step_ms = kStepMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start > timeout_ms) return condition();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(step_ms);
  }
}

}  // namespace zingel::driver
