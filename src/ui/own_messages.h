#pragma once
// The registered messages other programs send zingel's main window: Explorer's "TaskbarCreated"
// when it restarts, and a second start's request to bring the window back.

#include <windows.h>

#include "platform/message_filter.h"

namespace zingel {

struct OwnMessages {
  UINT taskbar_created = 0;
  UINT bring_back = 0;
  // Whether `message` is the one named; 0, a failed registration, never is.
  static bool Is(UINT message, UINT named) { return message == named && named != 0; }
};

// Registers them and lets both through to `window`: run as administrator, zingel would otherwise
// hear neither, both coming from programs below it.
OwnMessages ReceiveOwnMessages(HWND window, User32Lookup lookup = LookUpInUser32);

}  // namespace zingel
