#include "song_run.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>

#include "common.h"
#include "ui/resource.h"

namespace zingel::bench {

using driver::LogLine;

std::string Caption(const std::string& title) {
  // One-digit playlist number: the caption form zingel takes apart exactly.
  return "1. " + title + " - Winamp";
}

std::string SongOfLine(const std::string& line) {
  const size_t at = line.rfind("</b> ");
  return at == std::string::npos ? std::string() : line.substr(at + 5);
}

Matching Match(const std::vector<std::string>& titles, const std::vector<LogLine>& changes,
               const std::vector<LogLine>& lines) {
  std::map<std::string, double> changed;
  for (const LogLine& change : changes) changed.emplace(change.text, change.seconds);
  std::map<std::string, std::vector<double>> announced;
  Matching result;
  for (const LogLine& line : lines) {
    const std::string song = SongOfLine(line.text);
    if (std::find(titles.begin(), titles.end(), song) == titles.end()) {
      ++result.other;
    } else {
      announced[song].push_back(line.seconds);
    }
  }
  // The lead-in shows as the player's window is made.
  for (size_t i = 1; i < titles.size(); ++i) {
    ++result.songs;
    const auto& times = announced[titles[i]];
    const auto change = changed.find(Caption(titles[i]));
    if (times.empty() || change == changed.end()) {
      ++result.missed;
      continue;
    }
    ++(times.size() == 1 ? result.once : result.repeated);
    result.latencies.push_back(times.front() - change->second);
  }
  return result;
}

bool PlaySongs(Session& session, const char* name, int count, int min_ms, int max_ms, int first,
               SongRun& run) {
  const std::string playlist = session.WorkPath(std::string(name) + ".playlist");
  const std::string player_log = session.WorkPath(std::string(name) + "-player.log");
  std::vector<std::string> titles{std::string("Bench - ") + name + " lead-in"};
  std::uniform_int_distribution<int> hold(min_ms, max_ms);
  std::string text = "500\t" + Caption(titles[0]) + "\n";
  double total_ms = 500;
  for (int i = 1; i <= count; ++i) {
    titles.push_back(Format("Bench - %s %05d", name, i));
    const int ms = hold(session.random);
    total_ms += ms;
    text += std::to_string(ms) + "\t" + Caption(titles.back()) + "\n";
  }
  FILE* file = std::fopen(playlist.c_str(), "wb");
  if (!file) return false;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);

  const size_t before = driver::ReadLog(session.room_log).size();
  if (!Press(*session.zingel, IDC_COMMAND1)) return false;
  const double start = Now();
  driver::Standin player(session.options.player, {"--playlist", playlist, "--log", player_log});
  if (!player.Ready()) return false;
  // Done once the last song is posted or, should its line be lost, once the
  // player has shown every caption and the room has been quiet for 5 s.
  size_t posted = 0;
  double quiet_since = Now();
  bool last_posted = false;
  const bool done = driver::WaitUntil(
      [&] {
        const auto lines = session.RoomLinesSince(before);
        const auto changes = driver::ReadLog(player_log);
        // The lead-in is no change.
        const int shown = static_cast<int>(changes.size()) - 1;
        if (first > 0 && run.first_count == 0 && shown >= first) {
          run.first = session.MeasureZingel();
          run.first_count = shown;
        }
        if (lines.size() != posted) {
          if (lines.size() / 1000 > posted / 1000) Note("%s: %zu lines", name, lines.size());
          posted = lines.size();
          quiet_since = Now();
        }
        last_posted = !lines.empty() && SongOfLine(lines.back().text) == titles.back();
        return last_posted || (shown == count && Now() - quiet_since > 5);
      },
      static_cast<DWORD>(total_ms + 300000), 200);
  run.seconds = Now() - start;
  run.last = session.MeasureZingel();
  const auto changes = driver::ReadLog(player_log);
  run.shown = static_cast<int>(changes.size()) - 1;
  run.matching = Match(titles, changes, session.RoomLinesSince(before));
  player.Kill();
  if (!Press(*session.zingel, IDC_COMMAND2)) return false;
  Note("%s: %d songs in %.1f s, %d announced once, %d missed, %d more than once", name, count,
       run.seconds, run.matching.once, run.matching.missed, run.matching.repeated);
  if (!last_posted) Note("%s: the last song was not posted", name);
  return done;
}

}  // namespace zingel::bench
