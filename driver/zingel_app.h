#pragma once
// Drives the real zingel.exe from another process, as a user would: through
// its windows only. Clicks are posted, as real input is, and tray messages
// sent without waiting, as the shell does; reads go through the W messages,
// which cross processes whole.

#include <windows.h>

#include <string>
#include <vector>

#include "program.h"
#include "wait.h"

namespace zingel::driver {

class ZingelApp : public Program {
 public:
  // exe: a Windows path, or a Unix one (given the Z: drive).
  explicit ZingelApp(const std::string& exe) : Program(exe) {}

  // A visible message box of zingel's ("#32770" titled "zingel"), or nullptr
  // after the deadline.
  HWND WaitForMessageBox(DWORD timeout_ms = kDeadlineMs, DWORD step_ms = kStepMs) const;
  // The text of the box's Static child.
  static std::u16string BoxText(HWND box);
  // Presses OK and waits until the box is gone.
  static bool DismissBox(HWND box, DWORD timeout_ms = kDeadlineMs, DWORD step_ms = kStepMs);

  // The main window (class "zingel") once it is visible, or nullptr.
  HWND WaitForMainWindow(DWORD timeout_ms = kDeadlineMs, DWORD step_ms = kStepMs);
  // Start-up as a user goes through it: the welcome box shows and is dismissed, then the main
  // window shows. False if any of it does not happen.
  bool Open();
  HWND Main() const { return main_; }
  HWND Control(int id) const;
  bool MainVisible() const;

  static std::u16string Text(HWND window);
  std::u16string ControlText(int id) const { return Text(Control(id)); }
  bool Enabled(int id) const;

  // Combo1: its list items, the selected index (-1: none), and setting its
  // text by choosing an item or as if typed.
  std::vector<std::u16string> Combo1Items() const;
  int Combo1Selection() const;
  bool SelectPrefix(int index) const;
  bool TypePrefix(const std::u16string& text) const;

  // A button click, posted as a real one is.
  bool Click(int id) const;
  // The tray icon's callback: WM_MOUSEMOVE with the mouse message as x,
  // without waiting for zingel to handle it.
  bool PostTrayMessage(UINT mouse_message) const;
  // zingel's visible popup menu, or nullptr.
  HWND PopupMenu() const;
  HWND WaitForPopupMenu(DWORD timeout_ms = kDeadlineMs) const;
  // Chooses the item at `index` with the keyboard, as a user can, and waits
  // until the menu has closed.
  bool ChooseMenuItem(int index, DWORD timeout_ms = kDeadlineMs) const;

  // Returns once zingel has handled every message posted to it before the
  // call, menus and message boxes included; false after the deadline.
  bool Sync(DWORD timeout_ms = kDeadlineMs);
  // Whether the shell holds zingel's tray icon.
  bool TrayIconShown() const;
  // Adds (or removes) an icon under zingel's window and icon id, as another
  // program can: the shell then refuses zingel's own.
  bool HoldTrayIcon(bool hold) const;

  bool PostClose() const;
  // Waits for it to end, pumping this thread's messages.
  bool WaitForExit(DWORD timeout_ms = kDeadlineMs) const;

 private:
  HWND FindWindowOf(const wchar_t* class_name, const wchar_t* title) const;

  HWND main_ = nullptr;
  LRESULT marker_ = 0;
};

}  // namespace zingel::driver
