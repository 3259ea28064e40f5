#pragma once
// What every part of the benchmark uses: the run's options and the lab they set up (the chat room
// every zingel posts to, the timer period, the Wine server), a zingel started as a user starts it,
// runs of songs, the table's rows, and the measurements themselves.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "process_usage.h"
#include "standins.h"
#include "zingel_app.h"

namespace zingel::bench {

// report.cpp: the clock, order statistics, progress notes and the table's rows.

// Seconds on the performance counter, the clock both stand-ins log with.
double Now();
// The value at `fraction` of the sorted values (0: the least, 1: the most); 0 if there are none.
double Percentile(std::vector<double> values, double fraction);
double Median(std::vector<double> values);

// printf into a string, up to 511 bytes: enough for any row.
std::string Format(const char* format, ...);
// A line of progress on standard error; standard output is the table's.
void Note(const char* format, ...);
// One row of the Markdown table, on standard output.
void Row(const std::string& what, const std::string& result, const std::string& target = "",
         const char* met = "");
const char* Met(bool met);
// A size before and after, in KiB, with the difference.
std::string Change(double before_kib, double after_kib);

// Timing a start-up: every step of a wait counts in the time taken, so look often.
inline constexpr DWORD kStartStepMs = 1;
inline constexpr DWORD kStartTimeoutMs = 60000;

// zingel_bench.cpp: what to measure, with which programs, how much.
struct Options {
  std::string measure;  // start-up, songs or poll-cost
  std::string zingel, player, room, bare, bare_box, bare_announcer, work;
  std::string before, before_name;   // an older zingel.exe, measured in the same rounds
  std::string build = "this build";  // named in poll-cost's rows
  int songs = 300;                   // latency: song changes at random moments
  int changes = 10000;               // footprint: song changes in a row
  int cpu_seconds = 4;               // poll-cost: how long each poller is watched per round
  int starts = 9, rounds = 5;        // start-up: paired starts; poll-cost: rounds
};

// The command line; nothing on an unknown option, a missing value or a value out of range.
std::optional<Options> ParseOptions(int argc, char** argv);

// lab.cpp: what every measurement works with.
class Lab {
 public:
  // Starts the chat room and times a 1 ms timer of this thread.
  explicit Lab(Options options);

  // The room answers and this prefix's Wine server shows in /proc.
  bool Ready() const;
  const Options& options() const { return options_; }
  // The timer period, seconds: 10 ms under Wine, the floor of any poller.
  double period() const { return period_; }
  // Whole milliseconds, at least `count` timer periods: how long a song is held.
  int Periods(int count) const;
  // wineserver: it carries every message between processes.
  int server_pid() const { return server_pid_; }
  // A file in the work folder, as a Windows path.
  std::string WorkPath(const std::string& name) const;
  driver::Standin& room() const { return *room_; }
  // The room's log lines after its first `first`.
  std::vector<driver::LogLine> RoomLinesSince(size_t first = 0) const;

 private:
  Options options_;
  double period_ = 0;
  int server_pid_ = 0;
  std::string room_log_;
  std::unique_ptr<driver::Standin> room_;
};

// zingel.exe started as a user starts it, its welcome box dismissed as soon as it shows.
class TestedZingel {
 public:
  explicit TestedZingel(const std::string& exe);

  const std::string& exe() const { return exe_; }
  // Started, and its main window shown.
  bool Started() const { return to_ready_ > 0; }
  double SecondsToBox() const { return to_box_; }
  double SecondsToMainWindow() const { return to_ready_; }
  // Clicks start (Command1) or stop (Command2) and waits until zingel has handled it.
  bool Announce(bool on);
  int LinuxPid() const { return linux_pid_; }
  Usage Measure() const { return bench::Measure(app_, linux_pid_); }
  // As the user closes it: the goodbye lines, then the end.
  bool Close();

 private:
  std::string exe_;
  double start_;
  driver::ZingelApp app_;
  double to_box_ = 0, to_ready_ = 0;
  int linux_pid_ = 0;
};

// song_run.cpp: the player follows a playlist of distinct songs while zingel announces them, and
// every song change is matched to its line in the chat room.
struct SongPlan {
  const char* name;
  int count;               // distinct songs after a lead-in; the last one stays
  int min_ms, max_ms;      // each held a random time in this range
  int snapshot_after = 0;  // zingel's usage is taken once this many songs have shown, if not 0
  bool events = true;      // the player raises the caption event; if not, it runs --no-events
  unsigned seed = 1;       // of the holds: plans of one seed hold their songs alike
};

struct SongRun {
  // Repeated: announced more than once; stray: lines naming no song of the run.
  int songs = 0, once = 0, missed = 0, repeated = 0, stray = 0;
  std::vector<double> latencies;  // seconds, in playlist order
  double seconds = 0;
  // Shown: the captions the player showed. First and last: zingel's usage once `first_count` songs
  // had shown, and at the end.
  int shown = 0, first_count = 0;
  Usage first, last;

  // Another run's songs and latencies added to this one's.
  void Add(const SongRun& other);
};

// zingel starts announcing before the player starts and stops after; with none, another program
// announces.
std::optional<SongRun> PlaySongs(Lab& lab, TestedZingel* zingel, const SongPlan& plan);

// The measurements, a file each. Each prints its rows of the table as it ends, and returns false
// if it could not measure.

// start_up_time.cpp: process start to the welcome box, beside the bare box program's start in
// paired rounds, and to the main window once the box is dismissed.
bool MeasureStartUp(Lab& lab);
// announce_latency.cpp: caption change to line posted, for songs held a few timer periods each,
// with a player that raises the caption event and with one that does not, the latter in rounds
// with a build before's if named; and the room's own share of it.
bool MeasureAnnounceLatency(Lab& lab);
// footprint.cpp: memory, windows, threads and handles over many song changes in a row, and how
// the announcing kept up, with events; then how it kept up without.
bool MeasureFootprint(Lab& lab);
// held_line.cpp: the user's message sent to the song line zingel held back for it, with and
// without the player's caption events.
bool MeasureHeldLine(Lab& lab);
// poll_cost.cpp: CPU and reads of the player while announcing an unchanged song, with and without
// the player's caption events, beside the bare poller's and the floor's, in paired rounds.
bool MeasurePollCost(Lab& lab);

}  // namespace zingel::bench
