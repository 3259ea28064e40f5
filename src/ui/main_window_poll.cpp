// The main window's poll: when the announcer reads the player. Timer1 ticks
// at the full rate until the player's caption events prove themselves, then
// only for safety; each event asks for a read of its own.

#include "ui/main_window.h"

namespace zingel {

namespace {
// Reads that events ask for come no closer than the full-rate timer's ticks
// (USER_TIMER_MINIMUM).
constexpr double kMinEventReadGap = 0.010;
}  // namespace

Winamp::Winamp() : pacer_(kMinEventReadGap) {}

void Winamp::SetTimerEnabled(bool enabled) {
  if (!enabled) {
    timer1_.Stop(window_);
    player_caption_events_.Stop();
    return;
  }
  // Start has just read the player.
  pacer_.Start(parts_->player.LastWindow(), parts_->player.LastCaption());
  player_caption_events_.Watch(parts_->player.LastWindow());
  timer1_.Run(window_, PollTimer::Rate::kFull);
}

void Winamp::Timer1_Timer() {
  Poll();
}

void Winamp::OnPlayerCaptionEvent() {
  // This may run inside a wait on another program, in the middle of a read:
  // it only asks, and the read runs from the message loop, after.
  if (timer1_.Running() && pacer_.CaptionEvent())
    PostMessageW(window_, kPlayerCaptionMessage, 0, 0);
}

void Winamp::Form_PlayerCaptionChanged() {
  // After a stop, what was posted before it reads nothing.
  if (!timer1_.Running()) return;
  if (pacer_.EventReadDue(parts_->clock.Seconds())) {
    Poll();
  } else {
    timer1_.Run(window_, pacer_.CurrentRate());
  }
}

void Winamp::Poll() {
  // A tick or a read may run inside another handler's modal loop (a message
  // box, the popup menu); neither runs inside a wait, where only sent
  // messages and events are handled, so reads never nest.
  const bool asked = pacer_.ReadBegins(parts_->clock.Seconds());
  parts_->announcer.Tick();
  // A stop can come only from a click, handled after this.
  const PlayerReader& player = parts_->player;
  player_caption_events_.Watch(player.LastWindow());
  timer1_.Run(window_, pacer_.ReadEnds(asked, player.LastWindow(), player.LastCaption()));
}

}  // namespace zingel
