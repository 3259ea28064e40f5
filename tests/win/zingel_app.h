#pragma once
// Drives the real zingel.exe from another process, as a user would: through
// its windows only. Clicks are posted, as real input is, and tray messages
// sent without waiting, as the shell does; reads go through the W messages,
// which cross processes whole.

#include <windows.h>

#include <string>
#include <vector>

namespace zingel::test {

class ZingelApp {
 public:
  // Generous: a busy machine running Wine can be slow to show a window.
  static constexpr DWORD kDeadlineMs = 20000;

  // exe: a Windows path, or a Unix one (given the Z: drive).
  explicit ZingelApp(const std::string& exe);
  ~ZingelApp();  // Kills it if it still runs.
  ZingelApp(const ZingelApp&) = delete;
  ZingelApp& operator=(const ZingelApp&) = delete;

  bool Started() const { return process_ != nullptr; }

  // A visible message box of zingel's ("#32770" titled "zingel"), or nullptr
  // after the deadline.
  HWND WaitForMessageBox(DWORD timeout_ms = kDeadlineMs) const;
  // The text of the box's Static child.
  static std::u16string BoxText(HWND box);
  // Presses OK and waits until the box is gone.
  static bool DismissBox(HWND box, DWORD timeout_ms = kDeadlineMs);

  // The main window (class "zingel") once it is visible, or nullptr.
  HWND WaitForMainWindow(DWORD timeout_ms = kDeadlineMs);
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
  bool WaitForExit(DWORD timeout_ms = kDeadlineMs) const;
  bool Exited() const;
  // STILL_ACTIVE while it runs.
  DWORD ExitCode() const;
  // Whether any top-level window of the process exists.
  bool HasWindows() const;

 private:
  HWND FindWindowOf(const char* class_name, const wchar_t* title) const;

  HANDLE process_ = nullptr;
  DWORD process_id_ = 0;
  HWND main_ = nullptr;
  LRESULT marker_ = 0;
};

}  // namespace zingel::test
