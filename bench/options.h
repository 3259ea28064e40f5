#pragma once
// The benchmark's command line.

#include <string>

namespace zingel::bench {

struct Options {
  std::string zingel, player, room, bare, work;
  int songs = 300;      // latency: song changes at random moments
  int changes = 10000;  // footprint: song changes in a row
  int first = 100;      // footprint: changes before the first snapshot
  double cpu_seconds = 6;
  int starts = 5;
  int rounds = 5;  // zingel then the bare poller, this many times
  unsigned seed = 1;
  std::string phase = "all";
};

// False on an unknown option, a missing value or a value out of range.
bool ParseOptions(int argc, char** argv, Options& options);
void PrintUsage(const char* program);

}  // namespace zingel::bench
