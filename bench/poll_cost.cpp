// zingel's CPU and its reads of the player while it announces an unchanged song: with a player
// that raises the caption event, with one that raises none (--no-events), beside the bare poller
// (bare_poller.cpp) and, if the options name one, an older zingel, with a player of no events too;
// and the floor, the player and the Wine server while nothing polls. Each round starts every
// poller in turn, lets it settle and watches it as long as the others, so a round's ratios compare
// pollers that met the same load on the machine; their median shrugs off a round slowed by other
// work.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bare_programs.h"
#include "bench.h"

namespace zingel::bench {
namespace {

constexpr DWORD kSettleMs = 1000;
constexpr double kBareGoal = 1.10;    // zingel's CPU over the bare poller's, without events
constexpr double kBeforeGoal = 1.05;  // without events, over the build before's
constexpr double kEventsGoal = 0.10;  // the three processes' CPU with events over that without
constexpr double kReadsGoal = 2;      // reads of the player a second with events

// CPU seconds of the three processes a poll involves, while one poller is watched.
struct Watch {
  double seconds = 0, poller = 0, player = 0, server = 0;
  double ticks = 0;  // counted by the bare poller; from the timer period for zingel
  double reads = 0;  // of the player's caption (WM_GETTEXT), as the player counts them
  double private_kib = 0, private_growth_kib = 0;  // zingel's, as the watch starts; its growth

  double Rate() const { return poller / seconds; }
  double Total() const { return (poller + player + server) / seconds; }
};

enum class Kind { kNothing, kZingel, kBare };

struct Poller {
  std::string name, exe;
  Kind kind = Kind::kZingel;
  bool events = false;  // its player raises the caption event
  std::vector<Watch> rounds{};
};

// The one player there may be at a time (zingel and the bare poller take the first window of its
// class), started anew when a poller needs the other kind.
class Player {
 public:
  explicit Player(std::string exe) : exe_(std::move(exe)) {}

  bool Use(bool events) {
    if (standin_ && events_ == events) return true;
    standin_.reset();
    // The one ended must be gone from /proc before the next one is looked up there.
    const std::string path = driver::Program::WindowsPath(exe_);
    if (!driver::WaitUntil([&] { return FindLinuxProcess(path) == 0; })) return false;
    std::vector<std::string> args{"--caption", Caption()};
    if (!events) args.push_back("--no-events");
    standin_ = std::make_unique<driver::PlayerStandin>(exe_, args);
    events_ = events;
    pid_ = standin_->Ready() ? WaitLinuxProcess(exe_) : 0;
    return pid_ != 0;
  }
  int pid() const { return pid_; }
  // Shows a song no poller has seen; gives its title, "" if the player did not take it.
  std::string NextSong() {
    ++song_;
    return standin_->Show(Caption()) ? Title() : "";
  }
  double Reads() { return static_cast<double>(standin_->Reads()); }

 private:
  std::string Title() const { return Format("Bench - Steady %d", song_); }
  std::string Caption() const { return "1. " + Title() + " - Winamp"; }

  std::string exe_;
  std::unique_ptr<driver::PlayerStandin> standin_;
  bool events_ = false;
  int pid_ = 0, song_ = 0;
};

// One figure summed over the rounds.
double Sum(const Poller& poller, double Watch::*figure) {
  double sum = 0;
  for (const Watch& watch : poller.rounds) sum += watch.*figure;
  return sum;
}

double PerSecond(const Poller& poller, double Watch::*figure) {
  return Sum(poller, figure) / Sum(poller, &Watch::seconds);
}

Watch WatchCpu(const Lab& lab, int poller_pid, Player& player) {
  const auto sample = [&] {
    return Watch{Now(), LinuxCpuSeconds(poller_pid), LinuxCpuSeconds(player.pid()),
                 LinuxCpuSeconds(lab.server_pid())};
  };
  const double reads = player.Reads();
  const Watch start = sample();
  Sleep(static_cast<DWORD>(lab.options().cpu_seconds) * 1000);
  const Watch end = sample();
  return {.seconds = end.seconds - start.seconds,
          .poller = end.poller - start.poller,
          .player = end.player - start.player,
          .server = end.server - start.server,
          .reads = player.Reads() - reads};
}

// The floor: the player and the Wine server while nothing polls, once the player's start is over.
Watch WatchNothing(const Lab& lab, Player& player) {
  Sleep(kSettleMs);
  return WatchCpu(lab, 0, player);
}

std::optional<Watch> WatchZingel(const Lab& lab, const std::string& exe, Player& player) {
  TestedZingel zingel(exe);
  if (!zingel.Started() || !zingel.Announce(true)) return std::nullopt;
  // Only a new caption that an event announced lets zingel slow its poll: one is shown, to every
  // zingel alike, and posted before the watch.
  const size_t posted = lab.RoomLinesSince().size();
  const std::string song = player.NextSong();
  const bool announced = !song.empty() && driver::WaitUntil([&] {
    for (const driver::LogLine& line : lab.RoomLinesSince(posted))
      if (line.text.ends_with("</b> " + song)) return true;
    return false;
  });
  if (!announced) {
    Note("%s did not announce the new song", exe.c_str());
    return std::nullopt;
  }
  Sleep(kSettleMs);
  const double private_kib = zingel.Measure().private_kib;
  Watch watch = WatchCpu(lab, zingel.LinuxPid(), player);
  watch.ticks = watch.seconds / lab.period();
  watch.private_kib = private_kib;
  watch.private_growth_kib = zingel.Measure().private_kib - private_kib;
  if (!zingel.Close()) return std::nullopt;
  return watch;
}

std::optional<Watch> WatchBarePoller(const Lab& lab, Player& player) {
  const std::string& exe = lab.options().bare;
  driver::Program bare(exe);
  const auto find = [&] { return bare.FindWindowOfClass(kBarePollerClass.ansi); };
  if (!bare.Started() || !driver::WaitUntil([&] { return find() != nullptr; }, 60000))
    return std::nullopt;
  const HWND window = find();
  const int pid = WaitLinuxProcess(exe);
  Sleep(kSettleMs);
  const double ticks = static_cast<double>(SendMessageA(window, kBareTicksMessage, 0, 0));
  Watch watch = WatchCpu(lab, pid, player);
  watch.ticks = static_cast<double>(SendMessageA(window, kBareTicksMessage, 0, 0)) - ticks;
  PostMessageA(window, WM_CLOSE, 0, 0);
  if (!bare.WaitForExit(20000)) return std::nullopt;
  return watch;
}

// `a`'s figure over `b`'s, from the rounds they shared, with a goal for the median if not 0.
void RatioRow(const std::string& what, const Poller& a, const Poller& b,
              double (Watch::*figure)() const, double goal) {
  std::vector<double> ratios;
  double a_sum = 0, b_sum = 0;  // over all rounds
  for (size_t i = 0; i < a.rounds.size(); ++i) {
    const Watch &x = a.rounds[i], &y = b.rounds[i];
    ratios.push_back((x.*figure)() / (y.*figure)());
    a_sum += (x.*figure)() * x.seconds;
    b_sum += (y.*figure)() * y.seconds;
  }
  const double median = Median(ratios);
  const int digits = goal > 0 && goal < 1 ? 3 : 2;  // a goal of a tenth wants one more
  Row(what,
      Format("%.*f: median of %zu paired rounds (range %.*f-%.*f; %.*f over all rounds)", digits,
             median, ratios.size(), digits, Percentile(ratios, 0), digits, Percentile(ratios, 1),
             digits, a_sum / b_sum),
      goal > 0 ? Format("<= %.2f", goal) : "", goal > 0 ? Met(median <= goal) : "");
}

void PollerRow(const Options& options, const Poller& poller) {
  const char* build = options.build.c_str();
  const double ticks = Sum(poller, &Watch::ticks);
  // With events zingel's timer ticks once a second: its reads tell its polls.
  const std::string per_tick =
      poller.events
          ? std::string()
          : Format(", %.0f us/tick (%.0f ticks%s)", Sum(poller, &Watch::poller) / ticks * 1e6,
                   ticks, poller.kind == Kind::kBare ? " counted" : ", from the period");
  if (poller.kind == Kind::kNothing) {
    Row(Format("CPU, %s: nothing polling, the player (with events) idle: the floor", build),
        Format("player %.2f, wineserver %.2f ms/s; the two %.2f ms/s",
               PerSecond(poller, &Watch::player) * 1e3, PerSecond(poller, &Watch::server) * 1e3,
               (PerSecond(poller, &Watch::player) + PerSecond(poller, &Watch::server)) * 1e3));
    return;
  }
  Row(poller.kind == Kind::kBare
          ? Format("CPU, %s: bare poller (FindWindowA + WM_GETTEXTLENGTH + WM_GETTEXT per tick), "
                   "player --no-events",
                   build)
          : Format("CPU, %s: %s announcing, song unchanged (%d x %d s)", build, poller.name.c_str(),
                   options.rounds, options.cpu_seconds),
      Format("%.2f ms/s%s; player %.2f, wineserver %.2f ms/s; the three %.2f ms/s; %.1f reads "
             "of the player a second",
             PerSecond(poller, &Watch::poller) * 1e3, per_tick.c_str(),
             PerSecond(poller, &Watch::player) * 1e3, PerSecond(poller, &Watch::server) * 1e3,
             (Sum(poller, &Watch::poller) + Sum(poller, &Watch::player) +
              Sum(poller, &Watch::server)) /
                 Sum(poller, &Watch::seconds) * 1e3,
             PerSecond(poller, &Watch::reads)));
}

// pollers: nothing, zingel with events, zingel --no-events, [zingel before], bare poller.
void PrintRows(const Options& options, const std::vector<Poller>& pollers) {
  const char* build = options.build.c_str();
  for (const Poller& poller : pollers) PollerRow(options, poller);
  const Poller &events = pollers[1], &plain = pollers[2], &bare = pollers.back();
  const Poller* before = pollers.size() == 5 ? &pollers[3] : nullptr;

  std::vector<double> reads;
  for (const Watch& watch : events.rounds) reads.push_back(watch.reads / watch.seconds);
  Row(Format("Reads of the player a second, song unchanged, %s: %s", build, events.name.c_str()),
      Format("%.2f: median of %zu rounds (range %.2f-%.2f); %s: %.1f", Median(reads), reads.size(),
             Percentile(reads, 0), Percentile(reads, 1), plain.name.c_str(),
             PerSecond(plain, &Watch::reads)),
      Format("<= %.0f", kReadsGoal), Met(Median(reads) <= kReadsGoal));
  RatioRow(Format("CPU of zingel + player + wineserver, %s: %s / %s", build, events.name.c_str(),
                  plain.name.c_str()),
           events, plain, &Watch::Total, kEventsGoal);
  RatioRow(Format("CPU ratio, %s: %s / bare poller", build, plain.name.c_str()), plain, bare,
           &Watch::Rate, kBareGoal);
  if (before) {
    RatioRow(Format("CPU ratio, %s: %s / bare poller", build, before->name.c_str()), *before, bare,
             &Watch::Rate, 0);
    RatioRow(Format("CPU ratio, %s: %s / %s", build, plain.name.c_str(), before->name.c_str()),
             plain, *before, &Watch::Rate, kBeforeGoal);
    RatioRow(Format("CPU of zingel + player + wineserver, %s: %s / %s", build, plain.name.c_str(),
                    before->name.c_str()),
             plain, *before, &Watch::Total, kBeforeGoal);
  }
  // Resident pages grow in 4 KiB steps as code first touches them; a leak of even the smallest
  // heap block (16 bytes) on every tick would show as more.
  const double growth_kib = Sum(plain, &Watch::private_growth_kib);
  const double per_tick = growth_kib * 1024 / Sum(plain, &Watch::ticks);
  Row(Format("Private bytes of %s, %s, while it polls an unchanged song (growth in each round)",
             plain.name.c_str(), build),
      Format("%.0f KiB at the first sample, %+.0f KiB over %d rounds = %.1f bytes per tick; %s: "
             "%+.0f KiB",
             plain.rounds.front().private_kib, growth_kib, options.rounds, per_tick,
             events.name.c_str(), Sum(events, &Watch::private_growth_kib)),
      "< 16 bytes per tick", Met(per_tick < 16));
}

}  // namespace

bool MeasurePollCost(Lab& lab) {
  const Options& options = lab.options();
  const bool before = !options.before.empty();
  const std::string after = before ? "zingel after" : "zingel";
  std::vector<Poller> pollers{
      {.name = "nothing polling", .exe = "", .kind = Kind::kNothing, .events = true},
      {.name = after + " (player with events)", .exe = options.zingel, .events = true},
      {.name = after + " (player --no-events)", .exe = options.zingel}};
  if (before)
    pollers.push_back(
        {.name = "zingel before (" + options.before_name + ")", .exe = options.before});
  pollers.push_back({.name = "bare poller", .exe = options.bare, .kind = Kind::kBare});
  Player player(options.player);
  for (int round = 1; round <= options.rounds; ++round) {
    for (Poller& poller : pollers) {
      if (!player.Use(poller.events)) return false;
      const auto watch = poller.kind == Kind::kNothing ? WatchNothing(lab, player)
                         : poller.kind == Kind::kBare  ? WatchBarePoller(lab, player)
                                                       : WatchZingel(lab, poller.exe, player);
      if (!watch) return false;
      // Every poller read the caption before its watch, and reads it on; 0 is no answer.
      if (poller.kind != Kind::kNothing && watch->reads <= 0) {
        Note("the player did not tell its reads");
        return false;
      }
      poller.rounds.push_back(*watch);
      Note("round %d: %s %.1f ms of CPU in %.1f s, the three %.1f ms, %.0f reads", round,
           poller.name.c_str(), watch->poller * 1e3, watch->seconds,
           watch->Total() * watch->seconds * 1e3, watch->reads);
    }
  }
  PrintRows(options, pollers);
  return true;
}

}  // namespace zingel::bench
