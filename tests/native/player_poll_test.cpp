// When the player is read, as the poll drives its timer, its hook and its posted reads: the hook
// set before the read, undone when the player is gone or announcing stops; nothing read after
// stop; events during a read asking for another; event reads 10 ms apart at the least.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "player/player_poll.h"
#include "support/fake_window_system.h"

namespace zingel {
namespace {

using Calls = std::vector<std::string>;

class FakeClock final : public Clock {
 public:
  double now = 50;
  double Seconds() override { return now; }
};

// Records each call, a hook of another window with how many reads of a caption had been made by
// then.
class RecordingPlatform final : public PollPlatform {
 public:
  explicit RecordingPlatform(const test::FakeWindowSystem& windows) : windows_(windows) {}
  Calls calls;
  bool SetTimer(unsigned interval_ms) override {
    calls.push_back("timer " + std::to_string(interval_ms));
    return true;
  }
  void KillTimer() override { calls.push_back("kill"); }
  void WatchCaptions(WindowHandle window) override {
    if (window == watched_) return;
    watched_ = window;
    calls.push_back("watch " + std::to_string(window) + " after " + std::to_string(windows_.reads) +
                    " reads");
  }
  bool PostRead() override {
    calls.push_back("post");
    return true;
  }

 private:
  const test::FakeWindowSystem& windows_;
  WindowHandle watched_ = 0;
};

struct PollRig {
  test::FakeWindowSystem windows;
  FakeClock clock;
  RecordingPlatform platform{windows};
  PlayerReader reader{windows};
  PlayerPoll poll{reader, clock, platform, 0.01};
  WindowHandle player = windows.AddTopWindow(u"Winamp v1.x", u"1. A - Winamp");

  // What the poll asked of the platform since the last call, and forgotten.
  Calls Take() { return std::exchange(platform.calls, {}); }
  // A read 20 ms after the last, as a tick or an event's read brings it.
  std::u16string Read() {
    clock.now += 0.02;
    return poll.ReadSongTitle().value_or(u"(no news)");
  }
  std::string Watch(WindowHandle window) {
    return "watch " + std::to_string(window) + " after " + std::to_string(windows.reads) + " reads";
  }
};

TEST(PlayerPoll, HooksThePlayerBeforeItReadsAndUnhooksWhenItIsGoneOrAnnouncingStops) {
  PollRig rig;
  // The read that starts announcing hooks the player before reading its caption.
  std::string watch = rig.Watch(rig.player);
  EXPECT_EQ(rig.Read(), u"A");
  EXPECT_EQ(rig.Take(), Calls{watch});
  rig.poll.Run();
  EXPECT_EQ(rig.Take(), Calls{"timer 1"});
  rig.windows.Close(rig.player);
  watch = rig.Watch(0);
  EXPECT_EQ(rig.Read(), u"");
  EXPECT_EQ(rig.Take(), Calls{watch});
  const WindowHandle restarted = rig.windows.AddTopWindow(u"Winamp v1.x", u"1. B - Winamp");
  watch = rig.Watch(restarted);
  EXPECT_EQ(rig.Read(), u"B");
  EXPECT_EQ(rig.Take(), Calls{watch});
  // Stop: the timer and the hook go, and a tick or a read already queued reads nothing.
  rig.poll.OnCaptionEvent();
  rig.poll.Stop();
  EXPECT_EQ(rig.Take(), (Calls{"post", "kill", "watch 0 after 3 reads"}));
  EXPECT_FALSE(rig.poll.OnTimer());
  rig.clock.now += 1;
  EXPECT_FALSE(rig.poll.OnReadMessage());
  EXPECT_TRUE(rig.Take().empty());
}

TEST(PlayerPoll, EventsAskForReadsThatProveThemAndPaceTheTimer) {
  PollRig rig;
  rig.Read();
  // An event between the read that starts announcing and the timer's start is kept.
  rig.windows.SetText(rig.player, u"1. B - Winamp");
  rig.poll.OnCaptionEvent();
  rig.poll.OnCaptionEvent();  // the same news
  rig.poll.Run();
  rig.Take();
  rig.clock.now += 0.02;
  EXPECT_TRUE(rig.poll.OnReadMessage());
  EXPECT_EQ(rig.poll.ReadSongTitle(), u"B");
  EXPECT_EQ(rig.Take(), Calls{"timer 1000"});
  // A change during a read, after its caption was copied, asks for another read at once, not at
  // the next safety poll.
  rig.windows.during_read = [&] {
    rig.windows.SetText(rig.player, u"1. C - Winamp");
    rig.poll.OnCaptionEvent();
    rig.windows.during_read = nullptr;
  };
  EXPECT_EQ(rig.Read(), u"B");
  EXPECT_EQ(rig.Take(), (Calls{"post", "timer 1"}));
  // Asked too soon after the last read, the read waits for the full-rate timer's tick.
  EXPECT_FALSE(rig.poll.OnReadMessage());
  rig.clock.now += 0.011;
  EXPECT_TRUE(rig.poll.OnReadMessage());
  EXPECT_EQ(rig.poll.ReadSongTitle(), u"C");
  EXPECT_EQ(rig.Take(), Calls{"timer 1000"});
  // While a song line is held, the safety poll ticks faster; not so the full rate.
  rig.poll.SetHolding(true);
  rig.poll.SetHolding(false);
  EXPECT_EQ(rig.Take(), (Calls{"timer 50", "timer 1000"}));
  rig.windows.SetText(rig.player, u"1. D - Winamp");  // its event lost
  EXPECT_EQ(rig.Read(), u"D");
  rig.poll.SetHolding(true);
  EXPECT_EQ(rig.Take(), Calls{"timer 1"});
}

}  // namespace
}  // namespace zingel
