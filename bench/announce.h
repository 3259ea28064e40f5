#pragma once
// Announce latency: from a caption change to its line posted in the room, for songs held a few
// timer periods each, and the room's own share of it.

#include <vector>

#include "session.h"
#include "song_run.h"

namespace zingel::bench {

struct Latency {
  std::vector<double> room_times;  // the room's own time per line, seconds
  SongRun run;
};

// The room's own time per line, from lines sent to it directly.
bool MeasureRoomCost(Session& session, Latency& latency);
// Songs held 3 to 12 timer periods each, announced by zingel.
bool MeasureLatency(Session& session, Latency& latency);
void PrintLatencyRows(const Session& session, const Latency& latency);

}  // namespace zingel::bench
