#include "bench.h"

#include <cmath>
#include <cstddef>
#include <utility>

#include "ui/resource.h"

namespace zingel::bench {
namespace {

constexpr int kPeriodTicks = 200;

// The mean interval of a 1 ms timer of this thread.
double TimerPeriod() {
  const UINT_PTR timer = SetTimer(nullptr, 0, 1, nullptr);
  if (!timer) return 0;
  std::vector<double> times;
  MSG message;
  while (times.size() <= kPeriodTicks && GetMessageA(&message, nullptr, 0, 0) > 0)
    if (message.message == WM_TIMER && message.wParam == timer) times.push_back(Now());
  KillTimer(nullptr, timer);
  if (times.size() < 2) return 0;
  return (times.back() - times.front()) / static_cast<double>(times.size() - 1);
}

}  // namespace

Lab::Lab(Options options)
    : options_(std::move(options)),
      period_(TimerPeriod()),
      server_pid_(FindLinuxProcess("/usr/lib/wine/wineserver")),
      room_log_(WorkPath("room.log")) {
  DeleteFileA(room_log_.c_str());
  room_ = std::make_unique<driver::Standin>(options_.room,
                                            std::vector<std::string>{"--log", room_log_});
}

bool Lab::Ready() const {
  if (server_pid_ == 0)
    Note("no wineserver of this prefix in /proc: run under Wine, with WINEPREFIX set");
  return server_pid_ != 0 && period_ > 0 && room_->Ready();
}

int Lab::Periods(int count) const {
  return static_cast<int>(std::ceil(count * period_ * 1e3 - 0.05));
}

std::string Lab::WorkPath(const std::string& name) const {
  return driver::Program::WindowsPath(options_.work + "/" + name);
}

std::vector<driver::LogLine> Lab::RoomLinesSince(size_t first) const {
  const auto lines = driver::ReadLog(room_log_);
  return {lines.begin() + static_cast<std::ptrdiff_t>(std::min(first, lines.size())), lines.end()};
}

TestedZingel::TestedZingel(const std::string& exe) : exe_(exe), start_(Now()), app_(exe) {
  const HWND box = app_.Started() ? app_.WaitForMessageBox(kStartTimeoutMs, kStartStepMs) : nullptr;
  to_box_ = Now() - start_;
  if (box && driver::ZingelApp::DismissBox(box, kStartTimeoutMs, kStartStepMs) &&
      app_.WaitForMainWindow(kStartTimeoutMs, kStartStepMs)) {
    to_ready_ = Now() - start_;
    // Looked up once it has started, so as not to slow its start.
    linux_pid_ = WaitLinuxProcess(exe);
  } else {
    Note("%s did not start: %s", exe.c_str(), box ? "no main window" : "no welcome box");
  }
}

bool TestedZingel::Announce(bool on) {
  // Start disables itself while announcing; stop enables it again.
  const int button = on ? IDC_COMMAND1 : IDC_COMMAND2;
  if (app_.Click(button) && app_.Sync() && app_.Enabled(IDC_COMMAND1) == !on) return true;
  Note("the click on %d did not take effect", button);
  return false;
}

bool TestedZingel::Close() {
  if (app_.PostClose() && app_.WaitForExit(20000)) return true;
  Note("zingel did not end when closed");
  return false;
}

}  // namespace zingel::bench
