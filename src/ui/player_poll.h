#pragma once
// When the player is read: Timer1, the poll timer, and the caption events that pace it. One object
// owns the timer's rate, the pacer and the caption hook, and makes the reads itself, so it knows
// what each read found.

#include <windows.h>

#include <optional>
#include <string>

#include "core/clock.h"
#include "platform/caption_events.h"
#include "player/player_reader.h"
#include "player/poll_pacer.h"

namespace zingel {

class PlayerPoll {
 public:
  // Posted to the window when a caption event asks for a read.
  static constexpr UINT kReadMessage = WM_APP;

  PlayerPoll(PlayerReader& reader, Clock& clock);
  PlayerPoll(const PlayerPoll&) = delete;
  PlayerPoll& operator=(const PlayerPoll&) = delete;

  // The window whose WM_TIMER and kReadMessage are handed to OnTimer and OnReadMessage.
  void Attach(HWND window) { window_ = window; }

  // The announcer's song source. It hooks the program of the window it is about to read before it
  // reads the caption, so every change after the read raises an event that is heard.
  std::optional<std::u16string> ReadSongTitle();

  // Timer1 enabled: the timer runs at the rate the reads so far call for.
  void Run();
  // Timer1 disabled: no read from now on, not even for a tick or an event already queued; the hook
  // is undone and the proof forgotten.
  void Stop();

  // While a song line waits for the room, the timer ticks often enough to try it again soon
  // after the room can take it, events or not.
  void SetHolding(bool holding);

  // Whether this WM_TIMER, or this posted read, should read the player now.
  bool OnTimer(WPARAM id) const { return running_ && id == kTimerId; }
  bool OnReadMessage();

 private:
  static constexpr UINT_PTR kTimerId = 1;

  // Runs inside a wait on another program too, in the middle of a read: it only asks.
  void OnCaptionEvent();
  // Sets the timer to the pacer's rate; a running timer only changes its interval.
  void PaceTimer();

  PlayerReader& reader_;
  Clock& clock_;
  HWND window_ = nullptr;
  PollPacer pacer_;
  CaptionEvents caption_events_{[this] { OnCaptionEvent(); }};
  bool running_ = false;
  bool holding_ = false;
  UINT interval_ms_ = 0;  // of the timer as set; 0 while it is not
};

}  // namespace zingel
