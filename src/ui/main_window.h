#pragma once
// The main window: the prefix box, the song box, three buttons, the poll timer
// and the tray. It is the announcer's view, and its handlers are thin: they
// call the announcer, the presence announcement and the program-wide tray
// record.
//
// The names a form designer gives, kept for this program's parts (the legend):
//   Winamp: zingel's own main window; the media player's window, "the player"
//     everywhere else, is found by its class
//   Text1: the song box           Combo1: the prefix box
//   Command1: start               Command2: stop
//   Command3: minimize to tray    Timer1: the poll timer (player/player_poll.h, ui/poll_platform.h)
//   mnuexit, mnurestore, mnuabout: the tray menu's items
//   Form_Load, Form_Unload, ...: the window's own events
//   Module1: the tray icon record (ui/module1.h)
//   winampApi: what zingel reads from the player (player/)

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "chat/song_poster.h"
#include "core/announcer.h"
#include "platform/scoped_handles.h"
#include "player/player_poll.h"
#include "ui/identity.h"
#include "ui/own_messages.h"
#include "ui/poll_platform.h"

namespace zingel {

class Winamp final : public AnnouncerView {
 public:
  // What the window's handlers drive. It is handed over in Run, after the
  // window and its controls exist and before any handler can run, so neither
  // side uses the other half made. It must outlive the window.
  struct Parts {
    Announcer& announcer;
    PlayerPoll& poll;   // Timer1: when the announcer reads the player
    SongPoster& songs;  // the song lines, and one held for the room
    std::function<void()> announce_presence;
  };

  Winamp() = default;
  Winamp(const Winamp&) = delete;
  Winamp& operator=(const Winamp&) = delete;

  // Timer1, the player's caption hook and the posted reads, for the poll.
  PollPlatform& poll_platform() { return poll_platform_; }

  // Creates the window and its controls, still hidden; false on failure.
  bool Create(HINSTANCE instance);
  // Shows the song box, runs the start-up sequence, shows the window and runs
  // the message loop. The program ends inside Form_Unload, so this returns
  // only on WM_QUIT or when the loop itself fails.
  int Run(int show_command, Parts parts);

  void ShowSong(const std::u16string& song) override;
  void SetPrefixBoxEnabled(bool enabled) override;
  void SetStartEnabled(bool enabled) override;
  void SetStopEnabled(bool enabled) override;
  void SetTimerEnabled(bool enabled) override;
  std::u16string ReadPrefixText() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnCommand(int id, UINT code);
  int MessageLoop();

  void Form_Load();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Timer1_Timer();
  void Form_Resize(WPARAM state);
  void Form_MouseMove(LPARAM lparam);
  void Form_Activate(bool active, bool minimized);
  void Form_TaskbarCreated();
  void Form_BringBack();
  void mnuexit_Click();
  void mnurestore_Click();
  void mnuabout_Click();
  [[noreturn]] void Form_Unload();

  bool CreateControls();
  SIZE ClientSize() const;
  void FitCombo1();
  void FillCombo1();
  void ShowMessage(const char* text);
  void ReleaseFocus(HWND control);
  int TwipsToPixelsX(int twips) const;
  int TwipsToPixelsY(int twips) const;

  HWND Text1() const;
  HWND Command1() const;
  HWND Command2() const;
  HWND Combo1() const;

  std::optional<Parts> parts_;  // from Run on

  HINSTANCE instance_ = nullptr;
  HWND window_ = nullptr;
  HWND focus_ = nullptr;  // the control to refocus when the window is activated
  int dpi_x_ = 96;
  int dpi_y_ = 96;
  UniqueIcon big_icon_;
  UniqueIcon small_icon_;
  UniqueFont font_;
  UniqueMenu menu_;
  Win32PollPlatform poll_platform_;
  OwnMessages own_messages_;  // Explorer's restart, a second start's request
  bool loaded_ = false;       // past start-up, the window shown
  bool in_tray_ = false;
  bool popup_open_ = false;  // the tray menu or the about box
};

}  // namespace zingel
