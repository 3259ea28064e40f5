#pragma once
// Start-up time: from the process start to the welcome box, and to the main window once the box
// is dismissed.

#include <vector>

#include "session.h"

namespace zingel::bench {

struct StartTimes {
  double to_box = 0;    // process start to the welcome box shown
  double to_ready = 0;  // process start to the main window shown
};

// Starts zingel `starts` times as a user does, dismissing the welcome box as soon as it shows,
// and closes each again but the last, which stays in session.zingel.
bool TimeStartups(Session& session, int starts, std::vector<StartTimes>& times);
// `timed`: the start-up phase's rows; otherwise the one start of the run phase.
void PrintStartRows(const std::vector<StartTimes>& starts, bool timed);

}  // namespace zingel::bench
