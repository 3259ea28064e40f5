// The real window messaging, player reader, chat sender and announcer driven
// against the stand-in player and chat room running as separate processes.

#include <string>
#include <utility>
#include <vector>

#include "chat/chat_room.h"
#include "chat/presence.h"
#include "core/announcer.h"
#include "platform/qpc_clock.h"
#include "platform/win32_window_system.h"
#include "player/winamp_api.h"
#include "standin_process.h"
#include "test_harness.h"

namespace {

using zingel::test::StandinProcess;
using zingel::test::WaitUntil;

std::string g_player_exe;
std::string g_chatroom_exe;

// A stand-in whose window exists and is complete.
struct Player : StandinProcess {
  explicit Player(const std::string& caption)
      : StandinProcess(g_player_exe, {"--caption", caption}) {
    CHECK(Command("ping"));
  }
};

struct ChatRoom : zingel::test::ChatRoomStandin {
  explicit ChatRoom(const char* log_name, std::vector<std::string> args = {})
      : ChatRoomStandin(g_chatroom_exe, log_name, std::move(args)) {}
};

class NullView final : public zingel::AnnouncerView {
 public:
  void ShowSong(const std::u16string&) override {}
  void SetPrefixBoxEnabled(bool) override {}
  void SetStartEnabled(bool) override {}
  void SetStopEnabled(bool) override {}
  void SetTimerEnabled(bool) override {}
  std::u16string ReadPrefixText() override { return u"-=(\u00A4"; }
};

// The announcer wired to the real window system, as the program wires it.
struct LiveAnnouncer {
  zingel::Win32WindowSystem windows;
  zingel::PlayerReader reader{windows};
  zingel::ChatRoomSender sender{windows};
  NullView view;
  zingel::Announcer announcer{[this] { return reader.ReadSongTitle(); },
                              [this](const std::u16string& line) { sender.SendChatLine(line); },
                              view};
};

WIN_TEST(ReaderTakesTheSongFromThePlayerCaption) {
  zingel::Win32WindowSystem windows;
  zingel::PlayerReader reader(windows);
  CHECK_EQ(reader.ReadSongTitle(), std::u16string());
  Player player("12. Artist - Title - Winamp");
  CHECK_EQ(reader.ReadSongTitle(), std::u16string(u"Artist - Title"));
  CHECK(player.Command("caption Winamp 2.91"));
  CHECK_EQ(reader.ReadSongTitle(), std::u16string());
  CHECK(player.Command("caption 3. D\xC3\xA9j\xC3\xA0 \xC2\xA4 - Winamp"));  // UTF-8
  CHECK_EQ(reader.ReadSongTitle(), std::u16string(u"D\u00E9j\u00E0 \u00A4"));
}

WIN_TEST(LinesArriveByteForByteInTheRoom) {
  ChatRoom room("bytes.log");
  zingel::Win32WindowSystem windows;
  zingel::ChatRoomSender sender(windows);
  sender.SendChatLine(u"<b>-=[\u00A4</b> Artist - Title");
  zingel::QpcClock clock;
  zingel::AnnouncePresence([&](const std::u16string& line) { sender.SendChatLine(line); }, clock);
  // The stand-in posts what its input box holds when send is pressed, so the
  // text must have been written before the press.
  std::vector<std::string> expected = zingel::test::PresenceBytes();
  expected.insert(expected.begin(), "<b>-=[\xA4</b> Artist - Title");
  CHECK(WaitUntil([&] { return room.Posted().size() >= 3; }));
  CHECK(room.Posted() == expected);
  const auto lines = StandinProcess::LogLines(room.log());
  if (lines.size() == 3) CHECK(lines[2].seconds - lines[1].seconds >= 0.1);
}

WIN_TEST(ARoomWithTooFewControlsReceivesNothing) {
  const std::vector<std::vector<std::string>> layouts = {
      {"--boxes", "1"}, {"--buttons", "4"}, {"--buttons", "3"}, {"--buttons", "1"}};
  zingel::Win32WindowSystem windows;
  zingel::ChatRoomSender sender(windows);
  for (const auto& layout : layouts) {
    ChatRoom room("few.log", layout);
    sender.SendChatLine(u"lost");
    // Sends are synchronous: whatever the room did with them is done now.
    CHECK(room.Command("ping"));
    CHECK_EQ(room.Posted().size(), size_t{0});
  }
}

WIN_TEST(AnnouncerFollowsThePlayerAcrossClosingAndReopening) {
  ChatRoom room("reopen.log");
  Player player("1. First - Winamp");
  LiveAnnouncer live;
  zingel::Announcer& announcer = live.announcer;
  announcer.Start();
  CHECK(player.Command("caption 2. Second - Winamp"));
  announcer.Tick();
  announcer.Tick();
  CHECK(player.Command("close"));
  announcer.Tick();
  CHECK_EQ(announcer.SongBox(), std::u16string());
  CHECK(player.Command("open"));
  announcer.Tick();
  const std::vector<std::string> expected = {"<b>-=(\xA4</b> First", "<b>-=(\xA4</b> Second",
                                             "<b>-=(\xA4</b> Second"};
  CHECK(WaitUntil([&] { return room.Posted().size() >= 3; }));
  CHECK(room.Posted() == expected);
}

WIN_TEST(ASilentPlayerKeepsItsSongWithinTheBound) {
  ChatRoom room("silent-player.log");
  Player player("1. Song - Winamp");
  LiveAnnouncer live;
  zingel::Announcer& announcer = live.announcer;
  announcer.Start();
  CHECK(player.Command("hang 3000"));
  const DWORD started = GetTickCount();
  announcer.Tick();
  CHECK_EQ(announcer.SongBox(), std::u16string(u"Song"));
  announcer.Tick();  // gives up at once while the player stays silent
  CHECK(GetTickCount() - started < 2 * zingel::kPeerTimeoutMs);
  CHECK(player.Command("caption 2. Next - Winamp"));  // answered once the hang is over
  CHECK(WaitUntil([&] {
    announcer.Tick();
    return announcer.SongBox() == u"Next";
  }));
  const std::vector<std::string> expected = {"<b>-=(\xA4</b> Song", "<b>-=(\xA4</b> Next"};
  CHECK(WaitUntil([&] { return room.Posted().size() >= 2; }));
  CHECK(room.Posted() == expected);
}

WIN_TEST(ASilentRoomLosesItsLinesButNotThePlayer) {
  ChatRoom room("silent-room.log");
  Player player("1. Song - Winamp");
  zingel::Win32WindowSystem windows;
  zingel::PlayerReader reader(windows);
  zingel::ChatRoomSender sender(windows);
  CHECK(room.Command("hang 4000"));
  const DWORD started = GetTickCount();
  sender.SendChatLine(u"lost");
  CHECK(GetTickCount() - started < 2 * zingel::kPeerTimeoutMs);
  CHECK_EQ(reader.ReadSongTitle(), std::u16string(u"Song"));
  CHECK(room.Command("ping"));  // answered once the room wakes
  // The stale send returns on the worker a moment later; until then a line
  // gives up whole, writing nothing, so retrying posts it once.
  CHECK(WaitUntil([&] {
    sender.SendChatLine(u"after");
    return !room.Posted().empty();
  }));
  CHECK(room.Posted() == std::vector<std::string>{"after"});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::printf("usage: %s PLAYER_EXE CHATROOM_EXE\n", argv[0]);
    return 2;
  }
  g_player_exe = argv[1];
  g_chatroom_exe = argv[2];
  return zingel::test::RunAll();
}
