#pragma once

#include "core/clock.h"

namespace zingel {

// The performance counter: monotonic, far finer than 0.01 s, present on XP.
class QpcClock final : public Clock {
 public:
  QpcClock();
  double Seconds() override;

 private:
  double ticks_per_second_;
};

}  // namespace zingel
