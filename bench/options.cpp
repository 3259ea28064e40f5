#include "options.h"

#include <cstdio>
#include <cstdlib>

namespace zingel::bench {

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "--quick") {
      options.songs = 60;
      options.changes = 300;
      options.cpu_seconds = 3;
      options.starts = 2;
      options.rounds = 1;
      continue;
    }
    if (i + 1 == argc) return false;
    const std::string value = argv[++i];
    if (name == "--zingel") {
      options.zingel = value;
    } else if (name == "--player") {
      options.player = value;
    } else if (name == "--room") {
      options.room = value;
    } else if (name == "--bare") {
      options.bare = value;
    } else if (name == "--work") {
      options.work = value;
    } else if (name == "--songs") {
      options.songs = std::atoi(value.c_str());
    } else if (name == "--changes") {
      options.changes = std::atoi(value.c_str());
    } else if (name == "--cpu-seconds") {
      options.cpu_seconds = std::atof(value.c_str());
    } else if (name == "--starts") {
      options.starts = std::atoi(value.c_str());
    } else if (name == "--rounds") {
      options.rounds = std::atoi(value.c_str());
    } else if (name == "--phase") {
      options.phase = value;
    } else if (name == "--seed") {
      options.seed = static_cast<unsigned>(std::strtoul(value.c_str(), nullptr, 10));
    } else {
      return false;
    }
  }
  return !options.zingel.empty() && !options.player.empty() && !options.room.empty() &&
         !options.bare.empty() && !options.work.empty() && options.songs > 0 &&
         options.changes >= options.first && options.cpu_seconds > 0 && options.starts > 0 &&
         options.rounds > 0 &&
         (options.phase == "all" || options.phase == "run" || options.phase == "start");
}

void PrintUsage(const char* program) {
  std::fprintf(stderr,
               "usage: %s --zingel EXE --player EXE --room EXE --bare EXE --work DIR [--quick]\n"
               "       [--phase all|run|start] [--songs N] [--changes N>=100] [--cpu-seconds S]\n"
               "       [--starts N] [--rounds N] [--seed N]\n",
               program);
}

}  // namespace zingel::bench
