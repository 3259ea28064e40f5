#include "player/player_poll.h"

#include <utility>

namespace zingel {

PlayerPoll::PlayerPoll(PlayerReader& reader, Clock& clock, PollPlatform& platform,
                       double min_event_gap)
    : reader_(reader), clock_(clock), platform_(platform), pacer_(min_event_gap) {}

std::optional<std::u16string> PlayerPoll::ReadSongTitle() {
  // A tick or a read may run inside another handler's modal loop (a message box, the popup menu);
  // neither runs inside a wait, where only sent messages and events are handled, so reads never
  // nest.
  const bool asked = pacer_.ReadBegins(clock_.Seconds());
  PlayerRead read = reader_.Read([this](WindowHandle window) { platform_.WatchCaptions(window); });
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
  // A tick already queued still comes; OnTimer drops it.
  platform_.KillTimer();
  interval_ms_ = 0;
  platform_.WatchCaptions(0);
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
  if (pacer_.CaptionEvent() && !platform_.PostRead() && running_)
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
  const unsigned interval = pacer_.CurrentRate() == PollPacer::Rate::kFull ? kFullRateMs
                            : holding_                                     ? kHoldingRateMs
                                                                           : kSafetyRateMs;
  if (interval == interval_ms_) return;
  // Should the timer fail, the next read tries again; as everywhere, no failure is shown.
  interval_ms_ = platform_.SetTimer(interval) ? interval : 0;
}

}  // namespace zingel
