#pragma once
// What the property tests share: a clock they set, and a check that stops the fuzzer.

#include <cstdlib>

#include "core/clock.h"

namespace zingel::fuzz {

struct SetClock final : Clock {
  double now = 10;
  double Seconds() override { return now; }
};

// A property that does not hold ends the run, and libFuzzer keeps the input.
inline void Check(bool holds) {
  if (!holds) std::abort();
}

}  // namespace zingel::fuzz
