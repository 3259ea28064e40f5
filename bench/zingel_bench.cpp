// zingel_bench: measures the real zingel.exe under Wine against the stand-in player and chat
// room. Prints its rows of the benchmark's table on standard output, its progress on standard
// error; scripts/bench runs it for each build and measurement and adds the rest of the table.
//
//   zingel_bench MEASURE --zingel EXE --player EXE --room EXE --work DIR [--bare EXE]
//                [--bare-box EXE] [--bare-announcer EXE] [--before EXE --before-name NAME]
//                [--build NAME] [--quick] [--songs N] [--changes N] [--cpu-seconds S]
//                [--starts N] [--rounds N]
//
// MEASURE is start-up (start_up_time.cpp, against the bare box program --bare-box, and --before
// too), songs (announce_latency.cpp, with --bare-announcer and --before too, then footprint.cpp)
// or poll-cost (poll_cost.cpp, against the bare poller --bare, and --before too).
// Paths may be Unix paths (Wine's Z: drive). DIR holds the logs and playlists; on a RAM disk the
// stand-ins' flushed log writes cost nothing.

#include <cstdlib>
#include <map>

#include "bench.h"

namespace zingel::bench {

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options o;
  // Options by name, without their leading "--".
  const std::map<std::string, std::string*> texts{{"zingel", &o.zingel},
                                                  {"player", &o.player},
                                                  {"room", &o.room},
                                                  {"bare", &o.bare},
                                                  {"bare-box", &o.bare_box},
                                                  {"work", &o.work},
                                                  {"before", &o.before},
                                                  {"build", &o.build},
                                                  {"before-name", &o.before_name},
                                                  {"bare-announcer", &o.bare_announcer}};
  const std::map<std::string, int*> counts{{"songs", &o.songs},
                                           {"changes", &o.changes},
                                           {"starts", &o.starts},
                                           {"rounds", &o.rounds},
                                           {"cpu-seconds", &o.cpu_seconds}};
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i], name = arg.starts_with("--") ? arg.substr(2) : "";
    if (arg == "--quick") {
      o.songs = 60, o.changes = 300, o.cpu_seconds = 3, o.starts = 2, o.rounds = 1;
    } else if (name.empty() && o.measure.empty()) {
      o.measure = arg;
    } else if (i + 1 < argc && texts.contains(name)) {
      *texts.at(name) = argv[++i];
    } else if (i + 1 < argc && counts.contains(name)) {
      *counts.at(name) = std::atoi(argv[++i]);
    } else {
      return std::nullopt;
    }
  }
  const bool known = (o.measure == "start-up" && !o.bare_box.empty()) || o.measure == "songs" ||
                     (o.measure == "poll-cost" && !o.bare.empty());
  if (!known || o.zingel.empty() || o.player.empty() || o.room.empty() || o.work.empty() ||
      o.songs <= 0 || o.changes < 100 || o.cpu_seconds <= 0 || o.starts <= 0 || o.rounds <= 0)
    return std::nullopt;
  return o;
}

}  // namespace zingel::bench

int main(int argc, char** argv) {
  using namespace zingel::bench;
  const auto options = ParseOptions(argc, argv);
  if (!options) {
    Note(
        "usage: %s start-up|songs|poll-cost --zingel EXE --player EXE --room EXE --work DIR\n"
        "  [--bare EXE] [--bare-box EXE] [--bare-announcer EXE] [--before EXE --before-name NAME]\n"
        "  [--build NAME] [--quick] [--songs N] [--changes N>=100] [--cpu-seconds S] [--starts N]\n"
        "  [--rounds N]",
        argv[0]);
    return 2;
  }
  Lab lab(*options);
  bool ok = lab.Ready();
  if (ok && options->measure == "start-up") ok = MeasureStartUp(lab);
  if (ok && options->measure == "poll-cost") ok = MeasurePollCost(lab);
  if (ok && options->measure == "songs")
    ok = MeasureAnnounceLatency(lab) && MeasureHeldLine(lab) && MeasureFootprint(lab);
  if (!ok) Note("the benchmark did not complete");
  return ok ? 0 : 1;
}
