// The real zingel.exe, driven from another program through its windows only,
// with the stand-in player and chat room. What reaches the room is read from
// the room's log: the exact ANSI bytes of every line posted.

#include <string>
#include <vector>

#include "chat/presence.h"
#include "standin_process.h"
#include "test_harness.h"
#include "ui/resource.h"
#include "zingel_app.h"

namespace {

using zingel::test::StandinProcess;
using zingel::test::WaitUntil;
using zingel::test::ZingelApp;

std::string g_zingel_exe;
std::string g_player_exe;
std::string g_chatroom_exe;

// The tray menu's items, by position.
constexpr int kMenuExit = 0;
constexpr int kMenuRestore = 1;
constexpr int kMenuAbout = 2;

const std::vector<std::string> kPresence = zingel::test::PresenceBytes();

// A failed expectation that makes the rest of a session pointless.
bool Expect(bool ok, const std::string& what, int line) {
  if (!ok) zingel::test::Fail(__FILE__, line, what);
  return ok;
}
#define EXPECT_OR_RETURN(condition, what) \
  if (!Expect((condition), (what), __LINE__)) return

struct ChatRoom : zingel::test::ChatRoomStandin {
  explicit ChatRoom(const char* log_name) : ChatRoomStandin(g_chatroom_exe, log_name) {}
  std::vector<std::string> Lines() const { return Posted(); }
  // Waits for `expected` to arrive, then compares the whole log with it.
  bool Holds(const std::vector<std::string>& expected) const {
    WaitUntil([&] { return Lines().size() >= expected.size(); });
    return Lines() == expected;
  }
};

std::string Describe(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& line : lines) out += "\n    '" + zingel::test::Printable(line) + "'";
  return out;
}

// The room log against the lines expected so far, with both in the message.
#define CHECK_ROOM(room, expected, when)                                                   \
  do {                                                                                     \
    if (!(room).Holds(expected))                                                           \
      zingel::test::Fail(__FILE__, __LINE__,                                               \
                         std::string(when) + ": the room got" + Describe((room).Lines()) + \
                             "\n  want" + Describe(expected));                             \
  } while (0)

struct Player : StandinProcess {
  explicit Player(const std::string& caption)
      : StandinProcess(g_player_exe, {"--caption", caption}) {
    CHECK(Command("ping"));
  }
};

struct ControlState {
  int id;
  const char16_t* text;
  bool enabled;
};

void CheckControls(const ZingelApp& app, const std::vector<ControlState>& states,
                   const char* when) {
  for (const ControlState& state : states) {
    if (state.text && app.ControlText(state.id) != state.text)
      zingel::test::Fail(__FILE__, __LINE__,
                         std::string(when) + ": control " + std::to_string(state.id) + " shows '" +
                             zingel::test::Printable(app.ControlText(state.id)) + "', want '" +
                             zingel::test::Printable(std::u16string(state.text)) + "'");
    if (app.Enabled(state.id) != state.enabled)
      zingel::test::Fail(__FILE__, __LINE__,
                         std::string(when) + ": control " + std::to_string(state.id) + " is " +
                             (state.enabled ? "disabled" : "enabled"));
  }
}

// Start-up up to the visible main window; false (with a failure) otherwise.
bool OpenMainWindow(ZingelApp& app) {
  const HWND box = app.WaitForMessageBox();
  if (!Expect(box != nullptr, "no welcome box appeared", __LINE__)) return false;
  return Expect(ZingelApp::DismissBox(box), "the welcome box did not go on OK", __LINE__) &&
         Expect(app.WaitForMainWindow() != nullptr, "no main window after the welcome box",
                __LINE__);
}

WIN_TEST(AScriptedSessionAnnouncesEachSongOnce) {
  ChatRoom room("session.log");
  Player player("1. First Song - Winamp");
  ZingelApp app(g_zingel_exe);
  EXPECT_OR_RETURN(app.Started(), "zingel did not start");

  // Start-up: the presence lines go out before the welcome box shows, and
  // the main window shows only once the box is gone.
  const HWND welcome = app.WaitForMessageBox();
  EXPECT_OR_RETURN(welcome != nullptr, "no welcome box titled zingel appeared");
  CHECK(room.Lines() == kPresence);
  CHECK_EQ(ZingelApp::BoxText(welcome), std::u16string(u"thank you for hosting teskin"));
  CHECK(app.WaitForMainWindow(0) == nullptr);
  EXPECT_OR_RETURN(ZingelApp::DismissBox(welcome), "the welcome box did not go on OK");
  EXPECT_OR_RETURN(app.WaitForMainWindow() != nullptr, "no main window after the welcome box");
  CHECK_EQ(ZingelApp::Text(app.Main()), std::u16string(u"zingel"));

  const std::vector<std::u16string> prefixes = {u"-=(", u"-=(\u00A4", u"-=[", u"-=[\u00A4", u"-=>"};
  CHECK(app.Combo1Items() == prefixes);
  CHECK_EQ(app.Combo1Selection(), -1);
  CheckControls(app,
                {{IDC_COMBO1, u"", true},
                 {IDC_TEXT1, u"Current Song", false},
                 {IDC_COMMAND1, u"start", true},
                 {IDC_COMMAND2, u"stop", false},
                 {IDC_COMMAND3, u"minimize to tray", true}},
                "at start");
  std::vector<std::string> expected = kPresence;
  CHECK_ROOM(room, expected, "at start");

  // Start sends the playing song at once with the chosen prefix.
  EXPECT_OR_RETURN(app.SelectPrefix(3), "cannot choose the fourth prefix");
  CHECK_EQ(app.ControlText(IDC_COMBO1), std::u16string(u"-=[\u00A4"));
  EXPECT_OR_RETURN(app.Click(IDC_COMMAND1) && app.Sync(), "the start click was not handled");
  expected.push_back("<b>-=[\xA4</b> First Song");
  CHECK_ROOM(room, expected, "after start");
  CheckControls(app,
                {{IDC_COMBO1, nullptr, false},
                 {IDC_TEXT1, u"First Song", false},
                 {IDC_COMMAND1, nullptr, false},
                 {IDC_COMMAND2, nullptr, true},
                 {IDC_COMMAND3, nullptr, true}},
                "after start");

  // The same song paused is no change; the next song is one line.
  CHECK(player.Command("caption 1. First Song - Winamp [Paused]"));
  CHECK(player.Command("caption 12. Second Song - Winamp"));
  expected.push_back("<b>-=[\xA4</b> Second Song");
  CHECK_ROOM(room, expected, "after a pause and a song change");
  CHECK(WaitUntil([&] { return app.ControlText(IDC_TEXT1) == u"Second Song"; }));

  // The tray callback counts only while the icon is shown: a mouse move at
  // x 513 over the visible window is no left press on the icon.
  CHECK(app.PostTrayMessage(WM_LBUTTONDOWN) && app.Sync());
  CHECK(app.PopupMenu() == nullptr);

  // Stop, then start with the same song: nothing is sent.
  EXPECT_OR_RETURN(app.Click(IDC_COMMAND2) && app.Sync(), "the stop click was not handled");
  CheckControls(app,
                {{IDC_COMBO1, nullptr, true},
                 {IDC_TEXT1, u"Second Song", false},
                 {IDC_COMMAND1, nullptr, true},
                 {IDC_COMMAND2, nullptr, false}},
                "after stop");
  EXPECT_OR_RETURN(app.Click(IDC_COMMAND1) && app.Sync(), "the second start was not handled");
  CHECK_ROOM(room, expected, "after stop and start with the same song");

  // A typed prefix; a song that changed while stopped goes out on start.
  EXPECT_OR_RETURN(app.Click(IDC_COMMAND2) && app.Sync(), "the second stop was not handled");
  CHECK(player.Command("caption 3. Third Song - Winamp"));
  // Stopped, nothing polls: the song box keeps the last song.
  CHECK(app.Sync());
  CHECK_EQ(app.ControlText(IDC_TEXT1), std::u16string(u"Second Song"));
  CHECK(app.TypePrefix(u"~\u00A4~"));
  EXPECT_OR_RETURN(app.Click(IDC_COMMAND1) && app.Sync(), "the third start was not handled");
  expected.push_back("<b>~\xA4~</b> Third Song");
  CHECK_ROOM(room, expected, "after a typed prefix and start");

  // Minimise: the window hides in the tray and announcing goes on.
  EXPECT_OR_RETURN(app.Click(IDC_COMMAND3) && app.Sync(), "the minimise click was not handled");
  CHECK(!app.MainVisible());
  CHECK(app.TrayIconShown());
  CHECK(player.Command("caption 4. Fourth Song - Winamp"));
  expected.push_back("<b>~\xA4~</b> Fourth Song");
  CHECK_ROOM(room, expected, "while in the tray");

  // Only a left press on the icon opens the menu.
  for (const UINT other : {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONUP, WM_LBUTTONDBLCLK}) {
    CHECK(app.PostTrayMessage(other) && app.Sync());
    if (app.PopupMenu() != nullptr)
      zingel::test::Fail(__FILE__, __LINE__,
                         "tray message " + std::to_string(other) + " opened the menu");
  }
  EXPECT_OR_RETURN(app.PostTrayMessage(WM_LBUTTONDOWN) && app.WaitForPopupMenu() != nullptr,
                   "a left press on the tray icon opened no menu");
  EXPECT_OR_RETURN(app.ChooseMenuItem(kMenuAbout), "cannot choose about in the tray menu");
  const HWND about = app.WaitForMessageBox();
  EXPECT_OR_RETURN(about != nullptr, "about opened no box titled zingel");
  CHECK_EQ(ZingelApp::BoxText(about), std::u16string(u"have any questions IM me S/N: Brask2261"));
  // One popup at a time: the icon opens no menu over the about box.
  CHECK(app.PostTrayMessage(WM_LBUTTONDOWN) && app.Sync());
  CHECK(app.PopupMenu() == nullptr);
  CHECK(ZingelApp::DismissBox(about));
  CHECK(!app.MainVisible());

  // Restore: the window comes back and the icon goes.
  EXPECT_OR_RETURN(app.PostTrayMessage(WM_LBUTTONDOWN) && app.WaitForPopupMenu() != nullptr,
                   "the tray menu did not open again after about");
  EXPECT_OR_RETURN(app.ChooseMenuItem(kMenuRestore) && app.Sync(),
                   "cannot choose restore in the tray menu");
  CHECK(app.MainVisible());
  CHECK(!IsIconic(app.Main()));
  CHECK(!app.TrayIconShown());
  CHECK(app.PostTrayMessage(WM_LBUTTONDOWN) && app.Sync());
  CHECK(app.PopupMenu() == nullptr);
  CHECK(player.Command("caption 5. Fifth Song - Winamp"));
  expected.push_back("<b>~\xA4~</b> Fifth Song");
  CHECK_ROOM(room, expected, "after restore");

  // A second start hands over to this zingel, which leaves the tray, and
  // ends without a word to the room or a welcome box (which would hold it).
  EXPECT_OR_RETURN(app.Click(IDC_COMMAND3) && app.Sync() && !app.MainVisible(),
                   "minimize to tray did not hide the window");
  {
    ZingelApp second(g_zingel_exe);
    EXPECT_OR_RETURN(second.WaitForExit(), "a second zingel did not end at once");
    CHECK_EQ(second.ExitCode(), DWORD{0});
  }
  // Visible comes first in restoring, so wait for the rest of it.
  CHECK(WaitUntil([&] { return app.MainVisible(); }) && app.Sync());
  CHECK(!app.TrayIconShown());
  CHECK_ROOM(room, expected, "after a second start");

  // A tray icon the shell refuses leaves the window up, announcing. The shell
  // refuses a second icon under one window and id, as a starting one refuses any.
  EXPECT_OR_RETURN(app.HoldTrayIcon(true), "cannot add an icon under zingel's window and id");
  EXPECT_OR_RETURN(app.Click(IDC_COMMAND3) && app.Sync(),
                   "the minimise with a refused icon was not handled");
  CHECK(app.MainVisible());
  CHECK(!IsIconic(app.Main()));
  CHECK(player.Command("caption 6. Sixth Song - Winamp"));
  expected.push_back("<b>~\xA4~</b> Sixth Song");
  CHECK_ROOM(room, expected, "after a refused tray icon");
  // zingel's restore deletes the icon under its id, usually ours already.
  app.HoldTrayIcon(false);

  // Exit from the tray: the presence lines, then the program ends.
  EXPECT_OR_RETURN(app.Click(IDC_COMMAND3) && app.Sync(),
                   "the minimise before exit was not handled");
  EXPECT_OR_RETURN(app.PostTrayMessage(WM_LBUTTONDOWN) && app.WaitForPopupMenu() != nullptr,
                   "the tray menu did not open for exit");
  CHECK(app.ChooseMenuItem(kMenuExit));
  EXPECT_OR_RETURN(app.WaitForExit(), "zingel still runs after exit in the tray menu");
  CHECK_EQ(app.ExitCode(), DWORD{0});
  CHECK(!app.HasWindows());
  expected.insert(expected.end(), kPresence.begin(), kPresence.end());
  CHECK_ROOM(room, expected, "after exit");
}

WIN_TEST(AClosingRequestFromAnotherProgramEndsItTheSameWay) {
  ChatRoom room("close.log");
  ZingelApp app(g_zingel_exe);
  EXPECT_OR_RETURN(app.Started(), "zingel did not start");
  if (!OpenMainWindow(app)) return;
  EXPECT_OR_RETURN(app.PostClose(), "cannot post WM_CLOSE");
  EXPECT_OR_RETURN(app.WaitForExit(), "zingel still runs after WM_CLOSE");
  CHECK_EQ(app.ExitCode(), DWORD{0});
  CHECK(!app.HasWindows());
  std::vector<std::string> expected = kPresence;
  expected.insert(expected.end(), kPresence.begin(), kPresence.end());
  CHECK_ROOM(room, expected, "after WM_CLOSE");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::printf("usage: %s ZINGEL_EXE PLAYER_EXE CHATROOM_EXE\n", argv[0]);
    return 2;
  }
  g_zingel_exe = argv[1];
  g_player_exe = argv[2];
  g_chatroom_exe = argv[3];
  return zingel::test::RunAll();
}
