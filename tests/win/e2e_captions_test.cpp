// The real zingel.exe against a scrolling title, its frames faster than the player's own, so that
// the caption often changes between the two messages of a read; and the rate at which zingel reads
// the player.

#include <cstdio>
#include <string>

#include "e2e_support.h"

namespace zingel::e2e {
namespace {

// Scroll frames every 25 ms, where the player's own come every 200.
constexpr const char* kFastMs = "25";
constexpr int kScrollCycles = 2;  // whole ones, of each caption

// Whole scroll cycles of a title, paused too: one line for the song.
WIN_TEST(AScrollingTitleAnnouncesTheSongOnce) {
  RoomStandin room(g_room, "captions.log");
  const std::string log = TempPath("captions-player.log");
  const std::string title = "12. Artist - Title - Winamp";
  PlayerStandin player(g_player, {"--caption", title, "--scroll", kFastMs, "--log", log});
  ZingelApp app(g_zingel);
  EXPECT_OR_RETURN(room.Ready() && player.Ready() && Announce(app), "the programs did not start");
  for (const std::string& caption : {title, title + " [Paused]", title}) {
    // Each cycle starts with the frame that holds the caption twice.
    const std::string twice = caption + " *** " + caption;
    const std::size_t before = TimesLogged(log, twice);
    CHECK(player.Show(caption) &&
          WaitUntil([&] { return TimesLogged(log, twice) > before + kScrollCycles; },
                    3 * driver::kDeadlineMs, 100));
  }
  std::printf("%zu scroll frames, every %s ms\n", driver::ReadLog(log).size(), kFastMs);
  CHECK(player.Show(Caption("Next")));
  std::vector<std::string> expected = PresenceUtf8();
  expected.insert(expected.end(), {Line("Artist - Title"), Line("Next")});
  ExpectPosted(room, expected, "after whole scroll cycles");
  DeleteFileA(log.c_str());
}

// zingel reads the player as often as its timer ticks, about 100 times a second here: at least 30,
// so that a loaded machine never fails it, where a poll ten times slower always does.
WIN_TEST(ThePlayerIsReadAtTheTimersRate) {
  constexpr unsigned long kReads = 100;
  constexpr double kLeastPerSecond = 30;
  RoomStandin room(g_room, "rate.log");
  PlayerStandin player(g_player, {"--caption", Caption("Rate")});
  ZingelApp app(g_zingel);
  EXPECT_OR_RETURN(room.Ready() && player.Ready() && Announce(app) && room.WaitForLines(3),
                   "the programs did not start");
  const unsigned long first = player.Reads();
  const DWORD start = GetTickCount();
  CHECK(WaitUntil([&] { return player.Reads() >= first + kReads; }));
  const double per_second = (player.Reads() - first) * 1000.0 / (GetTickCount() - start);
  std::printf("the player was read %.0f times a second\n", per_second);
  CHECK(per_second >= kLeastPerSecond);
}

}  // namespace
}  // namespace zingel::e2e

int main(int argc, char** argv) {
  return zingel::e2e::Main(argc, argv);
}
