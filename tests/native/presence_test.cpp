#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chat/chat_room.h"
#include "chat/presence.h"
#include "support/cp1252.h"
#include "support/fake_window_system.h"

namespace zingel {
namespace {

using test::FakeWindowSystem;

// Advances by a fixed step on every reading, starting just before midnight
// of a time-of-day clock to show that nothing depends on the time of day.
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
  double now_ = 86399.5;
  double step_;
};

TEST(Presence, SendsPresenceLineThenLinkAfterATenthOfASecond) {
  FakeWindowSystem windows;
  const WindowHandle room = windows.AddTopWindow(u"Aim_Chatwnd");
  windows.AddChild(room, u"WndAte32Class");
  windows.AddChild(room, u"WndAte32Class");
  for (int i = 0; i < 6; ++i) windows.AddChild(room, u"_Oscar_IconBtn");
  ChatRoomSender sender(windows);
  SteppingClock clock(0.003);

  struct Sent {
    std::string bytes;
    double started, finished;
  };
  std::vector<Sent> sent;
  AnnouncePresence(
      [&](const std::u16string& line) {
        const double started = clock.Peek();
        sender.SendChatLine(line);
        sent.push_back({test::ToCp1252(line), started, clock.Peek()});
      },
      clock);

  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].bytes, "<b>Z</b>\xEC\xF1<b>G</b>\xE8l 1.\xBA");
  EXPECT_EQ(sent[1].bytes, "<A HREF=\"" + test::ToCp1252(DownloadUrl) + "\">get it here</a>");
  const double pause = sent[1].started - sent[0].finished;
  EXPECT_GE(pause, 0.1);
  EXPECT_LT(pause, 0.1 + 2 * 0.003);

  // Each line is written and then sent, in order.
  using Action = FakeWindowSystem::Action;
  ASSERT_EQ(windows.Events().size(), 4u);
  EXPECT_EQ(windows.Events()[0].action, Action::kWrite);
  EXPECT_EQ(windows.Events()[1].action, Action::kPress);
  EXPECT_EQ(windows.Events()[2].action, Action::kWrite);
  EXPECT_EQ(windows.Events()[3].action, Action::kPress);
  EXPECT_EQ(windows.Events()[2].bytes, sent[1].bytes);
}

TEST(Presence, TakesItsPauseEvenWithNoRoom) {
  SteppingClock clock(0.01);
  int lines = 0;
  AnnouncePresence([&](const std::u16string&) { ++lines; }, clock);
  EXPECT_EQ(lines, 2);
  EXPECT_GE(clock.readings, 11);
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

TEST(SendChatLink, BuildsTheLinkMarkupUnescaped) {
  std::u16string sent;
  SendChatLink([&](const std::u16string& line) { sent = line; }, u"a", u"b");
  EXPECT_EQ(sent, u"<A HREF=\"b\">a</a>");
  EXPECT_EQ(sent.size(), 17u);
}

}  // namespace
}  // namespace zingel
