#include "player/poll_pacer.h"

namespace zingel {

void PollPacer::Start(WindowHandle window, const std::u16string& caption) {
  window_ = window;
  caption_ = caption;
  proven_ = false;
  pending_ = false;
  found_unasked_ = false;
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
    proven_ = false;
    found_unasked_ = false;
    window_ = window;
    caption_ = caption;
  } else if (caption != caption_) {
    // A new caption proves the window's events if one asked for this read,
    // and shows one lost if none did.
    proven_ = asked;
    found_unasked_ = !asked;
    caption_ = caption;
  } else if (asked && found_unasked_) {
    // The event of a change that a tick read first, just before it came.
    proven_ = true;
    found_unasked_ = false;
  }
  return CurrentRate();
}

}  // namespace zingel
