// zingel's CPU while it announces an unchanged song, beside the bare poller's (bare_poller.cpp)
// and, if the options name one, an older zingel's. Each round starts every poller in turn, lets
// it settle and watches it as long as the others, so a round's ratios compare pollers that met the
// same load on the machine; their median shrugs off a round slowed by other work.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "bench.h"

namespace zingel::bench {
namespace {

// bare_poller.cpp's window and its two questions.
constexpr char kBareClass[] = "ZingelBarePoller";
constexpr UINT kBareTicks = WM_APP;
constexpr UINT kBareReads = WM_APP + 1;
constexpr DWORD kSettleMs = 1000;
constexpr double kGoal = 1.10;  // zingel's CPU over the bare poller's

// CPU seconds of the three processes a poll involves, while one poller is watched.
struct Watch {
  double seconds = 0, poller = 0, player = 0, server = 0;
  double ticks = 0, reads = 0;  // counted by the bare poller; from the timer period for zingel
  double private_kib = 0, private_growth_kib = 0;  // zingel's, as the watch starts; its growth

  double Rate() const { return poller / seconds; }
};

struct Poller {
  std::string name, exe;
  bool bare = false;
  std::vector<Watch> rounds{};
};

// One figure summed over the rounds.
double Sum(const Poller& poller, double Watch::*figure) {
  double sum = 0;
  for (const Watch& watch : poller.rounds) sum += watch.*figure;
  return sum;
}

// Over all rounds.
double Rate(const Poller& poller) {
  return Sum(poller, &Watch::poller) / Sum(poller, &Watch::seconds);
}

Watch WatchCpu(const Lab& lab, int poller_pid, int player_pid) {
  const auto sample = [&] {
    return Watch{Now(), LinuxCpuSeconds(poller_pid), LinuxCpuSeconds(player_pid),
                 LinuxCpuSeconds(lab.server_pid())};
  };
  const Watch start = sample();
  Sleep(static_cast<DWORD>(lab.options().cpu_seconds) * 1000);
  const Watch end = sample();
  return {end.seconds - start.seconds, end.poller - start.poller, end.player - start.player,
          end.server - start.server};
}

std::optional<Watch> WatchZingel(const Lab& lab, const std::string& exe, int player_pid) {
  TestedZingel zingel(exe);
  if (!zingel.Started() || !zingel.Announce(true)) return std::nullopt;
  Sleep(kSettleMs);
  const double private_kib = zingel.Measure().private_kib;
  Watch watch = WatchCpu(lab, zingel.LinuxPid(), player_pid);
  watch.ticks = watch.seconds / lab.period();
  watch.private_kib = private_kib;
  watch.private_growth_kib = zingel.Measure().private_kib - private_kib;
  if (!zingel.Close()) return std::nullopt;
  return watch;
}

std::optional<Watch> WatchBarePoller(const Lab& lab, int player_pid) {
  const std::string& exe = lab.options().bare;
  driver::Program bare(exe);
  HWND window = nullptr;
  if (!bare.Started() ||
      !driver::WaitUntil([&] { return (window = bare.FindWindowOfClass(kBareClass)) != nullptr; },
                         60000))
    return std::nullopt;
  const int pid = WaitLinuxProcess(exe);
  Sleep(kSettleMs);
  const auto ask = [&](UINT question) {
    return static_cast<double>(SendMessageA(window, question, 0, 0));
  };
  const double ticks = ask(kBareTicks), reads = ask(kBareReads);
  Watch watch = WatchCpu(lab, pid, player_pid);
  watch.ticks = ask(kBareTicks) - ticks;
  watch.reads = ask(kBareReads) - reads;
  PostMessageA(window, WM_CLOSE, 0, 0);
  if (!bare.WaitForExit(20000)) return std::nullopt;
  return watch;
}

// `a`'s CPU over `b`'s, from the rounds they shared.
void RatioRow(const std::string& build, const Poller& a, const Poller& b, bool goal) {
  std::vector<double> ratios;
  for (size_t i = 0; i < a.rounds.size(); ++i)
    ratios.push_back(a.rounds[i].Rate() / b.rounds[i].Rate());
  const double median = Median(ratios);
  Row(Format("CPU ratio, %s: %s / %s", build.c_str(), a.name.c_str(), b.name.c_str()),
      Format("%.2f: median of %zu paired rounds (range %.2f-%.2f; %.2f over all rounds)", median,
             ratios.size(), Percentile(ratios, 0), Percentile(ratios, 1), Rate(a) / Rate(b)),
      goal ? Format("<= %.2f", kGoal) : "", goal ? Met(median <= kGoal) : "");
}

void PrintRows(const Options& options, const std::vector<Poller>& pollers) {
  const char* build = options.build.c_str();
  for (const Poller& poller : pollers) {
    const double seconds = Sum(poller, &Watch::seconds), ticks = Sum(poller, &Watch::ticks);
    const std::string cost = Format(
        "%.2f ms/s, %.0f us/tick (%.0f ticks%s); player %.2f, wineserver %.2f ms/s",
        Rate(poller) * 1e3, Sum(poller, &Watch::poller) / ticks * 1e6, ticks,
        poller.bare ? Format(" counted, %.0f read the caption", Sum(poller, &Watch::reads)).c_str()
                    : ", from the period",
        Sum(poller, &Watch::player) / seconds * 1e3, Sum(poller, &Watch::server) / seconds * 1e3);
    Row(poller.bare
            ? Format("CPU, %s: bare poller (FindWindowA + WM_GETTEXTLENGTH + WM_GETTEXT per tick)",
                     build)
            : Format("CPU, %s: %s announcing, song unchanged (%d x %d s)", build,
                     poller.name.c_str(), options.rounds, options.cpu_seconds),
        cost);
  }
  // The target is this build's; a build before is there to compare with.
  for (const Poller& poller : pollers) {
    if (!poller.bare) RatioRow(build, poller, pollers.back(), &poller == &pollers.front());
  }
  if (pollers.size() == 3) RatioRow(build, pollers[0], pollers[1], false);
  // Resident pages grow in 4 KiB steps as code first touches them; a leak of even the smallest
  // heap block (16 bytes) on every tick would show as more.
  const Poller& zingel = pollers.front();
  const double growth_kib = Sum(zingel, &Watch::private_growth_kib);
  const double per_tick = growth_kib * 1024 / Sum(zingel, &Watch::ticks);
  Row(Format("Private bytes of %s, %s, while it polls an unchanged song (growth in each round)",
             zingel.name.c_str(), build),
      Format("%.0f KiB at the first sample, %+.0f KiB over %d rounds = %.1f bytes per tick",
             zingel.rounds.front().private_kib, growth_kib, options.rounds, per_tick),
      "< 16 bytes per tick", Met(per_tick < 16));
}

}  // namespace

bool MeasurePollCost(Lab& lab) {
  const Options& options = lab.options();
  const bool before = !options.before.empty();
  std::vector<Poller> pollers{{.name = before ? "zingel after" : "zingel", .exe = options.zingel}};
  if (before)
    pollers.push_back(
        {.name = "zingel before (" + options.before_name + ")", .exe = options.before});
  pollers.push_back({.name = "bare poller", .exe = options.bare, .bare = true});
  driver::Standin player(options.player, {"--caption", "1. Bench - Steady - Winamp"});
  if (!player.Ready()) return false;
  const int player_pid = WaitLinuxProcess(options.player);
  for (int round = 1; round <= options.rounds; ++round) {
    for (Poller& poller : pollers) {
      const auto watch =
          poller.bare ? WatchBarePoller(lab, player_pid) : WatchZingel(lab, poller.exe, player_pid);
      if (!watch) return false;
      poller.rounds.push_back(*watch);
      Note("round %d: %s %.1f ms of CPU in %.1f s", round, poller.name.c_str(), watch->poller * 1e3,
           watch->seconds);
    }
  }
  PrintRows(options, pollers);
  return true;
}

}  // namespace zingel::bench
