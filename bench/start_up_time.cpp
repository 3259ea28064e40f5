// Start-up: process start to the first message box shown, for zingel (its welcome box) and for
// the bare box program (bare_box.cpp), whose start is all Wine's. They take turns start by start,
// so each pair met the same load and the same Wine; zingel / bare is the median of the pairs'
// ratios. A build before, if named, takes its turn in the same rounds.

#include <string>
#include <vector>

#include "bench.h"
#include "chat/presence.h"

namespace zingel::bench {
namespace {

constexpr double kGoal = 1.5;  // zingel's time to its box, less the wait, over the bare box's

struct Starter {
  std::string name, exe;
  bool bare = false;
  std::vector<double> to_box{}, to_ready{};  // seconds, one per round
};

// Times one start; false if the program did not show its box or end as it should.
bool Start(Starter& starter) {
  if (starter.bare) {
    const double start = Now();
    driver::ZingelApp app(starter.exe);
    const HWND box = app.Started() ? app.WaitForMessageBox(kStartTimeoutMs, kStartStepMs) : nullptr;
    starter.to_box.push_back(Now() - start);
    return box && driver::ZingelApp::DismissBox(box) && app.WaitForExit(20000);
  }
  TestedZingel zingel(starter.exe);
  if (!zingel.Started() || !zingel.Close()) return false;
  starter.to_box.push_back(zingel.SecondsToBox());
  starter.to_ready.push_back(zingel.SecondsToMainWindow());
  return true;
}

std::string Spread(const std::vector<double>& seconds) {
  return Format("%.0f ms (min %.0f, max %.0f; %zu starts)", Median(seconds) * 1e3,
                Percentile(seconds, 0) * 1e3, Percentile(seconds, 1) * 1e3, seconds.size());
}

// a's time to its box over b's, start by start, each less the fixed wait given.
std::vector<double> Ratios(const Starter& a, double a_wait, const Starter& b) {
  std::vector<double> ratios;
  for (size_t i = 0; i < a.to_box.size(); ++i)
    ratios.push_back((a.to_box[i] - a_wait) / b.to_box[i]);
  return ratios;
}

void RatioRow(const std::string& what, const std::vector<double>& ratios, bool goal) {
  const double median = Median(ratios);
  Row(what,
      Format("%.2f: median of %zu paired starts (range %.2f-%.2f)", median, ratios.size(),
             Percentile(ratios, 0), Percentile(ratios, 1)),
      goal ? Format("<= %.1f", kGoal) : "", goal ? Met(median <= kGoal) : "");
}

// A zingel beside the bare program: the ratio, the ratio of what zingel does not spend waiting on
// purpose (the target, for this build), and what it adds in milliseconds.
void CompareRows(const Starter& zingel, const Starter& bare, bool goal) {
  const char* name = zingel.name.c_str();
  RatioRow(Format("Start-up ratio, process start to box shown: %s / bare box", name),
           Ratios(zingel, 0, bare), false);
  RatioRow(Format("Start-up ratio less zingel's %.1f s presence wait: (%s - %.1f s) / bare box",
                  kPresencePause, name, kPresencePause),
           Ratios(zingel, kPresencePause, bare), goal);
  std::vector<double> extra;
  for (size_t i = 0; i < zingel.to_box.size(); ++i)
    extra.push_back(zingel.to_box[i] - bare.to_box[i]);
  Row(Format("Start-up: %s's own share, its time to the box minus the bare box's (paired)", name),
      Format("%.0f ms (min %.0f, max %.0f), %.0f ms of it the presence wait", Median(extra) * 1e3,
             Percentile(extra, 0) * 1e3, Percentile(extra, 1) * 1e3, kPresencePause * 1e3));
}

}  // namespace

bool MeasureStartUp(Lab& lab) {
  const Options& options = lab.options();
  const bool before = !options.before.empty();
  std::vector<Starter> starters{
      {.name = before ? "zingel after" : "zingel", .exe = options.zingel}};
  if (before)
    starters.push_back(
        {.name = "zingel before (" + options.before_name + ")", .exe = options.before});
  starters.push_back({.name = "bare box", .exe = options.bare_box, .bare = true});
  for (int round = 0; round < options.starts; ++round) {
    // Each takes the first turn in its share of rounds.
    for (size_t turn = 0; turn < starters.size(); ++turn) {
      Starter& starter = starters[(turn + static_cast<size_t>(round)) % starters.size()];
      if (!Start(starter)) {
        Note("start %d of %s failed", round + 1, starter.name.c_str());
        return false;
      }
      Note("start %d: %s's box after %.3f s", round + 1, starter.name.c_str(),
           starter.to_box.back());
    }
  }
  const Starter& bare = starters.back();
  for (const Starter& starter : starters)
    Row(starter.bare
            ? std::string("Start-up: bare box program (bench/bare_box.cpp), process start "
                          "to its box shown")
            : Format("Start-up: %s, process start to welcome box shown", starter.name.c_str()),
        Spread(starter.to_box));
  // The target is this build's; a build before is there to compare with.
  for (const Starter& starter : starters)
    if (!starter.bare) CompareRows(starter, bare, &starter == &starters.front());
  if (before)
    RatioRow(Format("Start-up ratio, process start to box shown: %s / %s", starters[0].name.c_str(),
                    starters[1].name.c_str()),
             Ratios(starters[0], 0, starters[1]), false);
  Row(Format("Start-up: %s, process start to main window shown (box dismissed at once)",
             starters[0].name.c_str()),
      Spread(starters[0].to_ready));
  return true;
}

}  // namespace zingel::bench
