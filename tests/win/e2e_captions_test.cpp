// The real zingel.exe against the captions a player shows besides plain ones: a scrolling title,
// and a radio stream's statuses while it connects, buffers and is interrupted, all faster than the
// player's own, so that captions often change between the two messages of a read.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "standins.h"
#include "test_harness.h"
#include "ui/resource.h"
#include "zingel_app.h"

namespace {

using zingel::driver::PlayerStandin;
using zingel::driver::PresenceUtf8;
using zingel::driver::RoomStandin;
using zingel::driver::TempPath;
using zingel::driver::TimesLogged;
using zingel::driver::ZingelApp;
using zingel::test::WaitUntil;
using namespace zingel::e2e;

// Scroll frames and stream statuses every 25 ms, where the player's own come every 200 and 100 ms.
constexpr const char* kFastMs = "25";
constexpr int kScrollCycles = 2;  // whole ones, of each caption
constexpr int kStreamStarts = 2;

// Whole scroll cycles of a title, paused too, then streams that connect, buffer from 0 to 100%
// and are interrupted: one line per song.
WIN_TEST(ScrollingTitlesAndStreamStatusesAnnounceEachSongOnce) {
  RoomStandin room(g_room, "captions.log");
  const std::string log = TempPath("captions-player.log");
  const std::string title = "12. Artist - Title - Winamp";
  auto player = std::make_unique<PlayerStandin>(
      g_player, std::vector<std::string>{"--caption", title, "--scroll", kFastMs, "--log", log});
  ZingelApp app(g_zingel);
  EXPECT_OR_RETURN(room.Ready() && player->Ready() && app.Open() && app.TypePrefix(u"-=>") &&
                       app.Click(IDC_COMMAND1),
                   "the programs did not start");
  for (const std::string& caption : {title, title + " [Paused]", title}) {
    // Each cycle starts with the frame that holds the caption twice.
    const std::string twice = caption + " *** " + caption;
    const std::size_t before = TimesLogged(log, twice);
    CHECK(player->Show(caption) &&
          WaitUntil([&] { return TimesLogged(log, twice) > before + kScrollCycles; },
                    3 * zingel::driver::kDeadlineMs, 100));
  }
  const std::size_t frames = zingel::driver::ReadLog(log).size();
  CHECK(player->Show(Caption("Next")));
  std::vector<std::string> expected = PresenceUtf8();
  expected.insert(expected.end(), {Line("Artist - Title"), Line("Next")});
  ExpectPosted(room, expected, "after whole scroll cycles");

  // Playlist lines: milliseconds, a tab, the caption.
  const std::string song = "Radio Zed - Night Drive - Winamp\n";
  const std::string connect = "25\t3. [Connecting] http://radio.example:8000/stream - Winamp\n";
  const std::string buffer = "25\t3. [Buffer: {0..100}%] " + song;
  const std::string interrupt = "25\t3. [Stream temporarily interrupted] " + song;
  std::string stream;
  for (int i = 0; i < kStreamStarts; ++i)
    stream += connect + buffer + "400\t3. " + song + interrupt + "400\t3. " + song;
  stream +=
      "25\t4. [Buffer: {0..100}%] Radio Zed - News - Winamp\n25\t4. Radio Zed - News - Winamp";
  const std::string playlist = TempPath("stream.txt");
  if (FILE* file = std::fopen(playlist.c_str(), "wb")) {
    std::fputs(stream.c_str(), file);
    std::fclose(file);
  }
  player.reset();
  player = std::make_unique<PlayerStandin>(
      g_player,
      std::vector<std::string>{"--playlist", playlist, "--scroll", kFastMs, "--log", log});
  // The playlist takes about ten seconds, more on a busy machine.
  CHECK(WaitUntil([&] { return TimesLogged(log, "4. Radio Zed - News - Winamp") > 0; },
                  3 * zingel::driver::kDeadlineMs, 100));
  expected.insert(expected.end(), {Line("Radio Zed - Night Drive"), Line("Radio Zed - News")});
  ExpectPosted(room, expected, "after streams started, buffered and were interrupted");
  std::printf("captions: %zu scroll frames, then %zu stream captions, every %s ms; %zu lines\n",
              frames, zingel::driver::ReadLog(log).size() - frames, kFastMs,
              room.Posted().size() - PresenceUtf8().size());
  DeleteFileA(playlist.c_str());
  DeleteFileA(log.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  return zingel::e2e::Main(argc, argv);
}
