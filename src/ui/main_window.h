#pragma once
// The main window `Winamp`: the prefix box, the song box, three buttons, the
// poll timer and the tray. It is the announcer's view, and its handlers are
// thin: they call the announcer, the presence announcement and the tray
// record, which the program builds and hands over (main.cpp).
//
// Its parts and handlers go by the names a form designer gives them:
//   Winamp: this main window (the player's own window is found by its class)
//   Text1: the song box           Combo1: the prefix box
//   Command1: start               Command2: stop
//   Command3: minimize to tray    Timer1: the poll timer
//   mnuexit, mnurestore, mnuabout: the tray menu's items
//   Form_Load, Form_Unload, ...: the window's own events; Module1: the tray icon record

#include <windows.h>

#include <functional>
#include <string>

#include "core/announcer.h"
#include "platform/scoped_handles.h"
#include "ui/identity.h"

namespace zingel {

class Winamp final : public AnnouncerView {
 public:
  Winamp() = default;
  Winamp(const Winamp&) = delete;
  Winamp& operator=(const Winamp&) = delete;

  // Creates the window and its controls, still hidden. The announcer drives
  // this window as its view, so it is built after the window and handed over
  // here. It, and what `announce_presence` uses, must outlive the window.
  // False on failure.
  bool Create(HINSTANCE instance, Announcer& announcer, std::function<void()> announce_presence);
  // Runs the start-up sequence, then shows the window.
  void Load(int show_command);
  // The message loop. The program ends inside Form_Unload, so this returns
  // only on WM_QUIT or when the loop itself fails.
  int Run();

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
  void FitCombo1();
  void ShowMessage(const char* text);
  void ReleaseFocus(HWND control);
  int TwipsToPixelsX(int twips) const;
  int TwipsToPixelsY(int twips) const;

  HWND Text1() const;
  HWND Command1() const;
  HWND Command2() const;
  HWND Combo1() const;

  Announcer* announcer_ = nullptr;
  std::function<void()> announce_presence_;

  HINSTANCE instance_ = nullptr;
  HWND window_ = nullptr;
  HWND focus_ = nullptr;  // the control to refocus when the window is activated
  int dpi_x_ = 96;
  int dpi_y_ = 96;
  UniqueIcon big_icon_;
  UniqueIcon small_icon_;
  UniqueFont font_;
  UniqueMenu menu_;
  UINT taskbar_created_ = 0;
  UINT bring_back_ = 0;  // a second start's request
  bool loaded_ = false;  // past start-up, the window shown
  bool timer_enabled_ = false;
  bool in_tray_ = false;
  bool popup_open_ = false;  // the tray menu or the about box
};

}  // namespace zingel
