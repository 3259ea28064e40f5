#include "startup.h"

#include <memory>
#include <string>
#include <utility>

#include "common.h"
#include "table.h"

namespace zingel::bench {
namespace {

using driver::ZingelApp;

// Every step of a wait counts in the time taken: look often.
constexpr DWORD kStepMs = 1;
constexpr DWORD kTimeoutMs = 60000;
// zingel's busy wait between its two presence lines, before the welcome box.
constexpr double kPresenceWait = 0.1;

// zingel started and its welcome box dismissed, or nullptr.
std::unique_ptr<ZingelApp> Launch(const std::string& exe, StartTimes& times) {
  const double start = Now();
  auto zingel = std::make_unique<ZingelApp>(exe);
  if (!zingel->Started()) return nullptr;
  const HWND box = zingel->WaitForMessageBox(kTimeoutMs, kStepMs);
  if (!box) {
    Note("no welcome box");
    return nullptr;
  }
  times.to_box = Now() - start;
  if (!ZingelApp::DismissBox(box, kTimeoutMs, kStepMs) ||
      !zingel->WaitForMainWindow(kTimeoutMs, kStepMs)) {
    Note("no main window");
    return nullptr;
  }
  times.to_ready = Now() - start;
  return zingel;
}

}  // namespace

bool TimeStartups(Session& session, int starts, std::vector<StartTimes>& times) {
  for (int i = 0; i < starts; ++i) {
    StartTimes start;
    auto zingel = Launch(session.options.zingel, start);
    if (!zingel) return false;
    times.push_back(start);
    Note("start %d: welcome box after %.3f s, ready after %.3f s", i + 1, start.to_box,
         start.to_ready);
    if (i + 1 == starts) {
      session.zingel = std::move(zingel);
    } else if (!Close(*zingel)) {
      Note("zingel did not end when closed");
      return false;
    }
  }
  return true;
}

void PrintStartRows(const std::vector<StartTimes>& starts, bool timed) {
  const double ms = 1e3;
  if (!timed) {
    Row("Start-up in this display, 1 start: welcome box shown / main window shown",
        Format("%.0f / %.0f ms", starts.front().to_box * ms, starts.front().to_ready * ms));
    return;
  }
  std::vector<double> to_box, to_ready;
  for (const StartTimes& start : starts) {
    to_box.push_back(start.to_box);
    to_ready.push_back(start.to_ready);
  }
  const auto spread = [&](const std::vector<double>& values, double minus) {
    return Format("%.0f ms (min %.0f, max %.0f; %zu starts)", (Median(values) - minus) * ms,
                  (Percentile(values, 0) - minus) * ms, (Percentile(values, 1) - minus) * ms,
                  values.size());
  };
  Row("Start-up: process start to welcome box shown", spread(to_box, 0), "", "");
  Row("Start-up: process start to main window shown (box dismissed at once)", spread(to_ready, 0),
      "", "");
  Row("Start-up to main window, excluding the 0.1 s presence wait", spread(to_ready, kPresenceWait),
      "", "");
}

}  // namespace zingel::bench
