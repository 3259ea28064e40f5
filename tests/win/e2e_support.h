#pragma once
// What the end-to-end programs share: the programs under test, the lines zingel posts, and
// checks of what reached the room and the song box.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "standins.h"
#include "test_harness.h"
#include "ui/resource.h"
#include "zingel_app.h"

namespace zingel::e2e {

using driver::PlayerStandin;
using driver::PresenceBytes1252;
using driver::PresenceUtf8;
using driver::RoomStandin;
using driver::TempPath;
using driver::TimesLogged;
using driver::ZingelApp;
using test::Fail;
using test::Printable;
using test::WaitUntil;

// The programs under test, from the command line.
inline std::string g_zingel;
inline std::string g_player;
inline std::string g_room;

#define EXPECT_OR_RETURN(condition, what)                        \
  if (!(condition)) {                                            \
    ::zingel::test::Fail(__FILE__, __LINE__, std::string(what)); \
    return;                                                      \
  }

inline std::string Caption(const std::string& song) {
  return "1. " + song + " - Winamp";
}

inline std::string Line(const std::string& song) {
  return "<b>-=></b> " + song;
}

inline std::string Shown(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines)
    out += "\n    '" + Printable(line.size() > 100 ? line.substr(0, 100) + "..." : line) + "'";
  return out;
}

// Waits until the room has posted as many lines after the first `from` as expected, then
// compares them.
inline void ExpectPosted(const RoomStandin& room, const std::vector<std::string>& expected,
                         const std::string& when, std::size_t from = 0) {
  std::vector<std::string> posted;
  WaitUntil([&] { return (posted = room.Posted()).size() >= from + expected.size(); });
  posted.erase(posted.begin(),
               posted.begin() + static_cast<std::ptrdiff_t>(std::min(from, posted.size())));
  if (posted != expected)
    Fail(__FILE__, __LINE__,
         when + ": the room got" + Shown(posted) + "\n  want" + Shown(expected));
}

// Waits until the song box shows `song`.
inline void ExpectSong(const ZingelApp& app, const std::u16string& song, const std::string& when) {
  if (!WaitUntil([&] { return app.ControlText(IDC_TEXT1) == song; }))
    Fail(__FILE__, __LINE__,
         when + ": the song box shows '" + Printable(app.ControlText(IDC_TEXT1)) + "'");
}

// main() of an end-to-end program: ZINGEL_EXE PLAYER_EXE CHATROOM_EXE.
inline int Main(int argc, char** argv) {
  if (argc != 4) {
    std::printf("usage: %s ZINGEL_EXE PLAYER_EXE CHATROOM_EXE\n", argv[0]);
    return 2;
  }
  g_zingel = argv[1];
  g_player = argv[2];
  g_room = argv[3];
  return test::RunAll();
}

}  // namespace zingel::e2e
