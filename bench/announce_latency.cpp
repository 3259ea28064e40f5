#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "bench.h"
#include "protocol.h"

namespace zingel::bench {
namespace {

// Sent as zingel sends it: the text into the second box, a press and release of the fifth
// button. zingel waits for all of it, so it is part of every announce latency.
std::optional<std::vector<double>> TimeRoomLines(Lab& lab) {
  constexpr int kLines = 30;
  const size_t first = lab.RoomLinesSince().size();
  std::vector<double> sent;
  for (int i = 0; i < kLines; ++i) {
    const HWND room = lab.room().FindWindowOfClass(standin::kRoomClass.ansi);
    HWND box = nullptr, button = nullptr;
    for (int n = 0; n < 2; ++n) box = FindWindowExA(room, box, standin::kBoxClass.ansi, nullptr);
    for (int n = 0; n < 5; ++n)
      button = FindWindowExA(room, button, standin::kButtonClass.ansi, nullptr);
    if (!box || !button) return std::nullopt;
    const std::string line = Format("<b></b> Bench - Room %02d", i + 1);
    sent.push_back(Now());
    SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageA(button, WM_LBUTTONDOWN, 0, 0);
    SendMessageA(button, WM_LBUTTONUP, 0, 0);
    Sleep(50);
  }
  const auto lines = lab.RoomLinesSince(first);
  if (lines.size() != sent.size()) return std::nullopt;
  std::vector<double> times;
  for (size_t i = 0; i < lines.size(); ++i) times.push_back(lines[i].seconds - sent[i]);
  Note("room: %.1f ms per line (median)", Median(times) * 1e3);
  return times;
}

}  // namespace

bool MeasureAnnounceLatency(Lab& lab, TestedZingel& zingel) {
  const auto room = TimeRoomLines(lab);
  if (!room) return false;
  const SongPlan plan{"Latency", lab.options().songs, lab.Periods(3), lab.Periods(12)};
  const auto run = PlaySongs(lab, zingel, plan);
  if (!run) return false;
  const double ms = 1e3, period = lab.period();
  const double p95 = Percentile(run->latencies, 0.95);
  const auto periods = [&](double seconds) {
    return Format("%.1f ms = %.2f periods", seconds * ms, seconds / period);
  };
  Row("Timer period: 1 ms SetTimer, mean of 200 ticks", Format("%.2f ms", period * ms));
  Row(Format("Announce latency p50 (%d songs held %d-%d ms; caption change to line posted)",
             run->songs, plan.min_ms, plan.max_ms),
      periods(Median(run->latencies)));
  Row("Announce latency p95", periods(p95), "<= 1.25 periods", Met(p95 <= 1.25 * period));
  Row("Announce latency max", periods(Percentile(run->latencies, 1)));
  Row("Songs announced once / missed / more than once / stray lines",
      Format("%d / %d / %d / %d", run->once, run->missed, run->repeated, run->stray), "all once",
      Met(run->once == run->songs && run->stray == 0));
  Row("Room stand-in's own time per line, sent directly (p50 / p95; in every latency)",
      Format("%.1f / %.1f ms", Median(*room) * ms, Percentile(*room, 0.95) * ms));
  return true;
}

}  // namespace zingel::bench
