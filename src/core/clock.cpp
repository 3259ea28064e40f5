#include "core/clock.h"

namespace zingel {

// A spin on the clock rather than a sleep: this code knows only the Clock, so
// the pause is measured on the very clock the tests drive, and a test of it
// takes no real time. Twice a tenth of a second in a run is cheap, and, as a
// sleep would, it handles no window messages in between.
void BusyWait(Clock& clock, double seconds) {
  const double start = clock.Seconds();
  while (clock.Seconds() - start < seconds) {
  }
}

}  // namespace zingel
