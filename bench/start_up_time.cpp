#include <string>
#include <vector>

#include "bench.h"

namespace zingel::bench {
namespace {

// zingel's busy wait between its two presence lines, before the welcome box.
constexpr double kPresenceWait = 0.1;

std::string Spread(const std::vector<double>& seconds, double minus) {
  const double ms = 1e3;
  return Format("%.0f ms (min %.0f, max %.0f; %zu starts)", (Median(seconds) - minus) * ms,
                (Percentile(seconds, 0) - minus) * ms, (Percentile(seconds, 1) - minus) * ms,
                seconds.size());
}

}  // namespace

bool MeasureStartUp(Lab& lab) {
  std::vector<double> to_box, to_ready;
  for (int i = 0; i < lab.options().starts; ++i) {
    TestedZingel zingel(lab.options().zingel);
    if (!zingel.Started() || !zingel.Close()) return false;
    to_box.push_back(zingel.SecondsToBox());
    to_ready.push_back(zingel.SecondsToMainWindow());
    Note("start %d: welcome box after %.3f s, ready after %.3f s", i + 1, to_box.back(),
         to_ready.back());
  }
  Row("Start-up: process start to welcome box shown", Spread(to_box, 0));
  Row("Start-up: process start to main window shown (box dismissed at once)", Spread(to_ready, 0));
  Row("Start-up to main window, excluding the 0.1 s presence wait",
      Spread(to_ready, kPresenceWait));
  return true;
}

}  // namespace zingel::bench
