#include "session.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "common.h"
#include "ui/resource.h"

namespace zingel::bench {

std::string Session::WorkPath(const std::string& name) const {
  return driver::Program::WindowsPath(options.work + "/" + name);
}

std::vector<driver::LogLine> Session::RoomLinesSince(size_t first) const {
  auto lines = driver::ReadLog(room_log);
  lines.erase(lines.begin(),
              lines.begin() + static_cast<std::ptrdiff_t>(std::min(first, lines.size())));
  return lines;
}

int Session::Periods(int count) const {
  return static_cast<int>(std::ceil(count * period * 1e3 - 0.05));
}

int Session::ZingelLinuxPid() {
  if (zingel_pid == 0) zingel_pid = WaitLinuxProcess(options.zingel);
  return zingel_pid;
}

bool Press(driver::ZingelApp& zingel, int id) {
  // Start disables itself while announcing; stop enables it again.
  const bool want_enabled = id != IDC_COMMAND1;
  if (zingel.Click(id) && zingel.Sync() && zingel.Enabled(IDC_COMMAND1) == want_enabled)
    return true;
  Note("the click on %d did not take effect", id);
  return false;
}

bool Close(driver::ZingelApp& zingel) {
  return zingel.PostClose() && zingel.WaitForExit(20000);
}

}  // namespace zingel::bench
