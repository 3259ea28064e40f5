#include "platform/message_filter.h"

namespace zingel {

namespace {

using FilterForWindow = BOOL(WINAPI*)(HWND window, UINT message, DWORD action, void* status);
using FilterForProgram = BOOL(WINAPI*)(UINT message, DWORD action);
// MSGFLT_ALLOW and MSGFLT_ADD, which headers for Windows XP lack.
constexpr DWORD kAllow = 1;
constexpr DWORD kAdd = 1;

// GetProcAddress's result as the function it names; the cast through a
// function pointer of no parameters tells the compiler the types are meant.
template <typename Function>
Function Lookup(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

void LetThroughFromLowerIntegrity(HWND window, UINT message) {
  if (message == 0) return;  // a message that failed to register
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return;
  if (const auto for_window = Lookup<FilterForWindow>(user32, "ChangeWindowMessageFilterEx")) {
    for_window(window, message, kAllow, nullptr);
  } else if (const auto for_program =
                 Lookup<FilterForProgram>(user32, "ChangeWindowMessageFilter")) {
    for_program(message, kAdd);
  }
}

}  // namespace zingel
