// The least one poll of the player can cost: on every tick of a 1 ms timer it
// finds the player window and reads its caption with WM_GETTEXTLENGTH and
// WM_GETTEXT, nothing more. The benchmark compares zingel's CPU time with
// this program's; it asks for the tick count (bare_programs.h) and ends it
// with WM_CLOSE.

#include <windows.h>

#include "bare_programs.h"

namespace {

constexpr UINT_PTR kTimer = 1;

LRESULT g_ticks = 0;

void Poll() {
  ++g_ticks;
  const HWND player = FindWindowA(standin::kPlayerClass.ansi, nullptr);
  const LRESULT length = SendMessageA(player, WM_GETTEXTLENGTH, 0, 0);
  char caption[1024];
  const auto size = static_cast<WPARAM>(length < 0 ? 0 : length) + 1;
  if (length > 0)
    SendMessageA(player, WM_GETTEXT, size < sizeof caption ? size : sizeof caption,
                 reinterpret_cast<LPARAM>(caption));
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      Poll();
      return 0;
    case zingel::bench::kBareTicksMessage:
      return g_ticks;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

int main() {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = zingel::bench::kBarePollerClass.ansi;
  if (!RegisterClassA(&window_class)) return 1;
  // Hidden: FindWindow still finds it, and the benchmark's messages reach it.
  const HWND window = CreateWindowExA(0, zingel::bench::kBarePollerClass.ansi, "", WS_OVERLAPPED, 0,
                                      0, 10, 10, nullptr, nullptr, window_class.hInstance, nullptr);
  if (!window || !SetTimer(window, kTimer, 1, nullptr)) return 1;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
