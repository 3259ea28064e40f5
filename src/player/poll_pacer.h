#pragma once

#include <string>

#include "core/window_system.h"

namespace zingel {

// When to read the player. The poll timer reads it at the full rate until the
// player window proves its caption events: a read that an event asked for
// finds a new caption on it, or the caption a tick found new just before. From
// then on each event asks for a read, and the timer only makes a safety poll. A
// change that a read finds with no event asking, or another window (none, or a
// restarted player's), goes back to the full rate until a window proves itself
// again.
class PollPacer {
 public:
  enum class Rate { kFull, kSafety };

  // Reads that events ask for are at least `min_gap` seconds apart, so a
  // player that raises events by the thousand is read no more often than the
  // full-rate timer would read it.
  explicit PollPacer(double min_gap) : min_gap_(min_gap) {}

  // Announcing stops: the window, its proof and a read asked for are
  // forgotten, so the next start begins at the full rate.
  void Reset();

  // The player window's caption event. True when it should ask for a read:
  // the events after it, until that read begins, are the same news.
  bool CaptionEvent();
  // Whether the read an event asked for may run now; if not, the full-rate
  // timer takes it.
  bool EventReadDue(double now) const { return now - last_read_ >= min_gap_; }

  // A read begins, by a tick or by an event: the events so far are its news,
  // and those that arrive while it runs ask for another. Gives whether an event
  // asked for it.
  bool ReadBegins(double now);
  // What the read found; gives the rate for the timer.
  Rate ReadEnds(bool asked, WindowHandle window, const std::u16string& caption);

  // The full rate while a read an event asked for waits for the timer.
  Rate CurrentRate() const {
    return proof_ == Proof::kProven && !pending_ ? Rate::kSafety : Rate::kFull;
  }

 private:
  enum class Proof {
    kNone,       // the window has not shown an event yet
    kProven,     // a change came with its event
    kEventLost,  // the caption changed with no event asking, so far
  };

  const double min_gap_;
  WindowHandle window_ = 0;
  std::u16string caption_;
  Proof proof_ = Proof::kNone;
  bool pending_ = false;     // an event asked for a read that has not begun
  double last_read_ = -1e9;  // when the last read began
};

}  // namespace zingel
