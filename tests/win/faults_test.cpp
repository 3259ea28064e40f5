// The real zingel.exe under faults and bad input, driven through its windows
// with the stand-in player and chat room: peers that stop answering or go
// away, odd captions and prefixes, a caption flood, odd chat-room layouts and
// a lost tray icon.

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "chat/presence.h"
#include "standin_process.h"
#include "test_harness.h"
#include "ui/resource.h"
#include "zingel_app.h"

namespace {

using zingel::test::Printable;
using zingel::test::StandinProcess;
using zingel::test::WaitUntil;
using zingel::test::ZingelApp;

std::string g_zingel_exe;
std::string g_player_exe;
std::string g_chatroom_exe;

// Whatever the other programs do, a posted click takes effect within this.
constexpr double kClickBoundMs = 1000;
// Clicks during a hang are spread out, so that poll ticks run between them.
constexpr double kClickEveryMs = 500;
constexpr int kHangMs = 10000;
// Clicking stops this long after a hang began, well before it ends.
constexpr double kClickForMs = 8000;
// The caption flood: entries shown for 5 ms each (the timer's own minimum
// makes that longer), so that it changes on every poll.
constexpr int kFloodEntries = 700;
constexpr double kFloodDeadlineMs = 120000;

const char kPrefix[] = "-=>";

#define EXPECT(condition, what)                                         \
  do {                                                                  \
    if (!(condition)) ::zingel::test::Fail(__FILE__, __LINE__, (what)); \
  } while (0)

double NowMs() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Text of code points below 0x100 only: each byte is one UTF-16 unit.
std::u16string Latin1(const std::string& text) {
  return std::u16string(text.begin(), text.end());
}

// A line for a failure message; long ones by their ends and length.
std::string Shown(const std::string& line) {
  if (line.size() <= 120) return "'" + Printable(line) + "'";
  return "'" + Printable(line.substr(0, 60)) + "..." + Printable(line.substr(line.size() - 30)) +
         "' (" + std::to_string(line.size()) + " bytes)";
}

std::string Shown(const std::u16string& text) {
  if (text.size() <= 120) return "'" + Printable(text) + "'";
  return "'" + Printable(text.substr(0, 60)) + "..." + Printable(text.substr(text.size() - 30)) +
         "' (" + std::to_string(text.size()) + " units)";
}

std::string Shown(const std::vector<std::string>& lines) {
  std::string out = "[";
  for (const std::string& line : lines) out += (out.size() > 1 ? ", " : "") + Shown(line);
  return out + "]";
}

// `length` characters of a pattern that shows where a cut happened.
std::string PatternText(std::size_t length) {
  static constexpr char kPattern[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string text;
  for (std::size_t i = 0; i < length; ++i) text += kPattern[i % (sizeof kPattern - 1)];
  return text;
}

std::string SongLine(const std::string& song, const std::string& prefix = kPrefix) {
  return "<b>" + prefix + "</b> " + song;
}

std::string Caption(const std::string& song) {
  return "1. " + song + " - Winamp";
}

// A file in the temp folder, gone before and after.
struct TempFile {
  std::string path;
  explicit TempFile(const std::string& name) : path(zingel::test::TempPath(name)) {}
  ~TempFile() { DeleteFileA(path.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
};

std::vector<std::string> LogTexts(const std::string& path) {
  std::vector<std::string> texts;
  for (const auto& line : StandinProcess::LogLines(path)) texts.push_back(line.text);
  return texts;
}

struct Player : StandinProcess {
  explicit Player(const std::vector<std::string>& args) : StandinProcess(g_player_exe, args) {
    EXPECT(Command("ping"), "the stand-in player did not start");
  }
  // Shows a caption (UTF-8); returns once the window has it.
  void Show(const std::string& caption) {
    EXPECT(Command("caption " + caption), "the player did not take the caption " + Shown(caption));
  }
};

struct ChatRoom : zingel::test::ChatRoomStandin {
  explicit ChatRoom(const std::string& log_name, std::vector<std::string> args = {})
      : ChatRoomStandin(g_chatroom_exe, log_name, std::move(args)) {}
};

// zingel started, past its welcome box, with its main window found.
struct Zingel : ZingelApp {
  Zingel() : ZingelApp(g_zingel_exe) {
    const HWND box = WaitForMessageBox();
    EXPECT(box != nullptr, "zingel showed no welcome box");
    EXPECT(box != nullptr && DismissBox(box), "zingel's welcome box did not go");
    EXPECT(WaitForMainWindow() != nullptr, "zingel's main window did not appear");
  }
  std::u16string Song() const { return ControlText(IDC_TEXT1); }
  // Closed as a user does; it must end.
  void Close() {
    EXPECT(PostClose() && WaitForExit(), "zingel did not end when closed");
    EXPECT(ExitCode() == 0, "zingel ended with code " + std::to_string(ExitCode()));
  }
};

const char* ButtonName(int id) {
  return id == IDC_COMMAND1 ? "start" : "stop";
}

// Posts a click on start or stop and waits, at most the bound, until the
// buttons show it. IsWindowEnabled reads their state without asking zingel.
// The time it took, or a negative number.
double TimedClick(const Zingel& app, int id) {
  const bool running = id == IDC_COMMAND1;
  const double posted = NowMs();
  if (!app.Click(id)) return -1;
  for (;;) {
    const double elapsed = NowMs() - posted;
    if (app.Enabled(IDC_COMMAND2) == running && app.Enabled(IDC_COMMAND1) != running)
      return elapsed;
    if (elapsed > kClickBoundMs) return -1;
    Sleep(1);
  }
}

void ClickWithinBound(const Zingel& app, int id, const std::string& when) {
  EXPECT(TimedClick(app, id) >= 0, std::string("a posted click on ") + ButtonName(id) + " " + when +
                                       " did not take effect within 1000 ms");
}

// Clicks stop and start in turn until `end_ms`, each within the bound; leaves
// zingel running.
void ClickUntil(const Zingel& app, double end_ms, const std::string& when) {
  int id = IDC_COMMAND2;
  int clicks = 0;
  double slowest = 0;
  for (;;) {
    const double posted = NowMs();
    const double took = TimedClick(app, id);
    if (took < 0) {
      EXPECT(false, std::string("a posted click on ") + ButtonName(id) + " " + when +
                        " did not take effect within 1000 ms (click " + std::to_string(clicks + 1) +
                        ")");
      return;
    }
    slowest = std::max(slowest, took);
    ++clicks;
    if (id == IDC_COMMAND1 && NowMs() >= end_ms) break;
    id = id == IDC_COMMAND1 ? IDC_COMMAND2 : IDC_COMMAND1;
    while (NowMs() < posted + kClickEveryMs) Sleep(5);
  }
  std::printf("%d clicks %s, the slowest took %.0f ms\n", clicks, when.c_str(), slowest);
}

void ExpectSong(const Zingel& app, const std::u16string& song, const std::string& when) {
  std::u16string shown;
  const bool ok = WaitUntil([&] { return (shown = app.Song()) == song; });
  EXPECT(ok, "the song box " + when + " shows " + Shown(shown) + ", want " + Shown(song));
}

// Waits until the room has posted as many lines after the first `from` as
// expected, then compares them.
void ExpectPosted(const ChatRoom& room, const std::vector<std::string>& expected,
                  const std::string& when, std::size_t from = 0) {
  std::vector<std::string> posted;
  WaitUntil([&] {
    posted = room.Posted();
    return posted.size() >= from + expected.size();
  });
  posted.erase(posted.begin(),
               posted.begin() + static_cast<std::ptrdiff_t>(std::min(from, posted.size())));
  EXPECT(posted == expected,
         "the room's lines " + when + ": got " + Shown(posted) + ", want " + Shown(expected));
}

// Removes zingel's tray icon as a restarting shell loses it: the shell knows
// the icon by window and id.
bool DeleteIcon(HWND window) {
  NOTIFYICONDATAA record{};
  record.cbSize = NOTIFYICONDATAA_V1_SIZE;
  record.hWnd = window;
  record.uID = 1;
  return Shell_NotifyIconA(NIM_DELETE, &record) != FALSE;
}

// The player and then the chat room stop answering for 10 s, then the room
// closes and opens again, all while zingel announces.
WIN_TEST(PeersThatStopAnsweringOrGoAway) {
  ChatRoom room("peers.log");
  Player player({"--caption", Caption("Alpha")});
  Zingel app;
  std::vector<std::string> expected = zingel::test::PresenceBytes();
  ExpectPosted(room, expected, "after zingel started");
  EXPECT(app.TypePrefix(Latin1(kPrefix)), "could not type the prefix");
  ClickWithinBound(app, IDC_COMMAND1, "at first");
  expected.push_back(SongLine("Alpha"));
  ExpectPosted(room, expected, "after start");

  // A silent player is no new song: the song box keeps it and nothing is posted, through stop
  // and start too. A song that changed meanwhile is announced once when the player answers.
  EXPECT(player.Command("hang " + std::to_string(kHangMs)), "the player did not begin its hang");
  double hang_began = NowMs();
  ClickUntil(app, hang_began + kClickForMs, "while the player is silent");
  EXPECT(app.Song() == u"Alpha",
         "the song box while the player is silent shows " + Shown(app.Song()) + ", want 'Alpha'");
  EXPECT(room.Posted() == expected,
         "lines posted while the player is silent: " + Shown(room.Posted()));
  player.Show(Caption("Beta"));  // taken once the hang is over
  expected.push_back(SongLine("Beta"));
  ExpectPosted(room, expected, "after the player answered again with another song");

  // A silent room loses the lines meant for it; the song box goes on
  // following the player, and the first change after the room answers is
  // announced.
  EXPECT(room.Command("hang " + std::to_string(kHangMs)), "the room did not begin its hang");
  hang_began = NowMs();
  player.Show(Caption("Gamma"));
  ClickUntil(app, hang_began + kClickForMs / 2, "while the room is silent");
  ExpectSong(app, u"Gamma", "while the room is silent");
  player.Show(Caption("Delta"));
  ExpectSong(app, u"Delta", "while the room is silent");
  ClickUntil(app, hang_began + kClickForMs, "while the room is silent");
  EXPECT(room.Command("ping"), "the room did not answer after its hang");
  player.Show(Caption("Epsilon"));
  expected.push_back(SongLine("Epsilon"));
  ExpectPosted(room, expected, "after the room answered again, then the song changed");

  // A room that closes and opens again gets the next change.
  EXPECT(room.Command("close"), "the room did not close");
  player.Show(Caption("Zeta"));
  ExpectSong(app, u"Zeta", "while the room is closed");
  EXPECT(room.Command("open"), "the room did not open again");
  player.Show(Caption("Eta"));
  expected.push_back(SongLine("Eta"));
  ExpectPosted(room, expected, "after the room opened again, then the song changed");

  app.Close();
  for (const std::string& line : zingel::test::PresenceBytes()) expected.push_back(line);
  ExpectPosted(room, expected, "after zingel closed");
}

struct CaptionCase {
  std::string what;
  std::string caption;  // UTF-8
  std::u16string song;
  std::string posted_song;  // its code page 1252 bytes
};

std::vector<CaptionCase> OddCaptions() {
  const std::string long_song = PatternText(65535 - Caption("").size());
  return {
      {"of 0 characters", "", u"", ""},
      {"of 1 character", "x", u"", ""},
      {"of 9 characters (the end marker alone)", " - Winamp", u"", ""},
      {"of 65,535 characters", Caption(long_song), Latin1(long_song), long_song},
      // Each UTF-16 unit the code page lacks becomes '?': the emoji is two.
      {"outside code page 1252", Caption("\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x8E\xB5 \xC2\xA4"),
       u"?? ?? \u00A4", "?? ?? \xA4"},
  };
}

// The flood's captions (UTF-8) in order, ending on "Final", with the line each
// one gives.
std::vector<std::pair<std::string, std::string>> FloodCaptions() {
  std::vector<std::pair<std::string, std::string>> captions;
  for (int i = 0; i < kFloodEntries - 1; ++i) {
    char number[8];
    std::snprintf(number, sizeof number, "%04d", i);
    // Some outside the code page, which arrive with '?'.
    if (i % 10 == 9) {
      captions.emplace_back(Caption(std::string("\xE4\xB8\xAD Flood ") + number),
                            SongLine(std::string("? Flood ") + number));
    } else {
      captions.emplace_back(Caption(std::string("Flood ") + number),
                            SongLine(std::string("Flood ") + number));
    }
  }
  captions.emplace_back(Caption("Final"), SongLine("Final"));
  return captions;
}

bool WritePlaylist(const std::string& path,
                   const std::vector<std::pair<std::string, std::string>>& captions) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = true;
  for (const auto& [caption, line] : captions)
    ok = std::fprintf(file, "5\t%s\n", caption.c_str()) > 0 && ok;
  return std::fclose(file) == 0 && ok;
}

// Checks the lines the room posted during the flood against the captions the
// player showed.
void CheckFloodLines(const std::vector<std::string>& lines,
                     const std::vector<std::pair<std::string, std::string>>& captions,
                     const std::vector<std::string>& shown) {
  const std::map<std::string, std::string> line_of(captions.begin(), captions.end());
  EXPECT(!lines.empty() && lines.back() == SongLine("Final"),
         "the last line after the flood is " + (lines.empty() ? "missing" : Shown(lines.back())) +
             ", want " + Shown(SongLine("Final")));
  EXPECT(lines.size() <= shown.size(), std::to_string(lines.size()) + " lines for " +
                                           std::to_string(shown.size()) + " caption changes");
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (lines[i] == lines[i - 1]) {
      EXPECT(false,
             "flood line " + std::to_string(i) + " repeats the one before: " + Shown(lines[i]));
      break;
    }
  }
  // In order, each line is a caption shown after the previous line's.
  std::size_t next = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    while (next < shown.size() &&
           (!line_of.contains(shown[next]) || line_of.at(shown[next]) != lines[i])) {
      ++next;
    }
    if (next == shown.size()) {
      EXPECT(false, "flood line " + std::to_string(i) + " " + Shown(lines[i]) +
                        " is no caption the player showed after the one before");
      break;
    }
    ++next;
  }
}

// Captions of odd lengths and characters, a flood of changes, and odd
// prefixes, in one run of zingel.
WIN_TEST(OddCaptionsAFloodOfChangesAndOddPrefixes) {
  ChatRoom room("captions.log");
  auto player = std::make_unique<Player>(std::vector<std::string>{"--caption", Caption("Start")});
  Zingel app;
  EXPECT(app.TypePrefix(Latin1(kPrefix)), "could not type the prefix");
  ClickWithinBound(app, IDC_COMMAND1, "at first");
  std::vector<std::string> expected = zingel::test::PresenceBytes();
  expected.push_back(SongLine("Start"));
  ExpectPosted(room, expected, "after start");

  // Each odd caption follows a song, so that its effect shows in the song box.
  int n = 0;
  for (const CaptionCase& test : OddCaptions()) {
    const std::size_t posted_before = room.Posted().size();
    const std::string before = "Before " + std::to_string(++n);
    player->Show(Caption(before));
    ExpectSong(app, Latin1(before), "before a caption " + test.what);
    player->Show(test.caption);
    ExpectSong(app, test.song, "for a caption " + test.what);
    std::vector<std::string> lines = {SongLine(before)};
    if (!test.posted_song.empty()) lines.push_back(SongLine(test.posted_song));
    ExpectPosted(room, lines, "for a caption " + test.what, posted_before);
    ClickWithinBound(app, IDC_COMMAND2, "after a caption " + test.what);
    ClickWithinBound(app, IDC_COMMAND1, "after a caption " + test.what);
  }

  // A player whose caption changes on every poll, then stays on "Final".
  player.reset();
  ExpectSong(app, u"", "after the player ended");
  const std::size_t before_flood = room.Posted().size();
  const auto captions = FloodCaptions();
  const TempFile playlist("flood.txt");
  const TempFile flood_log("flood.log");
  EXPECT(WritePlaylist(playlist.path, captions), "could not write the playlist");
  const double flood_began = NowMs();
  Player flood({"--playlist", playlist.path, "--log", flood_log.path});
  EXPECT(WaitUntil([&] { return LogTexts(flood_log.path).size() >= captions.size(); },
                   static_cast<DWORD>(kFloodDeadlineMs)),
         "the flood did not reach its end");
  ExpectSong(app, u"Final", "after the flood");
  // The song box shows a song before its line has gone out.
  WaitUntil([&] {
    const std::vector<std::string> posted = room.Posted();
    return !posted.empty() && posted.back() == SongLine("Final");
  });
  const auto shown = StandinProcess::LogLines(flood_log.path);
  std::vector<std::string> shown_texts;
  for (const auto& line : shown) shown_texts.push_back(line.text);
  const std::vector<std::string> posted = room.Posted();
  const std::vector<std::string> flood_lines(
      posted.begin() + static_cast<std::ptrdiff_t>(std::min(before_flood, posted.size())),
      posted.end());
  std::printf("flood: %zu captions in %.1f s (%.1f s from start to end), %zu lines\n", shown.size(),
              shown.empty() ? 0.0 : shown.back().seconds - shown.front().seconds,
              (NowMs() - flood_began) / 1000, flood_lines.size());
  CheckFloodLines(flood_lines, captions, shown_texts);
  ClickWithinBound(app, IDC_COMMAND2, "after the flood");
  ClickWithinBound(app, IDC_COMMAND1, "after the flood");

  // Prefixes are typed while stopped; start reads the unchanged song and
  // sends nothing, the next song comes with the new prefix.
  struct PrefixCase {
    std::string what;
    std::u16string prefix;
    std::string posted;  // its code page 1252 bytes
  };
  const std::string long_prefix = PatternText(10000);
  const PrefixCase prefixes[] = {
      {"of 10,000 characters", Latin1(long_prefix), long_prefix},
      {"outside code page 1252", u"\u4E2D-=>\U0001F3B5\u00A4", "?-=>??\xA4"},
  };
  for (const PrefixCase& test : prefixes) {
    const std::size_t before = room.Posted().size();
    ClickWithinBound(app, IDC_COMMAND2, "before typing a prefix " + test.what);
    EXPECT(app.TypePrefix(test.prefix), "could not type a prefix " + test.what);
    ClickWithinBound(app, IDC_COMMAND1, "after typing a prefix " + test.what);
    const std::string song = "Prefix " + std::to_string(++n);
    flood.Show(Caption(song));
    ExpectPosted(room, {SongLine(song, test.posted)}, "with a prefix " + test.what, before);
  }

  const std::size_t before_close = room.Posted().size();
  app.Close();
  ExpectPosted(room, zingel::test::PresenceBytes(), "after zingel closed", before_close);
}

// Two rooms at once, rooms that lack the input box or the send button, and a
// tray icon the shell lost, in one run of zingel.
WIN_TEST(TwoRoomsIncompleteRoomsAndALostTrayIcon) {
  Player player({"--caption", Caption("One")});
  Zingel app;  // no room yet: the presence lines are lost
  EXPECT(app.TypePrefix(Latin1(kPrefix)), "could not type the prefix");
  ClickWithinBound(app, IDC_COMMAND1, "at first");
  ExpectSong(app, u"One", "after start");

  {
    ChatRoom a("room-a.log", {"--title", "Room A"});
    ChatRoom b("room-b.log", {"--title", "Room B"});
    const HWND listed_first = FindWindowA("Aim_Chatwnd", nullptr);
    ChatRoom& first = a.FindWindowOfClass("Aim_Chatwnd") == listed_first ? a : b;
    ChatRoom& second = &first == &a ? b : a;
    EXPECT(first.FindWindowOfClass("Aim_Chatwnd") == listed_first,
           "FindWindowA lists neither room first");
    player.Show(Caption("Two"));
    ExpectPosted(first, {SongLine("Two")}, "of the room listed first");
    EXPECT(app.Sync() && second.Command("ping"), "zingel or the second room stopped answering");
    EXPECT(second.Posted().empty(), "the room listed second got " + Shown(second.Posted()));
  }

  // Only a room with a second rich-text box and a fifth icon button gets a
  // line; the others are left alone, their buttons unpressed.
  struct Layout {
    const char* what;
    std::vector<std::string> args;
    bool posts;
  };
  const Layout layouts[] = {
      {"one rich-text box", {"--boxes", "1"}, false},
      {"two boxes and 1 button", {"--buttons", "1"}, false},
      {"two boxes and 3 buttons", {"--buttons", "3"}, false},
      {"two boxes and 4 buttons", {"--buttons", "4"}, false},
      {"two boxes and 5 buttons", {"--buttons", "5"}, true},
  };
  int n = 0;
  for (const Layout& layout : layouts) {
    ChatRoom room("layout.log", layout.args);
    const std::string song = "Layout " + std::to_string(++n);
    player.Show(Caption(song));
    // zingel answers only once the tick that read the song, and its send,
    // are done.
    ExpectSong(app, Latin1(song), std::string("with a room of ") + layout.what);
    EXPECT(app.Sync() && room.Command("ping"), "zingel or the room stopped answering");
    std::vector<std::string> want;
    if (layout.posts) want.push_back(SongLine(song));
    EXPECT(room.Posted() == want, std::string("a room of ") + layout.what + " got " +
                                      Shown(room.Posted()) + ", want " + Shown(want));
  }

  // The shell tells every program "TaskbarCreated" when it starts again and
  // has lost their icons; zingel adds its icon again, if it is in the tray.
  const UINT taskbar_created = RegisterWindowMessageA("TaskbarCreated");
  EXPECT(PostMessageA(app.Main(), taskbar_created, 0, 0) && app.Sync(),
         "could not tell zingel that the taskbar was created");
  EXPECT(!app.TrayIconShown(), "TaskbarCreated added a tray icon while the window is shown");
  EXPECT(app.Click(IDC_COMMAND3), "could not click minimize to tray");
  EXPECT(WaitUntil([&] { return !app.MainVisible(); }), "minimize to tray left the window shown");
  EXPECT(WaitUntil([&] { return app.TrayIconShown(); }), "no tray icon after minimize to tray");
  EXPECT(DeleteIcon(app.Main()), "could not remove zingel's tray icon from another program");
  EXPECT(!app.TrayIconShown(), "zingel's tray icon is still there after NIM_DELETE");
  EXPECT(PostMessageA(app.Main(), taskbar_created, 0, 0),
         "could not tell zingel that the taskbar was created");
  EXPECT(WaitUntil([&] { return app.TrayIconShown(); }),
         "the tray icon did not come back after TaskbarCreated");
  app.Close();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::printf("usage: %s ZINGEL_EXE PLAYER_EXE CHATROOM_EXE [TEST_NAME]\n", argv[0]);
    return 2;
  }
  if (argc == 5) {
    std::erase_if(zingel::test::Registry(), [&](const zingel::test::TestCase& test) {
      return argv[4] != std::string(test.name);
    });
  }
  g_zingel_exe = argv[1];
  g_player_exe = argv[2];
  g_chatroom_exe = argv[3];
  return zingel::test::RunAll();
}
