#pragma once
// A run of songs: the player follows a playlist of distinct songs while zingel announces, and
// every song change is matched to its line in the chat room.

#include <string>
#include <vector>

#include "process_usage.h"
#include "session.h"
#include "standins.h"

namespace zingel::bench {

// The player's caption for a song title.
std::string Caption(const std::string& title);
// The song in a line "<b>PREFIX</b> SONG"; "" for the presence lines.
std::string SongOfLine(const std::string& line);

struct Matching {
  int songs = 0;
  int once = 0;
  int missed = 0;
  int repeated = 0;               // announced more than once
  int other = 0;                  // lines naming no song of the run
  std::vector<double> latencies;  // seconds, in playlist order
};

// titles[0] is the lead-in, which counts as no change.
Matching Match(const std::vector<std::string>& titles, const std::vector<driver::LogLine>& changes,
               const std::vector<driver::LogLine>& lines);

struct SongRun {
  Matching matching;
  Usage first;  // zingel's, after `first_count` song changes
  int first_count = 0;
  Usage last;
  int shown = 0;  // captions the player showed
  double seconds = 0;
};

// The player shows a lead-in, then `count` distinct songs, each held a random min_ms to max_ms;
// the last one stays. zingel announces meanwhile; with `first` > 0 its usage is taken once that
// many songs have shown, and at the end.
bool PlaySongs(Session& session, const char* name, int count, int min_ms, int max_ms, int first,
               SongRun& run);

}  // namespace zingel::bench
