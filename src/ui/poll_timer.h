#pragma once
// Timer1, the poll timer: its id, its rates, and whether it runs.

#include <windows.h>

#include "player/poll_pacer.h"

namespace zingel {

class PollTimer {
 public:
  using Rate = PollPacer::Rate;

  // Runs at `rate` on `window`'s WM_TIMER; a running timer only changes its rate.
  void Run(HWND window, Rate rate);
  void Stop(HWND window);
  bool Running() const { return running_; }

  // Whether a WM_TIMER with this id is a tick to handle. KillTimer leaves a
  // tick already queued; it is dropped here.
  bool IsTick(WPARAM id) const { return running_ && id == kId; }

 private:
  static constexpr UINT_PTR kId = 1;
  bool running_ = false;
  Rate rate_ = Rate::kFull;
};

}  // namespace zingel
