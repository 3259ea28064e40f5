#include <algorithm>
#include <string>

#include "bench.h"

namespace zingel::bench {
namespace {

// Memory grows once while the heap and Wine warm up; what a leak adds comes on top, change after
// change. So growth is taken from a snapshot after the warm-up to the end, per song change. A
// leak of one 16-byte block per announced song grows the 32-bit build's private bytes by about 35
// bytes per change under Wine; resident memory grows in 4 KiB pages.
constexpr double kGoalBytes = 4;  // per song change
constexpr double kPageBytes = 4096;

// Growth per song change between the two snapshots, with the target: "n/a" where a single page
// would already miss it, as in a short run.
void MemoryRow(const std::string& what, double from_kib, double to_kib, int changes) {
  const double bytes = (to_kib - from_kib) * 1024 / changes;
  const bool resolved = kPageBytes / changes < kGoalBytes;
  Row(what,
      Format("%.0f -> %.0f KiB (%+.0f) = %.1f bytes per change", from_kib, to_kib,
             to_kib - from_kib, bytes),
      Format("< %.0f bytes per change", kGoalBytes),
      resolved ? Met(bytes < kGoalBytes) : "n/a: too few changes for one page");
}

void LoadRow(const SongPlan& plan, const SongRun& load, const std::string& zingel) {
  Row(Format("Load run, %s: %d captions shown, %d-%d ms each", zingel.c_str(), load.shown,
             plan.min_ms, plan.max_ms),
      Format("%d announced once, %d skipped, %d more than once, in %.0f s; latency p50 %.0f ms, "
             "p95 %.0f ms",
             load.once, load.missed, load.repeated, load.seconds, Median(load.latencies) * 1e3,
             Percentile(load.latencies, 0.95) * 1e3),
      "none more than once", Met(load.repeated == 0 && load.stray == 0));
}

}  // namespace

bool MeasureFootprint(Lab& lab) {
  // The first snapshot after a tenth of the run, once the growth of the warm-up is over.
  const Options& options = lab.options();
  const int changes = options.changes;
  const std::string zingel_name = options.before.empty() ? "zingel" : "zingel after";
  SongPlan plan{"Load", changes, lab.Periods(2), lab.Periods(3), std::max(100, changes / 10)};
  TestedZingel zingel(options.zingel);
  if (!zingel.Started()) return false;
  const auto load = PlaySongs(lab, &zingel, plan);
  if (!load) return false;
  const Usage& x = load->first;
  const Usage& y = load->last;
  const int measured = load->shown - load->first_count;
  const std::string span = Format(", growth from %d to %d song changes, %s (player with events)",
                                  load->first_count, load->shown, zingel_name.c_str());
  MemoryRow("Working set" + span, x.working_set_kib, y.working_set_kib, measured);
  MemoryRow("Private bytes" + span, x.private_kib, y.private_kib, measured);
  MemoryRow("Virtual size" + span, x.virtual_kib, y.virtual_kib, measured);
  // Taken with zingel's windows open: a count of 0 means Wine does not count them at all.
  const bool gui_counted = x.user_objects != 0 || x.gdi_objects != 0;
  Row("USER / GDI objects (GetGuiResources)" + span,
      gui_counted ? Format("%lu / %lu -> %lu / %lu", x.user_objects, x.gdi_objects, y.user_objects,
                           y.gdi_objects)
                  : std::string("0 / 0 even with windows open: Wine does not count them"),
      "no growth",
      gui_counted ? Met(y.user_objects <= x.user_objects && y.gdi_objects <= x.gdi_objects)
                  : "n/a");
  Row("Windows (all levels) / threads / handles" + span,
      Format("%d / %lu / %lu -> %d / %lu / %lu", x.windows, x.threads, x.handles, y.windows,
             y.threads, y.handles),
      "no growth", Met(y.windows <= x.windows && y.threads <= x.threads && y.handles <= x.handles));
  LoadRow(plan, *load, zingel_name + " (player with events)");
  // The same songs again, from a player that raises no events: the full-rate poll.
  plan.name = "Load-no-events";
  plan.events = false;
  const auto plain = PlaySongs(lab, &zingel, plan);
  if (!plain) return false;
  LoadRow(plan, *plain, zingel_name + " (player --no-events)");
  return zingel.Close();
}

}  // namespace zingel::bench
