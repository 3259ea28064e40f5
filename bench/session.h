#pragma once
// What the measurements of one run share: the options, the timer period, the chat room and the
// zingel they all use, started once.

#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "options.h"
#include "process_usage.h"
#include "standins.h"
#include "zingel_app.h"

namespace zingel::bench {

struct Session {
  explicit Session(Options given) : options(std::move(given)), random(options.seed) {}

  // A file in the work folder, as a Windows path.
  std::string WorkPath(const std::string& name) const;
  // The room's log lines after its first `first`.
  std::vector<driver::LogLine> RoomLinesSince(size_t first) const;
  // Song holds: whole milliseconds, at least `count` timer periods.
  int Periods(int count) const;
  // Looked up once, when first needed, so as not to slow zingel's start.
  int ZingelLinuxPid();
  Usage MeasureZingel() { return Measure(*zingel, ZingelLinuxPid()); }

  Options options;
  std::mt19937 random;
  double period = 0;   // the timer period, seconds
  int server_pid = 0;  // wineserver: it carries every message between processes
  std::string room_log;
  std::unique_ptr<driver::Standin> room;
  std::unique_ptr<driver::ZingelApp> zingel;
  int zingel_pid = 0;  // its Linux process, 0 until looked up
};

// Clicks start or stop and waits until zingel has handled it.
bool Press(driver::ZingelApp& zingel, int id);
// As the user closes it: the goodbye lines, then the end.
bool Close(driver::ZingelApp& zingel);

}  // namespace zingel::bench
