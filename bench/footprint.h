#pragma once
// zingel's footprint over many song changes in a row: memory, windows, threads and handles after
// the first changes and after the last, and how the announcing kept up.

#include "process_usage.h"
#include "session.h"
#include "song_run.h"

namespace zingel::bench {

struct Footprint {
  Usage gui_probe;  // taken with zingel's windows open: does Wine count GUI objects at all?
  SongRun load;
};

// Songs held 2 to 3 timer periods each, as many as the options say.
bool MeasureFootprint(Session& session, Footprint& footprint);
void PrintFootprintRows(const Session& session, const Footprint& footprint);

}  // namespace zingel::bench
