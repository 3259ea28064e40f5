// zingel_bench: measures the real zingel.exe against the stand-in player and
// chat room: start-up time, polling cost beside a bare poller, announce
// latency, and memory and object counts over many song changes. Prints a
// Markdown table on standard output and its progress on standard error.
//
//   zingel_bench --zingel EXE --player EXE --room EXE --bare EXE --work DIR
//                [--quick] [--phase all|run|start] [--songs N] [--changes N]
//                [--cpu-seconds S] [--starts N] [--rounds N] [--seed N]
//
// Phase "start" times zingel's start-ups only; "run" starts it once and runs
// the rest; "all" does both. Only "start" leaves out the table's header.
//
// Paths may be Unix paths (Wine's Z: drive). DIR holds the logs and playlists;
// on a RAM disk the stand-ins' flushed log writes cost nothing.
//
// Each measurement has a file of its own: startup, polling_cost, announce
// (latency) and footprint, over song_run (playlists and matching songs to
// lines) and process_usage (another process's CPU, memory and handles).

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "announce.h"
#include "common.h"
#include "footprint.h"
#include "options.h"
#include "polling_cost.h"
#include "process_usage.h"
#include "session.h"
#include "startup.h"
#include "table.h"

namespace zingel::bench {
namespace {

constexpr int kPeriodTicks = 200;

int Run(Session& session) {
  const Options& options = session.options;
  session.room_log = session.WorkPath("room.log");
  DeleteFileA(session.room_log.c_str());
  session.server_pid = FindLinuxProcess("wineserver", false);
  if (session.server_pid == 0) {
    Note("no wineserver of this prefix in /proc: run under Wine, with WINEPREFIX set");
    return 1;
  }
  const bool timed_starts = options.phase != "run";
  const bool run = options.phase != "start";
  if (run) {
    session.period = TimerPeriod(kPeriodTicks);
    Note("timer period: %.2f ms", session.period * 1e3);
  }
  session.room = std::make_unique<driver::Standin>(
      options.room, std::vector<std::string>{"--log", session.room_log});
  if (!session.room->Ready()) return 1;
  std::vector<StartTimes> starts;
  Latency latency;
  Polling polling;
  Footprint footprint;
  bool ok = TimeStartups(session, timed_starts ? options.starts : 1, starts);
  if (ok && run) {
    footprint.gui_probe = session.MeasureZingel();
    ok = MeasureRoomCost(session, latency) && MeasurePolling(session, polling) &&
         MeasureLatency(session, latency) && MeasureFootprint(session, footprint);
  }
  if (session.zingel && !Close(*session.zingel)) Note("zingel did not end when closed");
  if (!ok) {
    Note("the benchmark did not complete");
    return 1;
  }
  if (run) {
    PrintHeader();
    Row(Format("Timer period: 1 ms SetTimer, mean of %d ticks", kPeriodTicks),
        Format("%.2f ms", session.period * 1e3), "", "");
    PrintLatencyRows(session, latency);
    PrintPollingRows(session, polling);
    PrintFootprintRows(session, footprint);
  }
  PrintStartRows(starts, timed_starts);
  return 0;
}

}  // namespace
}  // namespace zingel::bench

int main(int argc, char** argv) {
  zingel::bench::Options options;
  if (!zingel::bench::ParseOptions(argc, argv, options)) {
    zingel::bench::PrintUsage(argv[0]);
    return 2;
  }
  zingel::bench::Session session(options);
  return zingel::bench::Run(session);
}
