// The presence announcement: its two lines and the pause between them, on an injected clock.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chat/presence.h"

namespace zingel {
namespace {

// Advances by a fixed step on every reading, from far past 0: the pause is measured from the
// first reading, not from the clock's start.
class SteppingClock final : public Clock {
 public:
  double Seconds() override { return now += 0.003; }
  double now = 1000.5;
};

TEST(Presence, SendsPresenceLineThenLinkAfterATenthOfASecond) {
  SteppingClock clock;
  std::vector<std::u16string> lines;
  std::vector<double> times;
  AnnouncePresence(
      [&](const std::u16string& line) {
        lines.push_back(line);
        times.push_back(clock.now);
      },
      clock);
  EXPECT_EQ(lines, (std::vector<std::u16string>{
                       u"<b>Z</b>\u00EC\u00F1<b>G</b>\u00E8l 1.\u00BA",
                       u"<A HREF=\"" + std::u16string(DownloadUrl) + u"\">get it here</a>"}));
  ASSERT_EQ(times.size(), 2u);
  EXPECT_GE(times[1] - times[0], 0.1);
  EXPECT_LT(times[1] - times[0], 0.1 + 2 * 0.003);
}

}  // namespace
}  // namespace zingel
