#include "player/poll_pacer.h"

namespace zingel {

void PollPacer::Reset() {
  window_ = 0;
  caption_.clear();
  proof_ = Proof::kNone;
  pending_ = false;
}

bool PollPacer::CaptionEvent() {
  if (pending_) return false;
  pending_ = true;
  return true;
}

bool PollPacer::ReadBegins(double now) {
  const bool asked = pending_;
  pending_ = false;
  last_read_ = now;
  return asked;
}

PollPacer::Rate PollPacer::ReadEnds(bool asked, WindowHandle window,
                                    const std::u16string& caption) {
  if (window == 0 || window != window_) {
    proof_ = Proof::kNone;
    window_ = window;
    caption_ = caption;
  } else if (caption != caption_) {
    // A new caption proves the window's events if one asked for this read,
    // and shows one lost if none did.
    proof_ = asked ? Proof::kProven : Proof::kEventLost;
    caption_ = caption;
  } else if (asked && proof_ == Proof::kEventLost) {
    // The event of a change that a tick read first, just before it came.
    proof_ = Proof::kProven;
  }
  return CurrentRate();
}

}  // namespace zingel
