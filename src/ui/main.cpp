// The program: its parts built once, each handed what it works through, and
// the main window given the announcer and the presence announcement.

#include <windows.h>

#include <string>

#include "chat/chat_room.h"
#include "chat/presence.h"
#include "chat/song_poster.h"
#include "core/announcer.h"
#include "platform/qpc_clock.h"
#include "platform/win32_window_system.h"
#include "player/player_poll.h"
#include "player/player_reader.h"
#include "ui/main_window.h"
#include "ui/single_instance.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  // Before anything reaches the chat room: a second zingel only hands over.
  const zingel::InstanceLock lock;
  if (lock.HeldElsewhere()) {
    zingel::BringBackFirstInstance();
    return 0;
  }

  // The Win32 window system and clock; the portable parts know only their
  // interfaces. All live until the program ends inside the window.
  zingel::Win32WindowSystem windows;
  zingel::QpcClock clock;
  zingel::PlayerReader reader(windows);
  zingel::ChatRoomSender sender(windows);
  // The presence lines go now or never; a song line the room cannot take yet is held.
  const zingel::LineSender send_line = [&sender](const std::u16string& line) {
    sender.SendChatLine(line);
  };
  zingel::SongPoster songs(sender, clock);

  // The window is the announcer's view, and its buttons and timer drive the
  // announcer. Each only holds the other until Run: the announcer touches its
  // view only when started, stopped or ticked, and the window's handlers get
  // the announcer once it and the controls exist.
  zingel::Winamp window;
  // The poll reads the player for the announcer, so it learns what each read found; the window
  // holds its timer and the player's caption hook.
  zingel::PlayerPoll poll(reader, clock, window.poll_platform(),
                          zingel::Win32PollPlatform::kTimerFloorSeconds);
  zingel::Announcer announcer([&poll] { return poll.ReadSongTitle(); }, songs, window);
  if (!window.Create(instance)) return 1;
  const auto announce_presence = [&send_line, &clock] {
    zingel::AnnouncePresence(send_line, clock);
  };
  return window.Run(show_command, {announcer, poll, songs, announce_presence});
}
