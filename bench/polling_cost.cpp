#include "polling_cost.h"

#include <windows.h>

#include "common.h"
#include "song_run.h"
#include "table.h"
#include "ui/resource.h"

namespace zingel::bench {
namespace {

// bare_poller.cpp's window and its two questions.
constexpr char kBareClass[] = "ZingelBarePoller";
constexpr UINT kBareTicks = WM_APP;
constexpr UINT kBareReads = WM_APP + 1;
constexpr char kSteadyTitle[] = "Bench - Steady";
// Lets each poller reach its steady state first.
constexpr DWORD kSettleMs = 1000;

// The three processes' CPU time so far, and the clock.
PollCost Sample(int poller_pid, int player_pid, int server_pid) {
  PollCost cost;
  cost.seconds = Now();
  cost.poller = LinuxCpuSeconds(poller_pid);
  cost.player = LinuxCpuSeconds(player_pid);
  cost.server = LinuxCpuSeconds(server_pid);
  return cost;
}

PollCost Since(const PollCost& start, int poller_pid, int player_pid, int server_pid) {
  PollCost end = Sample(poller_pid, player_pid, server_pid);
  end.seconds -= start.seconds;
  end.poller -= start.poller;
  end.player -= start.player;
  end.server -= start.server;
  return end;
}

}  // namespace

void PollCost::Add(const PollCost& other) {
  seconds += other.seconds;
  poller += other.poller;
  player += other.player;
  server += other.server;
  ticks += other.ticks;
  reads += other.reads;
}

bool MeasurePolling(Session& session, Polling& polling) {
  const Options& options = session.options;
  driver::Standin player(options.player, {"--caption", Caption(kSteadyTitle)});
  if (!player.Ready()) return false;
  const int player_pid = WaitLinuxProcess(options.player);
  const int server_pid = session.server_pid;
  const auto wait_ms = static_cast<DWORD>(options.cpu_seconds * 1000);
  for (int round = 0; round < options.rounds; ++round) {
    if (!Press(*session.zingel, IDC_COMMAND1)) return false;
    Sleep(kSettleMs);
    const int zingel_pid = session.ZingelLinuxPid();
    const Usage before = session.MeasureZingel();
    PollCost start = Sample(zingel_pid, player_pid, server_pid);
    Sleep(wait_ms);
    PollCost cost = Since(start, zingel_pid, player_pid, server_pid);
    cost.ticks = cost.seconds / session.period;
    const Usage after = session.MeasureZingel();
    if (round == 0) polling.steady_before = before;
    polling.steady_after = after;
    polling.zingel.Add(cost);
    const double zingel_rate = cost.poller / cost.seconds;
    if (!Press(*session.zingel, IDC_COMMAND2)) return false;
    Note("round %d: zingel %.1f ms of CPU in %.1f s", round + 1, cost.poller * 1e3, cost.seconds);

    driver::Program bare(options.bare);
    HWND window = nullptr;
    if (!bare.Started() ||
        !driver::WaitUntil([&] { return (window = bare.FindWindowOfClass(kBareClass)) != nullptr; },
                           60000))
      return false;
    const int bare_pid = WaitLinuxProcess(options.bare);
    Sleep(kSettleMs);
    const LRESULT ticks = SendMessageA(window, kBareTicks, 0, 0);
    const LRESULT reads = SendMessageA(window, kBareReads, 0, 0);
    start = Sample(bare_pid, player_pid, server_pid);
    Sleep(wait_ms);
    cost = Since(start, bare_pid, player_pid, server_pid);
    cost.ticks = static_cast<double>(SendMessageA(window, kBareTicks, 0, 0) - ticks);
    cost.reads = static_cast<double>(SendMessageA(window, kBareReads, 0, 0) - reads);
    polling.bare.Add(cost);
    polling.round_ratios.push_back(zingel_rate / (cost.poller / cost.seconds));
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (!bare.WaitForExit(20000)) return false;
    Note("round %d: bare poller %.1f ms of CPU in %.1f s", round + 1, cost.poller * 1e3,
         cost.seconds);
  }
  return true;
}

void PrintPollingRows(const Session& session, const Polling& polling) {
  const double ms = 1e3;
  const PollCost& z = polling.zingel;
  const PollCost& b = polling.bare;
  const double zingel_rate = z.poller / z.seconds, bare_rate = b.poller / b.seconds;
  Row(Format("CPU: zingel announcing, song unchanged (%d x %.0f s)", session.options.rounds,
             session.options.cpu_seconds),
      Format("%.2f ms/s, %.0f us/tick (%.0f ticks, from the period)", zingel_rate * ms,
             z.poller / z.ticks * 1e6, z.ticks),
      "", "");
  Row("CPU: bare poller (FindWindowA + WM_GETTEXTLENGTH + WM_GETTEXT per tick)",
      Format("%.2f ms/s, %.0f us/tick (%.0f ticks counted, %.0f read the caption)", bare_rate * ms,
             b.poller / b.ticks * 1e6, b.ticks, b.reads),
      "", "");
  // Rounds are paired, zingel then the bare poller; the median of their
  // ratios shrugs off a round slowed by other work on the machine.
  const std::vector<double>& ratios = polling.round_ratios;
  const double ratio = Median(ratios);
  Row("CPU ratio zingel / bare",
      Format("%.2f: median of %zu paired rounds (range %.2f-%.2f; %.2f over all rounds)", ratio,
             ratios.size(), Percentile(ratios, 0), Percentile(ratios, 1), zingel_rate / bare_rate),
      "<= 1.2", Met(ratio <= 1.2));
  Row("CPU of player / wineserver meanwhile (zingel; bare)",
      Format("%.2f / %.2f ms/s; %.2f / %.2f ms/s", z.player / z.seconds * ms,
             z.server / z.seconds * ms, b.player / b.seconds * ms, b.server / b.seconds * ms),
      "", "");
  // Resident pages grow in 4 KiB steps as code first touches them; a leak of
  // even the smallest heap block (16 bytes) on every tick would show as more.
  const Usage& before = polling.steady_before;
  const Usage& after = polling.steady_after;
  const double growth = (after.private_kib - before.private_kib) * 1024 / z.ticks;
  Row("Private bytes while polling an unchanged song, first to last sample",
      Format("%s = %.1f bytes per tick", Change(before.private_kib, after.private_kib).c_str(),
             growth),
      "< 16 bytes per tick", Met(growth < 16));
}

}  // namespace zingel::bench
