#include "ui/player_poll.h"

#include <utility>

namespace zingel {

namespace {

// Asks for the fastest tick there is: Windows raises any shorter interval to USER_TIMER_MINIMUM
// (10 ms), so the player is polled as often as the timer allows and a new song reaches the room
// within a tick.
constexpr UINT kFullRateMs = 1;
// A player whose caption events arrive is read on each of them; this poll still finds a closed
// player, or a change whose event was lost.
constexpr UINT kSafetyRateMs = 1000;
// While a song line is held, instead of the safety poll: the held line looks at the room at its
// own pace, and this keeps the wait after the room can take it short.
constexpr UINT kHoldingRateMs = 50;
// Reads that events ask for come no closer than the full-rate timer's ticks.
constexpr double kMinEventReadGap = USER_TIMER_MINIMUM / 1000.0;

}  // namespace

PlayerPoll::PlayerPoll(PlayerReader& reader, Clock& clock)
    : reader_(reader), clock_(clock), pacer_(kMinEventReadGap) {}

std::optional<std::u16string> PlayerPoll::ReadSongTitle() {
  // A tick or a read may run inside another handler's modal loop (a message box, the popup menu);
  // neither runs inside a wait, where only sent messages and events are handled, so reads never
  // nest.
  const bool asked = pacer_.ReadBegins(clock_.Seconds());
  PlayerRead read = reader_.Read([this](WindowHandle window) { caption_events_.Watch(window); });
  pacer_.ReadEnds(asked, read.window, read.caption);
  // The read that starts announcing comes before Run, which sets the rate it calls for.
  if (running_) PaceTimer();
  return std::move(read.song);
}

void PlayerPoll::Run() {
  running_ = true;
  PaceTimer();
}

void PlayerPoll::Stop() {
  running_ = false;
  // KillTimer leaves a tick already queued; OnTimer drops it.
  KillTimer(window_, kTimerId);
  interval_ms_ = 0;
  caption_events_.Stop();
  pacer_.Reset();
  holding_ = false;
}

void PlayerPoll::SetHolding(bool holding) {
  holding_ = holding;
  if (running_) PaceTimer();
}

void PlayerPoll::OnCaptionEvent() {
  // An event between the read that starts announcing and Run is kept: its read waits in the queue
  // until Run has been.
  if (pacer_.CaptionEvent() && !PostMessageW(window_, kReadMessage, 0, 0) && running_)
    PaceTimer();  // a full queue: the full-rate timer takes the read
}

bool PlayerPoll::OnReadMessage() {
  // After a stop, what was posted before it reads nothing.
  if (!running_) return false;
  if (pacer_.EventReadDue(clock_.Seconds())) return true;
  PaceTimer();  // too soon after the last read: the full-rate timer takes it
  return false;
}

void PlayerPoll::PaceTimer() {
  const UINT interval = pacer_.CurrentRate() == PollPacer::Rate::kFull ? kFullRateMs
                        : holding_                                     ? kHoldingRateMs
                                                                       : kSafetyRateMs;
  if (interval == interval_ms_) return;
  // For a running timer SetTimer only sets the new interval. Should it fail, the next read tries
  // again; as everywhere, no failure is shown.
  interval_ms_ = SetTimer(window_, kTimerId, interval, nullptr) != 0 ? interval : 0;
}

}  // namespace zingel
