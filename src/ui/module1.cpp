#include "ui/module1.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace zingel::Module1 {

static_assert(offsetof(TrayIconRecord, szTip) + kTipSize == NOTIFYICONDATAA_V1_SIZE);
#ifndef _WIN64
static_assert(NOTIFYICONDATAA_V1_SIZE == 88);
#endif

namespace {

TrayIconRecord record{};
bool balloon_shown = false;

constexpr char kBalloonTitle[] = "zingel";
constexpr char kBalloonText[] =
    "zingel goes on announcing from here.\nClick this icon for its menu.";
// How long the balloon stays, in milliseconds; the shell keeps it within its
// own bounds (10 to 30 seconds) and leaves it up while nobody uses the mouse.
constexpr UINT kBalloonTimeout = 10000;

// A balloon over the icon the record names, in a record of its own: the
// first form has no room for it, and only NIF_INFO is set, so the shell
// leaves the tip, the icon and the callback as they are.
void ShowBalloon() {
  NOTIFYICONDATAA balloon{};
  balloon.cbSize = NOTIFYICONDATAA_V2_SIZE;
  balloon.hWnd = record.hWnd;
  balloon.uID = record.uID;
  balloon.uFlags = NIF_INFO;
  std::strcpy(balloon.szInfo, kBalloonText);
  std::strcpy(balloon.szInfoTitle, kBalloonTitle);
  balloon.uTimeout = kBalloonTimeout;
  balloon.dwInfoFlags = NIIF_INFO;
  Shell_NotifyIconA(NIM_MODIFY, &balloon);
}

}  // namespace

void Fill(HWND window, HICON icon, std::string_view caption) {
  record.cbSize = NOTIFYICONDATAA_V1_SIZE;
  record.hWnd = window;
  record.uID = kTrayIconId;
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uCallbackMessage = kTrayCallbackMessage;
  record.hIcon = icon;
  // The caption, its NUL, then spaces to the end of the field: the tip is a
  // fixed-width text padded with blanks, as the record has always held it,
  // byte for byte. The shell reads only up to the NUL, so the blanks never
  // show; and as the whole field is written, no longer caption of an earlier
  // fill lingers behind it.
  const std::size_t length = std::min(caption.size(), kTipSize - 1);
  std::memset(record.szTip, ' ', kTipSize);
  std::memcpy(record.szTip, caption.data(), length);
  record.szTip[length] = '\0';
}

bool Add() {
  if (Shell_NotifyIconA(NIM_ADD, &record) == FALSE) return false;
  if (!balloon_shown) {
    balloon_shown = true;
    ShowBalloon();
  }
  return true;
}

void Delete() {
  Shell_NotifyIconA(NIM_DELETE, &record);
}

}  // namespace zingel::Module1
