// Titles in any script, end to end with the real zingel.exe: a Unicode player and room carry every
// character; an ANSI room gets what its code page holds, and under code page 932 a Shift-JIS title
// from an ANSI player reaches it byte for byte. Run under code pages 1252 and 932.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "standins.h"
#include "test_harness.h"
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

// Every song twice: in UTF-8 for the player's caption and the Unicode room's log, and as UTF-16
// for the song box.
struct Song {
  std::string utf8;
  std::u16string text;
};

const Song kJapanese = {"坂本龍一 - 戦場のメリークリスマス", u"坂本龍一 - 戦場のメリークリスマス"};
const Song kCyrillicAndEmoji = {"Кино - Группа крови 🎸", u"Кино - Группа крови 🎸"};

WIN_TEST(AUnicodePlayerAndRoomCarryEveryCharacterOnce) {
  RoomStandin room(g_room, "unicode.log");
  PlayerStandin player(g_player, {"--caption", Caption(kJapanese.utf8)});
  ZingelApp app(g_zingel);
  EXPECT_OR_RETURN(room.Ready() && player.Ready() && app.Open() && app.TypePrefix(u"-=(\u00A4") &&
                       app.Click(IDC_COMMAND1),
                   "the programs did not start");
  std::vector<std::string> expected = PresenceUtf8();
  expected.push_back(Line(kJapanese.utf8, "-=(¤"));
  ExpectPosted(room, expected, "after start");
  ExpectSong(app, kJapanese.text, "after start");

  CHECK(player.Show("12. " + kCyrillicAndEmoji.utf8 + " - Winamp [Paused]"));
  expected.push_back(Line(kCyrillicAndEmoji.utf8, "-=(¤"));
  ExpectPosted(room, expected, "after a Cyrillic title with an emoji");
  ExpectSong(app, kCyrillicAndEmoji.text, "after a Cyrillic title with an emoji");
}

// A song for an ANSI room under one code page, and the exact bytes the room gets for its line.
struct AnsiCase {
  bool ansi_player;  // an ANSI player holds only titles its code page has
  std::string caption;
  std::string room_bytes;
};

std::vector<AnsiCase> AnsiCases(UINT code_page) {
  if (code_page == 932) {
    return {
        // "Sonatine": ソ is 83 5C, whose second byte is a backslash.
        {true, "1. 坂本龍一 - ソナチネ - Winamp",
         "<b>-=></b> \x8D\xE2\x96{\x97\xB4\x88\xEA - \x83\\\x83i\x83`\x83l"},
        // Latin accents are not in it; fullwidth brackets are, and stay no markup.
        {false, "2. Café ＜b＞ - Déjà Vu - Winamp",
         "<b>-=></b> Caf? \x81\x83"
         "b\x81\x84 - D?j? Vu"},
    };
  }
  return {
      {true, "1. Café – “Quoted” … ¤ - Winamp", "<b>-=></b> Caf\xE9 \x96 \x93Quoted\x94 \x85 \xA4"},
      // Neither Japanese nor fullwidth brackets: the default character, never "<b>".
      {false, "2. 坂本龍一 ＜b＞ - Winamp", "<b>-=></b> ???? ?b?"},
  };
}

WIN_TEST(AnAnsiRoomGetsWhatItsCodePageHolds) {
  const UINT code_page = GetACP();
  CHECK(code_page == 1252 || code_page == 932);
  std::printf("ANSI code page %u\n", code_page);
  RoomStandin room(g_room, "ansi.log", {"--ansi"});
  ZingelApp app(g_zingel);
  EXPECT_OR_RETURN(room.Ready() && app.Open() && app.TypePrefix(u"-=>"),
                   "the programs did not start");
  std::size_t lines = 2;  // the presence lines, which 932 holds only in part
  for (const AnsiCase& c : AnsiCases(code_page)) {
    const std::string log = TempPath("ansi-player.log");
    std::vector<std::string> args = {"--caption", c.caption, "--log", log};
    if (c.ansi_player) args.push_back("--ansi");
    PlayerStandin player(g_player, args);
    EXPECT_OR_RETURN(player.Ready(), "the player did not start");
    if (lines == 2) EXPECT_OR_RETURN(app.Click(IDC_COMMAND1), "start was not handled");
    ExpectPosted(room, {c.room_bytes}, c.caption, lines++);
    if (c.ansi_player) {
      // Its scroll frames, a two-byte title among them, are the same song.
      const std::string twice = c.caption + " *** " + c.caption;
      CHECK(player.Command("scroll 25") && WaitUntil([&] { return TimesLogged(log, twice) > 2; },
                                                     3 * zingel::driver::kDeadlineMs, 100));
      CHECK(app.Sync());
      CHECK_EQ(room.Posted().size(), lines);
    }
    DeleteFileA(log.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  return zingel::e2e::Main(argc, argv);
}
