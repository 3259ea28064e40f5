// Fuzzes the poll with any order of caption changes with and without their events, events during
// a read, ticks, posted reads, the player closing and restarting, time passing, start, stop and a
// held line, against properties stated here: the player is hooked before it is read; never slow
// right after a change that no event asked for; one read asked for the events after a read
// begins, none sooner than 10 ms after the last read; nothing read after stop; a tick every 50 ms
// at the least while a line is held.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "fuzz/fuzz_support.h"
#include "player/player_poll.h"
#include "support/fake_window_system.h"

namespace {

using zingel::WindowHandle;
using zingel::fuzz::Check;

constexpr double kGap = 0.01;

struct Platform final : zingel::PollPlatform {
  unsigned interval = 0;  // 0: no timer
  WindowHandle watched = 0;
  int posted = 0;  // reads asked and not yet handled
  bool SetTimer(unsigned ms) override {
    interval = ms;
    return true;
  }
  void KillTimer() override { interval = 0; }
  void WatchCaptions(WindowHandle window) override { watched = window; }
  bool PostRead() override {
    ++posted;
    return true;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zingel::test::FakeWindowSystem windows;
  zingel::fuzz::SetClock clock;
  Platform platform;
  zingel::PlayerReader reader(windows);
  zingel::PlayerPoll poll(reader, clock, platform, kGap);
  WindowHandle player = windows.AddTopWindow(u"Winamp v1.x", u"1. Song 0 - Winamp");
  bool running = false, holding = false;
  bool heard = false;  // an event since the last read began
  int song = 0, posts_since_read = 0;
  double last_read = -1;
  std::u16string last_caption;
  // The caption event of a change, heard where the player's program is hooked.
  const auto event = [&] {
    if (player != 0 && platform.watched == player) {
      heard = true;
      const int before = platform.posted;
      poll.OnCaptionEvent();
      posts_since_read += platform.posted - before;
      Check(posts_since_read == 1);  // a read asked, once
    }
  };
  const auto change = [&](bool with_event) {
    if (player == 0) return;
    windows.SetText(
        player,
        u"1. Song " + std::u16string(1, static_cast<char16_t>(u'0' + ++song % 10)) + u" - Winamp");
    if (with_event) event();
  };
  int change_in_read = 0;  // 1 or 2: the next read copies the caption, then it changes, with its
                           // event or without
  windows.during_read = [&] {
    Check(platform.watched == player);  // hooked before the read
    if (change_in_read != 0) change(std::exchange(change_in_read, 0) == 1);
  };
  const auto read = [&] {
    const bool announced = std::exchange(heard, false);  // an event since the last read began
    posts_since_read = 0;
    last_read = clock.now;
    const WindowHandle read_window = player;
    poll.ReadSongTitle();
    const std::u16string caption = windows.last_read;
    // A change no event announced: the full rate, right away.
    if (running && read_window != 0 && caption != last_caption && !announced &&
        !last_caption.empty())
      Check(platform.interval == zingel::PlayerPoll::kFullRateMs);
    last_caption = read_window != 0 ? caption : u"";
  };
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t op = data[i] % 12, arg = data[i] / 12;
    switch (op) {
      case 0:
        change(true);
        break;
      case 1:
        change(false);
        break;
      case 2:
        event();
        break;
      case 3:  // a tick, if the timer runs; one may still be queued after stop
        if (platform.interval != 0 || arg % 2) {
          if (poll.OnTimer())
            read();
          else
            Check(!running);
        }
        break;
      case 4:  // a posted read, or one queued before a stop
        if (platform.posted > 0 || arg % 2) {
          platform.posted = platform.posted > 0 ? platform.posted - 1 : 0;
          const bool due = poll.OnReadMessage();
          Check(!due || (running && clock.now - last_read >= kGap));
          if (due) read();
        }
        break;
      case 5:
        clock.now += arg / 1000.0;
        break;
      case 6:
        clock.now += arg / 50.0;
        break;
      case 7:  // the player closes, or starts again
        if (player != 0) {
          windows.Close(player);
          player = 0;
        } else {
          player = windows.AddTopWindow(u"Winamp v1.x", u"1. Song 0 - Winamp");
        }
        last_caption.clear();
        break;
      case 8:  // start: the read, then the timer, maybe with a change between
        if (!running) {
          read();
          if (arg % 2) change(true);
          poll.Run();
          running = true;
          Check(platform.interval != 0);
        }
        break;
      case 9:  // stop
        poll.Stop();
        running = holding = false;
        last_caption.clear();
        Check(platform.interval == 0 && platform.watched == 0 && !poll.OnTimer() &&
              !poll.OnReadMessage());
        break;
      case 10:
        change_in_read = 1 + arg % 2;
        break;
      case 11:
        holding = arg % 2 == 0;
        poll.SetHolding(holding);
        break;
    }
    // While a song line waits for the room, the timer comes often enough to try it again.
    if (running && holding) Check(platform.interval <= zingel::PlayerPoll::kHoldingRateMs);
  }
  return 0;
}
