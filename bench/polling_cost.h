#pragma once
// The cost of polling: zingel's CPU time while it announces an unchanged song, beside the bare
// poller's (bare_poller.cpp), in paired rounds, and its private bytes meanwhile.

#include <vector>

#include "process_usage.h"
#include "session.h"

namespace zingel::bench {

// CPU seconds of the three processes a poll involves, over one interval.
struct PollCost {
  double seconds = 0;
  double poller = 0;
  double player = 0;
  double server = 0;  // wineserver: it carries every message between processes
  double ticks = 0;   // counted by the bare poller; estimated for zingel
  double reads = 0;

  void Add(const PollCost& other);
};

struct Polling {
  PollCost zingel, bare;              // summed over the rounds
  std::vector<double> round_ratios;   // zingel's CPU over the bare poller's, per round
  Usage steady_before, steady_after;  // zingel's, at the start of the first round, end of last
};

bool MeasurePolling(Session& session, Polling& polling);
void PrintPollingRows(const Session& session, const Polling& polling);

}  // namespace zingel::bench
