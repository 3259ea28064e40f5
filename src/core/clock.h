#pragma once

namespace zingel {

// A monotonic clock in seconds: it never goes back, so waits across midnight
// still end.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual double Seconds() = 0;
};

// Spins without yielding until the clock has advanced by `seconds`.
void BusyWait(Clock& clock, double seconds);

}  // namespace zingel
