#include "platform/message_filter.h"

namespace zingel {

namespace {

using FilterForWindow = BOOL(WINAPI*)(HWND window, UINT message, DWORD action, void* status);
using FilterForProgram = BOOL(WINAPI*)(UINT message, DWORD action);
// MSGFLT_ALLOW and MSGFLT_ADD, which headers for Windows XP lack.
constexpr DWORD kAllow = 1;
constexpr DWORD kAdd = 1;

// A looked-up function as the function it names; the cast through a function
// pointer of no parameters tells the compiler the types are meant.
template <typename Function>
Function As(FARPROC function) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(function));
}

}  // namespace

FARPROC LookUpInUser32(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 != nullptr ? GetProcAddress(user32, name) : nullptr;
}

void LetThroughFromLowerIntegrity(HWND window, UINT message, User32Lookup lookup) {
  if (message == 0) return;  // a message that failed to register
  if (const auto for_window = As<FilterForWindow>(lookup("ChangeWindowMessageFilterEx"))) {
    for_window(window, message, kAllow, nullptr);
  } else if (const auto for_program = As<FilterForProgram>(lookup("ChangeWindowMessageFilter"))) {
    for_program(message, kAdd);
  }
}

}  // namespace zingel
