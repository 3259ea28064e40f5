// The real zingel.exe with a player that raises the caption event, as Windows does: each change
// read at once, the poll slowed while the events prove themselves and back to the full rate when
// one is lost, a restarted player heard anew, a burst read once, nothing after stop, and no read
// inside a wait on a room that is slow to answer.

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace zingel::e2e {
namespace {

using driver::LogLine;
using driver::ReadLog;

// The full-rate timer reads the player about 100 times a second; the safety poll once.
constexpr unsigned long kMostReadsWhileSlow = 5;
constexpr DWORD kQuietMs = 1500;
constexpr unsigned long kLeastReadsAtFullRate = 30;

// How often the player is read over a quiet spell.
unsigned long ReadsOver(PlayerStandin& player, DWORD ms) {
  const unsigned long before = player.Reads();
  Sleep(ms);  // a rate is counted over time
  return player.Reads() - before;
}

bool FullRate(PlayerStandin& player) {
  const unsigned long before = player.Reads();
  return WaitUntil([&] { return player.Reads() >= before + kLeastReadsAtFullRate; });
}

// Seconds from the player's last change to `line` in the room, on their shared clock.
double Latency(const std::string& player_log, const RoomStandin& room, const std::string& line) {
  const std::vector<LogLine> captions = ReadLog(player_log);
  for (const LogLine& posted : ReadLog(room.log()))
    if (posted.text == line && !captions.empty()) return posted.seconds - captions.back().seconds;
  return 1e9;
}

WIN_TEST(CaptionEventsPaceThePoll) {
  RoomStandin room(g_room, "events.log");
  const std::string log = TempPath("events-player.log");
  auto player = std::make_unique<PlayerStandin>(
      g_player, std::vector<std::string>{"--caption", Caption("Zero"), "--log", log});
  ZingelApp app(g_zingel);
  EXPECT_OR_RETURN(room.Ready() && player->Ready() && app.Open() && app.TypePrefix(u"-=>") &&
                       app.Click(IDC_COMMAND1) && room.WaitForLines(3),
                   "the programs did not start");
  // The first change with its event proves the window: from then on, a read a second.
  CHECK(player->Show(Caption("One")) && room.WaitForLines(4));
  CHECK(ReadsOver(*player, kQuietMs) <= kMostReadsWhileSlow);
  // Each change is read on its event, long before the next safety poll: a busy machine may
  // hold up one of them, a lost event would hold up most.
  std::size_t lines = 4;
  int read_at_once = 0;
  for (const char* song : {"Two", "Three", "Four", "Five", "Six"}) {
    CHECK(player->Show(Caption(song)) && room.WaitForLines(++lines));
    if (Latency(log, room, Line(song)) < 0.25) ++read_at_once;
  }
  CHECK(read_at_once >= 4);
  // A burst of events asks for one read.
  const unsigned long before_burst = player->Reads();
  CHECK(player->Notify(50));
  CHECK(ReadsOver(*player, kQuietMs) <= kMostReadsWhileSlow);
  CHECK(player->Reads() >= before_burst + 1);
  // Events that are not the caption's ask for nothing: another window of the player's program, a
  // child object of its window. Only the safety poll reads meanwhile.
  const unsigned long before_strangers = player->Reads();
  const DWORD strangers_start = GetTickCount();
  CHECK(player->Command("strangers 30"));
  CHECK(player->Reads() - before_strangers <= 1 + (GetTickCount() - strangers_start) / 1000);
  // Events every millisecond are read no more often than the full-rate timer would read.
  const unsigned long before_flood = player->Reads();
  const DWORD flood_start = GetTickCount();
  CHECK(player->Command("flood 1000"));
  const double per_second =
      (player->Reads() - before_flood) * 1000.0 / (GetTickCount() - flood_start);
  std::printf("events every millisecond: %.0f reads a second\n", per_second);
  CHECK(per_second <= 150);
  // Once zingel has handled the flood's last event, only the safety poll reads: a late one would
  // ask for the read that finds the next change.
  CHECK(WaitUntil([&] { return ReadsOver(*player, 1000) <= 2; }));
  // A change whose event is lost is found by the safety poll, and the full rate is back.
  CHECK(player->SetEvents(false) && player->Show(Caption("Lost")));
  ExpectPosted(room, {Line("Lost")}, "a change without its event", 9);
  CHECK(FullRate(*player));
  // A player restarted in another process is heard anew once it proves itself.
  player.reset();
  player = std::make_unique<PlayerStandin>(g_player,
                                           std::vector<std::string>{"--caption", Caption("Again")});
  CHECK(player->Ready());
  // Shown once zingel has found the new window, whose program it then hooks.
  ExpectPosted(room, {Line("Again")}, "the restarted player", 10);
  CHECK(player->Show(Caption("Anew")));
  ExpectPosted(room, {Line("Anew")}, "the restarted player's next song", 11);
  CHECK(ReadsOver(*player, kQuietMs) <= kMostReadsWhileSlow);
  // After stop, neither an event nor the timer reads the player, nor a tick or a read that was
  // queued before it.
  CHECK(app.Click(IDC_COMMAND2) && app.Sync() && player->Show(Caption("Stopped")));
  CHECK(PostMessageW(app.Main(), WM_TIMER, 1, 0) && PostMessageW(app.Main(), WM_APP, 0, 0));
  CHECK(ReadsOver(*player, kQuietMs) == 0);
  CHECK_EQ(room.Posted().size(), std::size_t{12});
}

// An event that arrives while zingel waits on the room reads nothing there: read inside the
// wait, the next song would be written in the middle of the line before it.
WIN_TEST(NoReadInsideAWaitOnTheRoom) {
  RoomStandin room(g_room, "events-wait.log");
  PlayerStandin player(g_player, {"--caption", Caption("Zero")});
  ZingelApp app(g_zingel);
  EXPECT_OR_RETURN(room.Ready() && player.Ready() && app.Open() && app.TypePrefix(u"-=>") &&
                       app.Click(IDC_COMMAND1) && room.WaitForLines(3),
                   "the programs did not start");
  for (int round = 0; round < 3; ++round) {
    const std::string first = "First " + std::to_string(round);
    const std::string second = "Second " + std::to_string(round);
    // Slow, not silent: the room answers within the bound.
    CHECK(room.Command("hang 300") && player.Show(Caption(first)));
    // The song box changes before the line goes out, and zingel answers while it waits.
    ExpectSong(app, std::u16string(first.begin(), first.end()), "the first song");
    CHECK(player.Show(Caption(second)));
    ExpectPosted(room, {Line(first), Line(second)}, "a song during a wait",
                 3 + 2 * static_cast<std::size_t>(round));
  }
}

}  // namespace
}  // namespace zingel::e2e

int main(int argc, char** argv) {
  return zingel::e2e::Main(argc, argv);
}
