#pragma once
// When the player is read: the poll timer, and the caption events that pace it. One object owns
// the timer's rate, the pacer and the caption hook, and makes the reads itself, so it knows what
// each read found. The platform's timer, hook and message queue are behind PollPlatform.

#include <optional>
#include <string>

#include "core/clock.h"
#include "player/player_reader.h"
#include "player/poll_pacer.h"

namespace zingel {

// The timer, the caption hook and the message queue the poll works through.
class PollPlatform {
 public:
  virtual ~PollPlatform() = default;
  // Ticks every `interval_ms` reach PlayerPoll::OnTimer; a running timer only changes its interval.
  // False when the timer could not be set.
  virtual bool SetTimer(unsigned interval_ms) = 0;
  virtual void KillTimer() = 0;
  // Hooks the caption events of `window`'s program, whose events for `window` itself reach
  // PlayerPoll::OnCaptionEvent from then on; 0 undoes the hook.
  virtual void WatchCaptions(WindowHandle window) = 0;
  // Has PlayerPoll::OnReadMessage run from the message loop, after what runs now. False when it
  // could not be queued.
  virtual bool PostRead() = 0;
};

class PlayerPoll {
 public:
  // Reads that events ask for are at least `min_event_gap` seconds apart: the platform timer's
  // shortest period.
  PlayerPoll(PlayerReader& reader, Clock& clock, PollPlatform& platform, double min_event_gap);

  // The announcer's song source. It hooks the program of the window it is about to read before it
  // reads the caption, so every change after the read raises an event that is heard.
  std::optional<std::u16string> ReadSongTitle();

  // The timer enabled: it runs at the rate the reads so far call for.
  void Run();
  // The timer disabled: no read from now on, not even for a tick or an event already queued; the
  // hook is undone and the proof forgotten.
  void Stop();

  // While a song line waits for the room, the timer ticks often enough to try it again soon
  // after the room can take it, events or not.
  void SetHolding(bool holding);

  // Whether a tick of the timer, or the posted read, should read the player now.
  bool OnTimer() const { return running_; }
  bool OnReadMessage();
  // The hook's callback. It runs inside a wait on another program too, in the middle of a read:
  // it only asks.
  void OnCaptionEvent();

  // The timer's intervals: the fastest tick there is, which the platform raises to its floor; the
  // safety poll while the player's caption events pace the reads; and the pace while a song line
  // is held.
  static constexpr unsigned kFullRateMs = 1;
  static constexpr unsigned kSafetyRateMs = 1000;
  static constexpr unsigned kHoldingRateMs = 50;

 private:
  // Sets the timer to the rate the pacer calls for.
  void PaceTimer();

  PlayerReader& reader_;
  Clock& clock_;
  PollPlatform& platform_;
  PollPacer pacer_;
  bool running_ = false;
  bool holding_ = false;
  unsigned interval_ms_ = 0;  // of the timer as set; 0 while it is not
};

}  // namespace zingel
