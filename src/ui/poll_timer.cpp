#include "ui/poll_timer.h"

namespace zingel {

namespace {

// Asks for the fastest tick there is: Windows raises any shorter interval to
// USER_TIMER_MINIMUM (10 ms), so the player is polled as often as the timer
// allows and a new song reaches the room within a tick.
constexpr UINT kFullRateMs = 1;
// A player whose caption events arrive is read on each of them; this poll
// still finds a closed player, or a change whose event was lost.
constexpr UINT kSafetyRateMs = 1000;

}  // namespace

void PollTimer::Run(HWND window, Rate rate) {
  if (running_ && rate == rate_) return;
  running_ = true;
  rate_ = rate;
  // Should SetTimer fail, nothing polls; as everywhere, no failure is shown.
  // For a running timer it only sets the new interval.
  SetTimer(window, kId, rate == Rate::kFull ? kFullRateMs : kSafetyRateMs, nullptr);
}

void PollTimer::Stop(HWND window) {
  running_ = false;
  KillTimer(window, kId);
}

}  // namespace zingel
