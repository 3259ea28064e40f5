#include <string>

#include "bench.h"

namespace zingel::bench {

bool MeasureFootprint(Lab& lab, TestedZingel& zingel) {
  // The first snapshot once zingel has settled.
  const SongPlan plan{"Load", lab.options().changes, lab.Periods(2), lab.Periods(3), 100};
  const auto load = PlaySongs(lab, zingel, plan);
  if (!load) return false;
  const Usage& x = load->first;
  const Usage& y = load->last;
  const std::string span = Format("after %d and %d song changes", load->first_count, load->shown);
  Row("Working set " + span, Change(x.working_set_kib, y.working_set_kib), "no growth",
      Met(y.working_set_kib <= x.working_set_kib));
  Row("Private bytes " + span, Change(x.private_kib, y.private_kib), "no growth",
      Met(y.private_kib <= x.private_kib));
  Row("Virtual size " + span, Change(x.virtual_kib, y.virtual_kib), "no growth",
      Met(y.virtual_kib <= x.virtual_kib));
  // Taken with zingel's windows open: a count of 0 means Wine does not count them at all.
  const bool gui_counted = x.user_objects != 0 || x.gdi_objects != 0;
  Row("USER / GDI objects (GetGuiResources) " + span,
      gui_counted ? Format("%lu / %lu -> %lu / %lu", x.user_objects, x.gdi_objects, y.user_objects,
                           y.gdi_objects)
                  : std::string("0 / 0 even with windows open: Wine does not count them"),
      "no growth",
      gui_counted ? Met(y.user_objects <= x.user_objects && y.gdi_objects <= x.gdi_objects)
                  : "n/a");
  Row("Windows (all levels) / threads / handles " + span,
      Format("%d / %lu / %lu -> %d / %lu / %lu", x.windows, x.threads, x.handles, y.windows,
             y.threads, y.handles),
      "no growth", Met(y.windows <= x.windows && y.threads <= x.threads && y.handles <= x.handles));
  Row(Format("Load run: %d captions shown, %d-%d ms each", load->shown, plan.min_ms, plan.max_ms),
      Format("%d announced once, %d skipped, %d more than once, in %.0f s; latency p50 %.0f ms, "
             "p95 %.0f ms",
             load->once, load->missed, load->repeated, load->seconds, Median(load->latencies) * 1e3,
             Percentile(load->latencies, 0.95) * 1e3));
  return true;
}

}  // namespace zingel::bench
