#pragma once
// Module1: the tray icon record, one for the whole program, shared by the main
// window's resize, unload and TaskbarCreated handlers.

#include <windows.h>

#include <shellapi.h>

#include <string_view>

namespace zingel {

// The shell's notify icon record in its first form (64-byte tip): cbSize is
// NOTIFYICONDATAA_V1_SIZE, so the shell reads nothing after szTip[63].
using TrayIconRecord = NOTIFYICONDATAA;

namespace Module1 {

inline constexpr UINT kTrayIconId = 1;
// The shell reports mouse activity over the icon as this message, with the
// mouse message itself in lParam.
inline constexpr UINT kTrayCallbackMessage = WM_MOUSEMOVE;
inline constexpr std::size_t kTipSize = 64;

// Describes the icon of `window`: its icon, a tip showing `caption` (cut to
// 63 characters so the NUL fits), and the callback message.
void Fill(HWND window, HICON icon, std::string_view caption);

// Shows the icon as the record describes it; false when the shell refuses
// it (one still starting, or none). The first icon the shell takes in a run
// comes with a balloon, since Windows 11 keeps new icons out of sight.
bool Add();

// Removes the icon the record names; nothing happens when none is shown.
void Delete();

}  // namespace Module1
}  // namespace zingel
