#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chat/presence.h"

namespace zingel {
namespace {

// Advances by a fixed step on every reading.
class SteppingClock final : public Clock {
 public:
  explicit SteppingClock(double step) : step_(step) {}
  double Seconds() override {
    now_ += step_;
    ++readings;
    return now_;
  }
  double Peek() const { return now_; }
  int readings = 0;

 private:
  double now_ = 0;
  double step_;
};

TEST(Presence, SendsPresenceLineThenLinkAfterATenthOfASecond) {
  SteppingClock clock(0.003);
  struct Sent {
    std::u16string line;
    double at;
  };
  std::vector<Sent> sent;
  AnnouncePresence(
      [&](const std::u16string& line) {
        sent.push_back({line, clock.Peek()});
      },
      clock);
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].line, u"<b>Z</b>\u00EC\u00F1<b>G</b>\u00E8l 1.\u00BA");
  EXPECT_EQ(sent[1].line, u"<A HREF=\"" + std::u16string(DownloadUrl) + u"\">get it here</a>");
  const double pause = sent[1].at - sent[0].at;
  EXPECT_GE(pause, 0.1);
  EXPECT_LT(pause, 0.1 + 2 * 0.003);
}

TEST(BusyWait, ReturnsOnTheFirstReadingPastTheInterval) {
  struct Case {
    double step, seconds;
    int readings;  // the start reading included
  };
  // Steps that binary fractions hold exactly, so no rounding blurs the edge.
  constexpr Case kCases[] = {
      {0.015625, 0.1, 8}, {0.0625, 0.1, 3}, {0.025, 0.0, 2}, {0.5, 0.1, 2}, {0.0625, 0.125, 3}};
  for (const Case& c : kCases) {
    SteppingClock clock(c.step);
    BusyWait(clock, c.seconds);
    EXPECT_EQ(clock.readings, c.readings) << "step " << c.step << ", wait " << c.seconds;
  }
}

}  // namespace
}  // namespace zingel
