#include "announce.h"

#include <windows.h>

#include <string>

#include "common.h"
#include "table.h"

namespace zingel::bench {

// Sent as zingel sends it: the text into the second box, a press and release
// of the fifth button. zingel waits for all of it, so it is part of every
// announce latency.
bool MeasureRoomCost(Session& session, Latency& latency) {
  constexpr int kLines = 30;
  const size_t first = driver::ReadLog(session.room_log).size();
  std::vector<double> sent;
  for (int i = 0; i < kLines; ++i) {
    const HWND room = session.room->FindWindowOfClass("Aim_Chatwnd");
    HWND box = nullptr, button = nullptr;
    for (int n = 0; n < 2; ++n) box = FindWindowExA(room, box, "WndAte32Class", nullptr);
    for (int n = 0; n < 5; ++n) button = FindWindowExA(room, button, "_Oscar_IconBtn", nullptr);
    if (!box || !button) return false;
    const std::string line = Format("<b></b> Bench - Room %02d", i + 1);
    sent.push_back(Now());
    SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageA(button, WM_LBUTTONDOWN, 0, 0);
    SendMessageA(button, WM_LBUTTONUP, 0, 0);
    Sleep(50);
  }
  const auto lines = session.RoomLinesSince(first);
  if (lines.size() != sent.size()) return false;
  for (size_t i = 0; i < lines.size(); ++i)
    latency.room_times.push_back(lines[i].seconds - sent[i]);
  Note("room: %.1f ms per line (median)", Median(latency.room_times) * 1e3);
  return true;
}

bool MeasureLatency(Session& session, Latency& latency) {
  return PlaySongs(session, "Latency", session.options.songs, session.Periods(3),
                   session.Periods(12), 0, latency.run);
}

void PrintLatencyRows(const Session& session, const Latency& latency) {
  const double ms = 1e3;
  const double period = session.period;
  const Matching& m = latency.run.matching;
  const double p50 = Percentile(m.latencies, 0.5), p95 = Percentile(m.latencies, 0.95);
  const double worst = Percentile(m.latencies, 1);
  const auto periods = [&](double seconds) {
    return Format("%.1f ms = %.2f periods", seconds * ms, seconds / period);
  };
  Row(Format("Announce latency p50 (%d songs held %d-%d ms; caption change to line posted)",
             m.songs, session.Periods(3), session.Periods(12)),
      periods(p50), "", "");
  Row("Announce latency p95", periods(p95), "<= 1.5 periods", Met(p95 <= 1.5 * period));
  Row("Announce latency max", periods(worst), "", "");
  Row("Songs announced once / missed / more than once / stray lines",
      Format("%d / %d / %d / %d", m.once, m.missed, m.repeated, m.other), "all once",
      Met(m.once == m.songs && m.other == 0));
  const std::vector<double>& room = latency.room_times;
  Row("Room stand-in's own time per line, sent directly (p50 / p95; in every latency)",
      Format("%.1f / %.1f ms", Median(room) * ms, Percentile(room, 0.95) * ms), "", "");
}

}  // namespace zingel::bench
