#pragma once
// The poll's platform: Timer1 on the main window, the player's caption hook, and the read an event
// asks for, posted to the main window.

#include <windows.h>

#include "platform/caption_events.h"
#include "player/player_poll.h"

namespace zingel {

class Win32PollPlatform final : public PollPlatform {
 public:
  // Posted to the main window when a caption event asks for a read.
  static constexpr UINT kReadMessage = WM_APP;
  // Timer1's shortest period, which Windows raises any shorter interval to.
  static constexpr double kTimerFloorSeconds = USER_TIMER_MINIMUM / 1000.0;

  Win32PollPlatform() = default;
  Win32PollPlatform(const Win32PollPlatform&) = delete;
  Win32PollPlatform& operator=(const Win32PollPlatform&) = delete;

  // The window that gets Timer1's WM_TIMER and kReadMessage, and the poll that hears the events.
  void Attach(HWND window, PlayerPoll& poll);
  // Whether a WM_TIMER with this id is Timer1's.
  static bool IsTimer1(WPARAM id) { return id == kTimer1Id; }

  bool SetTimer(unsigned interval_ms) override;
  void KillTimer() override;
  void WatchCaptions(WindowHandle window) override { caption_events_.Watch(window); }
  bool PostRead() override;

 private:
  static constexpr UINT_PTR kTimer1Id = 1;

  HWND window_ = nullptr;
  PlayerPoll* poll_ = nullptr;
  CaptionEvents caption_events_{[this] {
    if (poll_ != nullptr) poll_->OnCaptionEvent();
  }};
};

}  // namespace zingel
