// The main window's tray side: hiding in the tray, the icon's menu, and
// coming back from it, on a click or on a second start.

#include "ui/main_window.h"
#include "ui/module1.h"

namespace zingel {

void Winamp::Command3_Click() {
  // Works without a minimise box; Form_Resize sees SIZE_MINIMIZED and hides.
  ShowWindow(window_, SW_MINIMIZE);
}

void Winamp::Form_Resize(WPARAM state) {
  if (state == SIZE_MINIMIZED) {
    char caption[Module1::kTipSize] = {};
    // On failure the tip is empty; the icon still works.
    GetWindowTextA(window_, caption, static_cast<int>(sizeof caption));
    Module1::Fill(window_, small_icon_.get(), caption);
    in_tray_ = Module1::Add();
    // Hidden without an icon (a shell still starting, or none), zingel could
    // not be reached any more, so the window stays up instead.
    ShowWindow(window_, in_tray_ ? SW_HIDE : SW_RESTORE);
  } else {
    Module1::Delete();
    in_tray_ = false;
  }
}

void Winamp::Form_MouseMove(LPARAM lparam) {
  // The tray reports its icon's mouse messages as WM_MOUSEMOVE with the mouse
  // message in the x coordinate. The window is hidden while the icon is
  // shown, so no real mouse move can arrive then, and none is taken for one.
  // The shell sends the icon's messages, so they arrive inside the about
  // box's and the menu's own loops too: while either is open, the icon opens
  // nothing more.
  if (!in_tray_ || popup_open_ || LOWORD(lparam) != WM_LBUTTONDOWN) return;
  HMENU popup = GetSubMenu(menu_.get(), 0);
  POINT cursor;
  // Without the cursor (a locked desktop) nobody could use the menu anyway.
  if (popup == nullptr || !GetCursorPos(&cursor)) return;
  // Foreground first and WM_NULL after, or the menu stays open when the user
  // clicks elsewhere.
  SetForegroundWindow(window_);
  popup_open_ = true;
  TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, window_, nullptr);
  popup_open_ = false;
  PostMessageW(window_, WM_NULL, 0, 0);
}

void Winamp::Form_TaskbarCreated() {
  // A restarted Explorer has lost the icon; show it again from the record.
  if (in_tray_) Module1::Add();
}

void Winamp::Form_BringBack() {
  // Until the welcome box is gone the window is not shown, and it shows
  // itself after it.
  if (!loaded_) return;
  if (in_tray_) mnurestore_Click();
  SetForegroundWindow(window_);
}

void Winamp::mnuexit_Click() {
  Form_Unload();
}

void Winamp::mnurestore_Click() {
  ShowWindow(window_, SW_RESTORE);
  ShowWindow(window_, SW_SHOW);
}

void Winamp::mnuabout_Click() {
  popup_open_ = true;
  ShowMessage("have any questions IM me S/N: Brask2261");
  popup_open_ = false;
}

}  // namespace zingel
