// Announce latency: caption change to line posted, for songs held a few timer periods each, by
// zingel with a player that raises the caption event, then by the bare event announcer
// (bare_announcer.cpp) if named, the least any announcer that hears the events takes; and by
// zingel with a player that raises none, taking turns round by round with a build before, if
// named. The room's own time per line, part of every latency, is measured apart.

#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bare_programs.h"
#include "bench.h"
#include "protocol.h"

namespace zingel::bench {
namespace {

constexpr double kEventsGoalMs = 5;   // p95 with events, the room's own time included
constexpr double kBeforeGoal = 1.05;  // p95 without events over the build before's

// One announcer with one kind of player, over all rounds.
struct Case {
  std::string name, exe;
  bool events;
  bool bare = false;  // the bare announcer, not a zingel
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
  Case events{after + " (player with events)", options.zingel, true};
  Case bare{"bare event announcer (bare_announcer.cpp)", options.bare_announcer, true, true};
  std::vector<Case> plain{{after + " (player --no-events)", options.zingel, false}};
  if (before)
    plain.push_back({"zingel before (" + options.before_name + ")", options.before, false});
  const int min_ms = lab.Periods(3), max_ms = lab.Periods(12);
  std::unique_ptr<TestedZingel> zingel;
  // Plays songs to the case's announcer: its zingel, started anew if another one runs, or the bare
  // announcer, started for them.
  const auto play = [&](Case& c, int count, unsigned seed, const std::string& name) {
    const SongPlan plan{name.c_str(), count, min_ms, max_ms, 0, c.events, seed};
    std::optional<SongRun> run;
    if (c.bare) {
      if (zingel && !zingel->Close()) return false;
      zingel.reset();
      driver::Program announcer(c.exe);
      const auto window = [&] { return announcer.FindWindowOfClass(kBareAnnouncerClass.ansi); };
      if (!announcer.Started() || !driver::WaitUntil([&] { return window() != nullptr; }))
        return false;
      run = PlaySongs(lab, nullptr, plan);
      PostMessageA(window(), WM_CLOSE, 0, 0);
      if (!announcer.WaitForExit(20000)) return false;
    } else {
      if (!zingel || zingel->exe() != c.exe) {
        if (zingel && !zingel->Close()) return false;
        zingel = std::make_unique<TestedZingel>(c.exe);
        if (!zingel->Started()) return false;
      }
      run = PlaySongs(lab, zingel.get(), plan);
    }
    if (!run) return false;
    c.run.Add(*run);
    ++c.rounds;
    return true;
  };
  // With events, the first change a player shows is read at the full rate, before the player
  // has proven its events: one player for all the songs, as over a user's evening. The bare
  // announcer hears the same songs after it.
  if (!play(events, options.songs, 1, "Latency-events")) return false;
  if (!bare.exe.empty() && !play(bare, options.songs, 1, "Latency-bare")) return false;
  // Without, a build before takes turns with this one round by round, the same songs in both.
  const int rounds = before ? options.rounds : 1;
  for (int round = 1; round <= rounds; ++round) {
    for (size_t i = 0; i < plain.size(); ++i) {
      if (!play(plain[i], std::max(1, options.songs / rounds), static_cast<unsigned>(round + 1),
                Format("Latency-%d-%zu", round, i + 1)))
        return false;
    }
  }
  if (zingel && !zingel->Close()) return false;
  // After the runs: a room's first lines take longer, as Wine warms up.
  const auto room = TimeRoomLines(lab);
  if (!room) return false;
  const double ms = 1e3, period = lab.period();
  Row("Timer period: 1 ms SetTimer, mean of 200 ticks", Format("%.2f ms", period * ms));
  std::vector<const Case*> cases{&events};
  if (!bare.exe.empty()) cases.push_back(&bare);
  for (const Case& c : plain) cases.push_back(&c);
  for (const Case* c : cases) {
    const SongRun& run = c->run;
    const double p50 = Median(run.latencies), p95 = Percentile(run.latencies, 0.95),
                 max = Percentile(run.latencies, 1);
    // The targets are this build's; the others are there to compare with.
    const bool goal = c->exe == options.zingel;
    Row(Format("Announce latency p50 / p95 / max, %s (%d songs held %d-%d ms, %s; caption "
               "change to line posted)",
               c->name.c_str(), run.songs, min_ms, max_ms,
               c->rounds == 1 ? "one player" : Format("in %d rounds", c->rounds).c_str()),
        Format("%.1f / %.1f / %.1f ms = %.2f / %.2f / %.2f periods", p50 * ms, p95 * ms, max * ms,
               p50 / period, p95 / period, max / period),
        !goal       ? ""
        : c->events ? Format("p95 <= %.0f ms", kEventsGoalMs)
                    : "p95 <= 1.25 periods",
        !goal ? "" : Met(c->events ? p95 * ms <= kEventsGoalMs : p95 <= 1.25 * period));
    Row(Format("Songs announced once / missed / more than once / stray lines, %s", c->name.c_str()),
        Format("%d / %d / %d / %d", run.once, run.missed, run.repeated, run.stray),
        goal ? "all once" : "", goal ? Met(run.once == run.songs && run.stray == 0) : "");
  }
  if (before) {
    const double now = Percentile(plain[0].run.latencies, 0.95),
                 old = Percentile(plain[1].run.latencies, 0.95);
    Row(Format("Announce latency p95, %s / %s", plain[0].name.c_str(), plain[1].name.c_str()),
        Format("%.2f: %.1f / %.1f ms, the same songs in the same rounds", now / old, now * ms,
               old * ms),
        Format("<= %.2f", kBeforeGoal), Met(now / old <= kBeforeGoal));
  }
  Row("Room stand-in's own time per line, sent directly (p50 / p95; in every latency)",
      Format("%.1f / %.1f ms", Median(*room) * ms, Percentile(*room, 0.95) * ms));
  return true;
}

}  // namespace zingel::bench
