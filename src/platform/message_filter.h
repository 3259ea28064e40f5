#pragma once
// User Interface Privilege Isolation (Windows Vista and later): an elevated
// program does not get messages from programs below its integrity level
// unless it lets each one through.

#include <windows.h>

namespace zingel {

// Finds a function of user32 by name, as GetProcAddress does; null where it
// does not exist. Tests hand their own.
using User32Lookup = FARPROC (*)(const char* name);
FARPROC LookUpInUser32(const char* name);

// Lets `message` reach `window` from programs at a lower integrity level:
// ChangeWindowMessageFilterEx on Windows 7 and later, for this window alone,
// ChangeWindowMessageFilter on Vista, for the whole program. Both are looked up
// at run time, so the program still starts on Windows XP, where neither exists
// and no message is filtered. Where the call fails, nothing changes.
void LetThroughFromLowerIntegrity(HWND window, UINT message, User32Lookup lookup = LookUpInUser32);

}  // namespace zingel
