#include "footprint.h"

#include <string>

#include "common.h"
#include "table.h"

namespace zingel::bench {

bool MeasureFootprint(Session& session, Footprint& footprint) {
  return PlaySongs(session, "Load", session.options.changes, session.Periods(2), session.Periods(3),
                   session.options.first, footprint.load);
}

void PrintFootprintRows(const Session& session, const Footprint& footprint) {
  const double ms = 1e3;
  const SongRun& load = footprint.load;
  const Usage& x = load.first;
  const Usage& y = load.last;
  const Matching& f = load.matching;
  const std::string span = Format("after %d and %d song changes", load.first_count, load.shown);
  Row("Working set " + span, Change(x.working_set_kib, y.working_set_kib), "no growth",
      Met(y.working_set_kib <= x.working_set_kib));
  Row("Private bytes " + span, Change(x.private_kib, y.private_kib), "no growth",
      Met(y.private_kib <= x.private_kib));
  Row("Virtual size " + span, Change(x.virtual_kib, y.virtual_kib), "no growth",
      Met(y.virtual_kib <= x.virtual_kib));
  const Usage& probe = footprint.gui_probe;
  const bool gui_reported = probe.user_objects != 0 || probe.gdi_objects != 0;
  Row("USER / GDI objects (GetGuiResources) " + span,
      gui_reported ? Format("%lu / %lu -> %lu / %lu", x.user_objects, x.gdi_objects, y.user_objects,
                            y.gdi_objects)
                   : std::string("0 / 0 even with windows open: Wine does not count them"),
      "no growth",
      gui_reported ? Met(y.user_objects <= x.user_objects && y.gdi_objects <= x.gdi_objects)
                   : "n/a");
  Row("Windows (all levels) / threads / handles " + span,
      Format("%d / %lu / %lu -> %d / %lu / %lu", x.windows, x.threads, x.handles, y.windows,
             y.threads, y.handles),
      "no growth", Met(y.windows <= x.windows && y.threads <= x.threads && y.handles <= x.handles));
  Row(Format("Load run: %d captions shown, %d-%d ms each", load.shown, session.Periods(2),
             session.Periods(3)),
      Format("%d announced once, %d skipped, %d more than once, in %.0f s; latency p50 %.0f ms, "
             "p95 %.0f ms",
             f.once, f.missed, f.repeated, load.seconds, Median(f.latencies) * ms,
             Percentile(f.latencies, 0.95) * ms),
      "", "");
}

}  // namespace zingel::bench
