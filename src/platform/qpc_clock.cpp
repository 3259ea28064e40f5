#include "platform/qpc_clock.h"

#include <windows.h>

namespace zingel {

// Neither counter function can fail on Windows XP and later.
QpcClock::QpcClock() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  ticks_per_second_ = static_cast<double>(frequency.QuadPart);
}

double QpcClock::Seconds() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticks_per_second_;
}

}  // namespace zingel
