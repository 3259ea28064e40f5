// Announce latency: caption change to line posted, for songs held a few timer periods each, by
// zingel with a player that raises the caption event and with one that raises none, and by a
// build before, if named, with one that raises none, taking turns with zingel without events
// round by round. The room's own time per line, part of every latency, is measured apart.

#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench.h"
#include "protocol.h"

namespace zingel::bench {
namespace {

constexpr double kEventsGoalMs = 5;   // p95 with events, the room's own time included
constexpr double kBeforeGoal = 1.05;  // p95 without events over the build before's

// One zingel with one kind of player, over all rounds.
struct Case {
  std::string name, exe;
  bool events;
  SongRun run{};
  int rounds = 0;
};

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

bool MeasureAnnounceLatency(Lab& lab) {
  const Options& options = lab.options();
  const bool before = !options.before.empty();
  const std::string after = before ? "zingel after" : "zingel";
  std::vector<Case> cases{{after + " with events", options.zingel, true},
                          {after + " --no-events", options.zingel, false}};
  if (before)
    cases.push_back({"zingel before (" + options.before_name + ")", options.before, false});
  const int min_ms = lab.Periods(3), max_ms = lab.Periods(12);
  std::unique_ptr<TestedZingel> zingel;
  // Plays songs to the case's zingel, started anew if another one runs.
  const auto play = [&](Case& c, int count, unsigned seed, const std::string& name) {
    if (!zingel || zingel->exe() != c.exe) {
      if (zingel && !zingel->Close()) return false;
      zingel = std::make_unique<TestedZingel>(c.exe);
      if (!zingel->Started()) return false;
    }
    const auto run =
        PlaySongs(lab, *zingel, {name.c_str(), count, min_ms, max_ms, 0, c.events, seed});
    if (!run) return false;
    c.run.Add(*run);
    ++c.rounds;
    return true;
  };
  // With events, the first change a player shows is read at the full rate, before the player
  // has proven its events: one player for all the songs, as over a user's evening.
  if (!play(cases[0], options.songs, 1, "Latency-events")) return false;
  // Without, a build before takes turns with this one round by round, the same songs in both.
  const int rounds = before ? options.rounds : 1;
  for (int round = 1; round <= rounds; ++round) {
    for (size_t i = 1; i < cases.size(); ++i) {
      if (!play(cases[i], std::max(1, options.songs / rounds), static_cast<unsigned>(round + 1),
                Format("Latency-%d-%zu", round, i)))
        return false;
    }
  }
  if (!zingel->Close()) return false;
  // After the runs: a room's first lines take longer, as Wine warms up.
  const auto room = TimeRoomLines(lab);
  if (!room) return false;
  const double ms = 1e3, period = lab.period();
  Row("Timer period: 1 ms SetTimer, mean of 200 ticks", Format("%.2f ms", period * ms));
  for (const Case& c : cases) {
    const SongRun& run = c.run;
    const double p50 = Median(run.latencies), p95 = Percentile(run.latencies, 0.95),
                 max = Percentile(run.latencies, 1);
    const bool goal = c.exe == options.zingel;
    Row(Format("Announce latency p50 / p95 / max, %s (%d songs held %d-%d ms, %s; caption "
               "change to line posted)",
               c.name.c_str(), run.songs, min_ms, max_ms,
               c.rounds == 1 ? "one player" : Format("in %d rounds", c.rounds).c_str()),
        Format("%.1f / %.1f / %.1f ms = %.2f / %.2f / %.2f periods", p50 * ms, p95 * ms, max * ms,
               p50 / period, p95 / period, max / period),
        !goal      ? ""
        : c.events ? Format("p95 <= %.0f ms", kEventsGoalMs)
                   : "p95 <= 1.25 periods",
        !goal ? "" : Met(c.events ? p95 * ms <= kEventsGoalMs : p95 <= 1.25 * period));
    Row(Format("Songs announced once / missed / more than once / stray lines, %s", c.name.c_str()),
        Format("%d / %d / %d / %d", run.once, run.missed, run.repeated, run.stray),
        goal ? "all once" : "", goal ? Met(run.once == run.songs && run.stray == 0) : "");
  }
  if (before) {
    const double plain = Percentile(cases[1].run.latencies, 0.95),
                 old = Percentile(cases[2].run.latencies, 0.95);
    Row(Format("Announce latency p95, %s / %s", cases[1].name.c_str(), cases[2].name.c_str()),
        Format("%.2f: %.1f / %.1f ms, the same songs in the same rounds", plain / old, plain * ms,
               old * ms),
        Format("<= %.2f", kBeforeGoal), Met(plain / old <= kBeforeGoal));
  }
  Row("Room stand-in's own time per line, sent directly (p50 / p95; in every latency)",
      Format("%.1f / %.1f ms", Median(*room) * ms, Percentile(*room, 0.95) * ms));
  return true;
}

}  // namespace zingel::bench
