#include "bench.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <random>

namespace zingel::bench {
namespace {

using driver::LogLine;

// The player's caption for a song title.
std::string Caption(const std::string& title) {
  // One-digit playlist number: the caption form zingel takes apart exactly.
  return "1. " + title + " - Winamp";
}

// The song in a line "<b>PREFIX</b> SONG"; "" for the presence lines.
std::string SongOfLine(const std::string& line) {
  const size_t at = line.rfind("</b> ");
  return at == std::string::npos ? std::string() : line.substr(at + 5);
}

// titles[0] is the lead-in, shown as the player's window is made: no change.
SongRun Match(const std::vector<std::string>& titles, const std::vector<LogLine>& changes,
              const std::vector<LogLine>& lines) {
  SongRun run;
  std::map<std::string, double> changed;
  for (const LogLine& change : changes) changed.emplace(change.text, change.seconds);
  std::map<std::string, std::vector<double>> announced;
  for (const LogLine& line : lines) {
    const std::string song = SongOfLine(line.text);
    if (std::find(titles.begin(), titles.end(), song) == titles.end()) {
      ++run.stray;
    } else {
      announced[song].push_back(line.seconds);
    }
  }
  for (size_t i = 1; i < titles.size(); ++i) {
    ++run.songs;
    const auto& times = announced[titles[i]];
    const auto change = changed.find(Caption(titles[i]));
    if (times.empty() || change == changed.end()) {
      ++run.missed;
      continue;
    }
    ++(times.size() == 1 ? run.once : run.repeated);
    run.latencies.push_back(times.front() - change->second);
  }
  return run;
}

}  // namespace

void SongRun::Add(const SongRun& other) {
  songs += other.songs, once += other.once, missed += other.missed;
  repeated += other.repeated, stray += other.stray;
  latencies.insert(latencies.end(), other.latencies.begin(), other.latencies.end());
  seconds += other.seconds;
}

std::optional<SongRun> PlaySongs(Lab& lab, TestedZingel* zingel, const SongPlan& plan) {
  const std::string name = plan.name;
  const std::string playlist = lab.WorkPath(name + ".playlist");
  const std::string player_log = lab.WorkPath(name + "-player.log");
  std::vector<std::string> titles{"Bench - " + name + " lead-in"};
  std::mt19937 random(plan.seed);
  std::uniform_int_distribution<int> hold(plan.min_ms, plan.max_ms);
  std::string text = "500\t" + Caption(titles[0]) + "\n";
  double total_ms = 500;
  for (int i = 1; i <= plan.count; ++i) {
    titles.push_back(Format("Bench - %s %05d", plan.name, i));
    const int ms = hold(random);
    total_ms += ms;
    text += std::to_string(ms) + "\t" + Caption(titles.back()) + "\n";
  }
  if (!(std::ofstream(playlist, std::ios::binary) << text)) return std::nullopt;

  // The player adds to a log it finds, and an earlier run's captions would match first.
  DeleteFileA(player_log.c_str());
  const size_t before = lab.RoomLinesSince().size();
  if (zingel && !zingel->Announce(true)) return std::nullopt;
  const double start = Now();
  std::vector<std::string> args{"--playlist", playlist, "--log", player_log};
  if (!plan.events) args.push_back("--no-events");
  driver::Standin player(lab.options().player, args);
  if (!player.Ready()) return std::nullopt;
  // Done once the last song is posted or, should its line be lost, once the player has shown
  // every caption and the room has been quiet for 5 s.
  size_t posted = 0;
  double quiet_since = Now();
  bool last_posted = false;
  Usage first;
  int first_count = 0;
  const bool done = driver::WaitUntil(
      [&] {
        const auto lines = lab.RoomLinesSince(before);
        const int shown = static_cast<int>(driver::ReadLog(player_log).size()) - 1;
        if (zingel && plan.snapshot_after > 0 && first_count == 0 && shown >= plan.snapshot_after) {
          first = zingel->Measure();
          first_count = shown;
        }
        if (lines.size() != posted) {
          posted = lines.size();
          quiet_since = Now();
        }
        last_posted = !lines.empty() && SongOfLine(lines.back().text) == titles.back();
        return last_posted || (shown == plan.count && Now() - quiet_since > 5);
      },
      static_cast<DWORD>(total_ms + 300000), 200);
  const auto changes = driver::ReadLog(player_log);
  SongRun run = Match(titles, changes, lab.RoomLinesSince(before));
  run.seconds = Now() - start;
  run.shown = static_cast<int>(changes.size()) - 1;
  run.first = first;
  run.first_count = first_count;
  if (zingel) run.last = zingel->Measure();
  player.Kill();
  if (zingel && !zingel->Announce(false)) return std::nullopt;
  Note("%s: %d songs in %.1f s, %d announced once, %d missed, %d more than once", plan.name,
       plan.count, run.seconds, run.once, run.missed, run.repeated);
  if (!last_posted) Note("%s: the last song was not posted", plan.name);
  if (!done) return std::nullopt;
  return run;
}

}  // namespace zingel::bench
