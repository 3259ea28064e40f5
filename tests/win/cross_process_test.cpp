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

std::string TempPath(const char* name) {
  char folder[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, folder)) folder[0] = '\0';
  std::string path =
      std::string(folder) + "zingel-xp-" + std::to_string(GetCurrentProcessId()) + "-" + name;
  DeleteFileA(path.c_str());
  return path;
}

// The download address is plain ASCII, which configuring checks.
std::string Ascii(const char16_t* text) {
  std::string ascii;
  for (; *text; ++text) ascii += static_cast<char>(*text);
  return ascii;
}

std::vector<std::string> Posted(const std::string& log) {
  std::vector<std::string> texts;
  for (const auto& line : StandinProcess::LogLines(log)) texts.push_back(line.text);
  return texts;
}

// A stand-in whose window exists and is complete.
struct Player : StandinProcess {
  explicit Player(const std::string& caption)
      : StandinProcess(g_player_exe, {"--caption", caption}) {
    CHECK(Command("ping"));
  }
};

struct ChatRoom : StandinProcess {
  std::string log;
  explicit ChatRoom(const char* name, std::vector<std::string> args = {})
      : ChatRoom(TempPath(name), std::move(args)) {}
  // The path is made (and any old log removed) once, before the room starts.
  ChatRoom(std::string log_path, std::vector<std::string> args)
      : StandinProcess(g_chatroom_exe, WithLog(std::move(args), log_path)),
        log(std::move(log_path)) {
    CHECK(Command("ping"));
  }
  ~ChatRoom() {
    Kill();
    DeleteFileA(log.c_str());
  }
  static std::vector<std::string> WithLog(std::vector<std::string> args, const std::string& log) {
    args.insert(args.begin(), {"--log", log});
    return args;
  }
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
  const std::vector<std::string> expected = {
      "<b>-=[\xA4</b> Artist - Title", "<b>Z</b>\xEC\xF1<b>G</b>\xE8l 1.\xBA",
      "<A HREF=\"" + Ascii(zingel::DownloadUrl) + "\">get it here</a>"};
  CHECK(WaitUntil([&] { return Posted(room.log).size() >= 3; }));
  CHECK(Posted(room.log) == expected);
  const auto lines = StandinProcess::LogLines(room.log);
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
    CHECK_EQ(Posted(room.log).size(), size_t{0});
  }
}

WIN_TEST(AnnouncerFollowsThePlayerAcrossClosingAndReopening) {
  ChatRoom room("reopen.log");
  Player player("1. First - Winamp");
  zingel::Win32WindowSystem windows;
  zingel::PlayerReader reader(windows);
  zingel::ChatRoomSender sender(windows);
  NullView view;
  zingel::Announcer announcer([&] { return reader.ReadSongTitle(); },
                              [&](const std::u16string& line) { sender.SendChatLine(line); }, view);
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
  CHECK(WaitUntil([&] { return Posted(room.log).size() >= 3; }));
  CHECK(Posted(room.log) == expected);
}

WIN_TEST(ASilentPlayerGivesNoSongWithinTheBoundThenComesBack) {
  ChatRoom room("silent-player.log");
  Player player("1. Song - Winamp");
  zingel::Win32WindowSystem windows;
  zingel::PlayerReader reader(windows);
  zingel::ChatRoomSender sender(windows);
  NullView view;
  zingel::Announcer announcer([&] { return reader.ReadSongTitle(); },
                              [&](const std::u16string& line) { sender.SendChatLine(line); }, view);
  announcer.Start();
  CHECK(player.Command("hang 6000"));
  const DWORD started = GetTickCount();
  announcer.Tick();
  const DWORD first = GetTickCount() - started;
  CHECK_EQ(announcer.SongBox(), std::u16string());
  CHECK(first < 2 * zingel::kPeerTimeoutMs);
  announcer.Tick();  // gives up at once while the player stays silent
  CHECK(GetTickCount() - started < 2 * zingel::kPeerTimeoutMs);
  CHECK(WaitUntil([&] {
    announcer.Tick();
    return announcer.SongBox() == u"Song";
  }));
  const std::vector<std::string> expected = {"<b>-=(\xA4</b> Song", "<b>-=(\xA4</b> Song"};
  CHECK(WaitUntil([&] { return Posted(room.log).size() >= 2; }));
  CHECK(Posted(room.log) == expected);
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
    return !Posted(room.log).empty();
  }));
  CHECK(Posted(room.log) == std::vector<std::string>{"after"});
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
