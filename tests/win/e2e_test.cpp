// The real zingel.exe, driven from another program through its windows only, with the stand-in
// player and chat room: the program's wiring as a user meets it, its peers silent or flooding it
// with changes, and a scrolling title. What reaches the room is read from the room's log: every
// line posted, in UTF-8, or from an ANSI room the exact bytes its code page (1252) gives it.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace zingel::e2e {
namespace {

// The tray menu's items, by position.
constexpr int kMenuExit = 0;
constexpr int kMenuRestore = 1;
constexpr int kMenuAbout = 2;
// Whatever the other programs do, a posted click takes effect within this.
constexpr DWORD kClickBoundMs = 1000;
// Clicks while a peer is silent are spread out, so that poll ticks run between them.
constexpr DWORD kClickEveryMs = 400;
constexpr DWORD kHangMs = 3000;
// Captions of the flood, each shown 5 ms: shorter than a poll, so it changes on every one.
constexpr int kFloodCaptions = 300;

// The controls in tab order, prefix box first: their texts, a disabled one's in brackets.
std::u16string Controls(const ZingelApp& app) {
  std::u16string out;
  for (const int id : {IDC_COMBO1, IDC_TEXT1, IDC_COMMAND1, IDC_COMMAND2, IDC_COMMAND3}) {
    const std::u16string text = app.ControlText(id);
    out += (id == IDC_COMBO1 ? u"" : u"|") + (app.Enabled(id) ? text : u"[" + text + u"]");
  }
  return out;
}

// Posts a click on start or stop and waits, at most the bound, until the buttons show it: the one
// clicked disabled, the other enabled. IsWindowEnabled reads them without asking zingel.
bool ClickWithinBound(const ZingelApp& app, int id) {
  const int other = id == IDC_COMMAND1 ? IDC_COMMAND2 : IDC_COMMAND1;
  const auto shown = [&] { return !app.Enabled(id) && app.Enabled(other); };
  return app.Click(id) && WaitUntil(shown, kClickBoundMs, 1);
}

WIN_TEST(ASessionAsAUserLivesIt) {
  RoomStandin room(g_room, "session.log", {"--ansi"});
  PlayerStandin player(g_player, {"--caption", "1. First Song - Winamp"});
  ZingelApp app(g_zingel);
  EXPECT_OR_RETURN(room.Ready() && player.Ready() && app.Started(), "a program did not start");

  // Start-up: the presence lines go out before the welcome box shows, and the main window shows
  // only once the box is gone.
  const HWND welcome = app.WaitForMessageBox();
  EXPECT_OR_RETURN(welcome != nullptr, "no welcome box titled zingel appeared");
  CHECK(room.Posted() == PresenceBytes1252());
  CHECK_EQ(ZingelApp::BoxText(welcome), std::u16string(u"thank you for hosting teskin"));
  CHECK(app.WaitForMainWindow(0) == nullptr);
  EXPECT_OR_RETURN(ZingelApp::DismissBox(welcome) && app.WaitForMainWindow(),
                   "no main window after the welcome box");
  CHECK_EQ(ZingelApp::Text(app.Main()), std::u16string(u"zingel"));
  CHECK(app.Combo1Items() ==
        (std::vector<std::u16string>{u"-=(", u"-=(\u00A4", u"-=[", u"-=[\u00A4", u"-=>"}));
  CHECK_EQ(app.Combo1Selection(), -1);
  CHECK_EQ(Controls(app), std::u16string(u"|[Current Song]|start|[stop]|minimize to tray"));

  // Start sends the playing song at once with the chosen prefix.
  EXPECT_OR_RETURN(app.SelectPrefix(3), "cannot choose the fourth prefix");
  EXPECT_OR_RETURN(app.Click(IDC_COMMAND1) && app.Sync(), "the start click was not handled");
  std::vector<std::string> expected = PresenceBytes1252();
  expected.push_back("<b>-=[\xA4</b> First Song");
  ExpectPosted(room, expected, "after start");
  CHECK_EQ(Controls(app),
           std::u16string(u"[-=[\u00A4]|[First Song]|[start]|stop|minimize to tray"));

  // The tray callback counts only while the icon is shown: a mouse move at x 513 over the
  // visible window is no left press on the icon.
  CHECK(app.PostTrayMessage(WM_LBUTTONDOWN) && app.Sync());
  CHECK(app.PopupMenu() == nullptr);

  // Stop: the song box keeps the song, and one that changes while stopped is not read until start.
  EXPECT_OR_RETURN(app.Click(IDC_COMMAND2) && app.Sync(), "the stop click was not handled");
  CHECK_EQ(Controls(app), std::u16string(u"-=[\u00A4|[First Song]|start|[stop]|minimize to tray"));
  CHECK(player.Show("3. Third Song - Winamp") && app.Sync());
  CHECK_EQ(app.ControlText(IDC_TEXT1), std::u16string(u"First Song"));
  EXPECT_OR_RETURN(app.Click(IDC_COMMAND1), "the second start was not handled");
  expected.push_back("<b>-=[\xA4</b> Third Song");
  ExpectPosted(room, expected, "after stop, a song change and start");

  // Minimise: the window hides in the tray and announcing goes on.
  EXPECT_OR_RETURN(app.Click(IDC_COMMAND3) && app.Sync(), "the minimise click was not handled");
  CHECK(!app.MainVisible());
  CHECK(app.TrayIconShown());
  CHECK(player.Show("4. Fourth Song - Winamp"));
  expected.push_back("<b>-=[\xA4</b> Fourth Song");
  ExpectPosted(room, expected, "while in the tray");

  // A restarted shell has lost the icon and says "TaskbarCreated": zingel adds it again.
  CHECK(app.HoldTrayIcon(false) && !app.TrayIconShown());
  CHECK(PostMessageA(app.Main(), RegisterWindowMessageA("TaskbarCreated"), 0, 0));
  CHECK(WaitUntil([&] { return app.TrayIconShown(); }));

  // Only a left press on the icon opens the menu; none opens over the about box.
  for (const UINT other : {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONUP, WM_LBUTTONDBLCLK})
    CHECK(app.PostTrayMessage(other) && app.Sync() && app.PopupMenu() == nullptr);
  EXPECT_OR_RETURN(app.PostTrayMessage(WM_LBUTTONDOWN) && app.WaitForPopupMenu() &&
                       app.ChooseMenuItem(kMenuAbout),
                   "cannot choose about in the tray menu");
  const HWND about = app.WaitForMessageBox();
  EXPECT_OR_RETURN(about != nullptr, "about opened no box titled zingel");
  CHECK_EQ(ZingelApp::BoxText(about), std::u16string(u"have any questions IM me S/N: Brask2261"));
  CHECK(app.PostTrayMessage(WM_LBUTTONDOWN) && app.Sync());
  CHECK(app.PopupMenu() == nullptr);
  CHECK(ZingelApp::DismissBox(about));
  CHECK(!app.MainVisible());

  // Restore: the window comes back and the icon goes.
  EXPECT_OR_RETURN(app.PostTrayMessage(WM_LBUTTONDOWN) && app.WaitForPopupMenu() &&
                       app.ChooseMenuItem(kMenuRestore) && app.Sync(),
                   "cannot choose restore in the tray menu");
  CHECK(app.MainVisible() && !IsIconic(app.Main()));
  CHECK(!app.TrayIconShown());

  // A second start hands over to this zingel, which leaves the tray, and ends without a word to
  // the room or a welcome box (which would hold it).
  EXPECT_OR_RETURN(app.Click(IDC_COMMAND3) && app.Sync() && !app.MainVisible(),
                   "minimize to tray did not hide the window");
  {
    ZingelApp second(g_zingel);
    EXPECT_OR_RETURN(second.WaitForExit(), "a second zingel did not end at once");
    CHECK_EQ(second.ExitCode(), DWORD{0});
  }
  // Visible comes first in restoring, so wait for the rest of it.
  CHECK(WaitUntil([&] { return app.MainVisible(); }) && app.Sync());
  CHECK(!app.TrayIconShown());

  // A tray icon the shell refuses leaves the window up, announcing. The shell refuses a second
  // icon under one window and id, as a starting one refuses any.
  EXPECT_OR_RETURN(app.HoldTrayIcon(true), "cannot add an icon under zingel's window and id");
  EXPECT_OR_RETURN(app.Click(IDC_COMMAND3) && app.Sync(), "the minimise was not handled");
  CHECK(app.MainVisible() && !IsIconic(app.Main()));
  CHECK(player.Show("5. Fifth Song - Winamp"));
  expected.push_back("<b>-=[\xA4</b> Fifth Song");
  ExpectPosted(room, expected, "after a refused tray icon");
  app.HoldTrayIcon(false);

  // Exit from the tray: the presence lines, then the program ends.
  EXPECT_OR_RETURN(app.Click(IDC_COMMAND3) && app.Sync() && app.PostTrayMessage(WM_LBUTTONDOWN) &&
                       app.WaitForPopupMenu() && app.ChooseMenuItem(kMenuExit),
                   "cannot choose exit in the tray menu");
  EXPECT_OR_RETURN(app.WaitForExit(), "zingel still runs after exit in the tray menu");
  CHECK_EQ(app.ExitCode(), DWORD{0});
  const std::vector<std::string> presence = PresenceBytes1252();
  expected.insert(expected.end(), presence.begin(), presence.end());
  ExpectPosted(room, expected, "after exit");
}

// Titles in any script, silent peers, then a flood of changes, then a close from another program,
// in one run with a Unicode player and room.
WIN_TEST(UnicodeTitlesSilentPeersAndAFloodNeitherFreezeItNorRepeatSongs) {
  RoomStandin room(g_room, "stress.log");
  const std::string japanese = "坂本龍一 - 戦場のメリークリスマス";
  auto player = std::make_unique<PlayerStandin>(
      g_player, std::vector<std::string>{"--caption", Caption(japanese)});
  ZingelApp app(g_zingel);
  EXPECT_OR_RETURN(room.Ready() && player->Ready() && app.Open(), "the programs did not start");
  EXPECT_OR_RETURN(app.TypePrefix(u"-=>") && ClickWithinBound(app, IDC_COMMAND1),
                   "start took over 1 s");
  std::vector<std::string> expected = PresenceUtf8();
  expected.push_back(Line(japanese));
  ExpectPosted(room, expected, "after start");

  // A silent player is no new song: the song box keeps it and nothing is posted, through stop and
  // start too, each click taken within the bound; the clicks are spread out, so that poll ticks
  // run between them, and the last is a start. A song that changed meanwhile is announced once
  // when the player answers.
  CHECK(player->Command("hang " + std::to_string(kHangMs)));
  const DWORD hung = GetTickCount();
  for (int id = IDC_COMMAND2; GetTickCount() - hung < kHangMs - 1000 || id == IDC_COMMAND1;
       id = IDC_COMMAND1 + IDC_COMMAND2 - id) {
    const DWORD posted = GetTickCount();
    EXPECT_OR_RETURN(ClickWithinBound(app, id), "a click took over 1 s while the player is silent");
    WaitUntil([&] { return GetTickCount() - posted >= kClickEveryMs; });
  }
  CHECK_EQ(app.ControlText(IDC_TEXT1), std::u16string(u"坂本龍一 - 戦場のメリークリスマス"));
  CHECK(room.Posted() == expected);
  CHECK(player->Show("12. Кино - Группа крови 🎸 - Winamp [Paused]"));  // once the hang is over
  expected.push_back(Line("Кино - Группа крови 🎸"));
  ExpectPosted(room, expected, "after the player answered with another song");
  ExpectSong(app, u"Кино - Группа крови 🎸", "after the player answered with another song");

  // A player whose caption changes on every poll, then stays on the last.
  player.reset();
  ExpectSong(app, u"", "after the player ended");
  std::map<std::string, int> order;
  std::string captions;
  for (int i = 0; i < kFloodCaptions; ++i) {
    const std::string song = i + 1 < kFloodCaptions ? "Flood " + std::to_string(i) : "Final";
    captions += "5\t" + Caption(song) + "\n";
    order[Line(song)] = i;
  }
  const std::string playlist = TempPath("flood.txt");  // for --playlist: milliseconds, tab, caption
  if (FILE* file = std::fopen(playlist.c_str(), "wb")) {
    std::fputs(captions.c_str(), file);
    std::fclose(file);
  }
  const std::size_t before_flood = room.Posted().size();
  PlayerStandin flood(g_player, {"--playlist", playlist});
  ExpectSong(app, u"Final", "after the flood");
  WaitUntil([&] { return room.Posted().back() == Line("Final"); });
  // Each line a caption shown after the one before: in order, none twice, none made up.
  const std::vector<std::string> posted = room.Posted();
  int last = -1;
  for (std::size_t i = before_flood; i < posted.size(); ++i) {
    const auto found = order.find(posted[i]);
    if (found == order.end() || found->second <= last) {
      Fail(__FILE__, __LINE__, "flood line " + Shown({posted[i]}) + " out of order");
      break;
    }
    last = found->second;
  }
  CHECK_EQ(last, kFloodCaptions - 1);
  std::printf("flood: %d captions, %zu lines\n", kFloodCaptions, posted.size() - before_flood);
  DeleteFileA(playlist.c_str());

  // Closed by another program: the presence lines, then the end.
  const std::size_t before_close = room.Posted().size();
  EXPECT_OR_RETURN(app.PostClose() && app.WaitForExit(), "zingel did not end on WM_CLOSE");
  CHECK_EQ(app.ExitCode(), DWORD{0});
  ExpectPosted(room, PresenceUtf8(), "after WM_CLOSE", before_close);
}

// A title scrolled every 25 ms, where the player's own scrolls every 200, so that the caption often
// changes between the two messages of a read: whole cycles of it, paused too, are one song. And
// zingel reads the player as often as its timer ticks, about 100 times a second here: at least 30,
// so that a loaded machine never fails it, where a poll ten times slower always does.
WIN_TEST(AScrollingTitleIsOneSongReadAtTheTimersRate) {
  RoomStandin room(g_room, "captions.log");
  const std::string log = TempPath("captions-player.log");
  const std::string title = "12. Artist - Title - Winamp";
  // Without caption events, so that the timer reads it.
  PlayerStandin player(g_player,
                       {"--caption", title, "--scroll", "25", "--log", log, "--no-events"});
  ZingelApp app(g_zingel);
  EXPECT_OR_RETURN(room.Ready() && player.Ready() && app.Open() && app.TypePrefix(u"-=>") &&
                       app.Click(IDC_COMMAND1) && room.WaitForLines(3),
                   "the programs did not start");
  const unsigned long first = player.Reads();
  const DWORD start = GetTickCount();
  CHECK(WaitUntil([&] { return player.Reads() >= first + 100; }));
  const double per_second = (player.Reads() - first) * 1000.0 / (GetTickCount() - start);
  std::printf("the player was read %.0f times a second\n", per_second);
  CHECK(per_second >= 30);

  for (const std::string& caption : {title, title + " [Paused]", title}) {
    // Each cycle starts with the frame that holds the caption twice; two whole ones.
    const std::string twice = caption + " *** " + caption;
    const std::size_t before = TimesLogged(log, twice);
    CHECK(player.Show(caption) && WaitUntil([&] { return TimesLogged(log, twice) > before + 2; },
                                            3 * driver::kDeadlineMs, 100));
  }
  std::printf("%zu scroll frames\n", driver::ReadLog(log).size());
  CHECK(player.Show(Caption("Next")));
  std::vector<std::string> expected = PresenceUtf8();
  expected.insert(expected.end(), {Line("Artist - Title"), Line("Next")});
  ExpectPosted(room, expected, "after whole scroll cycles");
  DeleteFileA(log.c_str());
}

// zingel looks at the room's input box while it holds a line: a few looks more, and still no line,
// means it keeps waiting.
bool LooksAgain(RoomStandin& room, unsigned long looks) {
  const unsigned long before = room.Reads();
  return WaitUntil([&] { return room.Reads() >= before + looks; });
}

// Seconds from the user's own message to the line after it, on the room's log clock.
double HeldFor(const RoomStandin& room, const std::string& draft) {
  const std::vector<driver::LogLine> log = driver::ReadLog(room.log());
  for (std::size_t i = 0; i + 1 < log.size(); ++i)
    if (log[i].text == draft) return log[i + 1].seconds - log[i].seconds;
  return 1e9;
}

// No song lost while the user types in the room or the room is silent, nothing typed over the
// user's words, and only the song playing: with the player's caption events and without.
WIN_TEST(ALineHeldBackByTheUserOrASilentRoomGoesOutOnceItCan) {
  for (const bool events : {true, false}) {
    const std::string mode = events ? "with events: " : "without events: ";
    RoomStandin room(g_room, events ? "held-events.log" : "held.log");
    std::vector<std::string> args = {"--caption", Caption("Zero")};
    if (!events) args.push_back("--no-events");
    auto player = std::make_unique<PlayerStandin>(g_player, args);
    ZingelApp app(g_zingel);
    EXPECT_OR_RETURN(room.Ready() && player->Ready() && app.Open() && app.TypePrefix(u"-=>") &&
                         app.Click(IDC_COMMAND1) && room.WaitForLines(3),
                     mode + "the programs did not start");
    // Once its first change proves the player's events, zingel polls once a second.
    CHECK(player->Show(Caption("One")) && room.WaitForLines(4));
    std::size_t lines = 4;
    // The song changes while the user types, three times in a long message, and once back to the
    // song the room got last: the draft goes out as the user wrote it, then the song playing.
    const auto held = [&](const std::vector<std::string>& songs, const std::string& draft,
                          const std::vector<std::string>& expected, const std::string& what) {
      CHECK(room.Type(draft));
      for (const std::string& song : songs) {
        CHECK(player->Show(Caption(song)));
        ExpectSong(app, std::u16string(song.begin(), song.end()), mode + what);
      }
      // Nothing waits for the room once the song it got last is back.
      if (expected.size() > 1) CHECK(LooksAgain(room, 3));
      CHECK(room.SendDraft());
      ExpectPosted(room, expected, mode + what, lines);
      lines += expected.size();
    };
    held({"Two"}, "brb", {"brb", Line("Two")}, "a change while typing");
    CHECK(HeldFor(room, "brb") < 0.9);  // no wait for the safety poll
    held({"Three", "Four", "Five"}, "a long message", {"a long message", Line("Five")},
         "three changes while typing");
    held({"Six", "Five"}, "back", {"back"}, "the last song back while typing");
    // Emptied and typed in again within 0.1 s, the box keeps the line waiting.
    CHECK(room.Type("one") && player->Show(Caption("Seven")) && LooksAgain(room, 2));
    CHECK(room.Retype("two") && LooksAgain(room, 4) && room.SendDraft());
    ExpectPosted(room, {"two", Line("Seven")}, mode + "a box typed in again at once", lines);
    lines += 2;
    // A room silent past the bound while two songs change gets the song playing once it answers.
    CHECK(room.Command("hang 2500") && player->Show(Caption("Eight")));
    ExpectSong(app, u"Eight", mode + "a silent room");
    CHECK(player->Show(Caption("Nine")));
    ExpectPosted(room, {Line("Nine")}, mode + "a room silent for a while", lines++);
    // The player closing, or a stop, drops the held line: the next line is the next song's.
    CHECK(room.Type("closing") && player->Show(Caption("Ten")) && LooksAgain(room, 2));
    player.reset();
    ExpectSong(app, u"", mode + "the player closed");
    CHECK(room.SendDraft());
    args[1] = Caption("Back");
    player = std::make_unique<PlayerStandin>(g_player, args);
    CHECK(player->Ready());
    ExpectPosted(room, {"closing", Line("Back")}, mode + "after the player closed", lines);
    lines += 2;
    CHECK(room.Type("stopping") && player->Show(Caption("Eleven")));
    ExpectSong(app, u"Eleven", mode + "before a stop");
    CHECK(LooksAgain(room, 2) && app.Click(IDC_COMMAND2) && app.Sync() && room.SendDraft());
    CHECK(app.Click(IDC_COMMAND1) && player->Show(Caption("Twelve")));
    ExpectPosted(room, {"stopping", Line("Twelve")}, mode + "after a stop", lines);
  }
}

}  // namespace
}  // namespace zingel::e2e

int main(int argc, char** argv) {
  return zingel::e2e::Main(argc, argv);
}
