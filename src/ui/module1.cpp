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
}  // namespace

TrayIconRecord& TrayIcon() {
  return record;
}

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
  return Shell_NotifyIconA(NIM_ADD, &record) != FALSE;
}

void Delete() {
  Shell_NotifyIconA(NIM_DELETE, &record);
}

}  // namespace zingel::Module1
