// The cost of one poll of the player window in another process: FindTopWindow + ReadWindowText
// through Win32WindowSystem, against the plain FindWindowA + two SendMessageA.
// Run: poll_cost.exe (it starts a copy of itself with --peer as the other process).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32_window_system.h"

namespace {

const char* const kClass = "ZingelBenchPlayer";
const char* const kTitle = "1. Artist - Title - Winamp";
constexpr int kPolls = 5000;

LRESULT CALLBACK PeerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wparam, lparam);
}

int RunPeer() {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = PeerProc;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = kClass;
  if (!RegisterClassA(&window_class)) return 1;
  if (!CreateWindowExA(0, kClass, kTitle, WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                       window_class.hInstance, nullptr))
    return 1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

double Now() {
  LARGE_INTEGER counter;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double ProcessCpuSeconds() {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  const auto seconds = [](const FILETIME& time) {
    return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) |
                               time.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

template <typename Poll>
void Measure(const char* name, Poll poll) {
  for (int i = 0; i < 200; ++i) poll();  // warm up
  std::vector<double> micros(kPolls);
  const double cpu_start = ProcessCpuSeconds();
  for (double& sample : micros) {
    const double start = Now();
    poll();
    sample = (Now() - start) * 1e6;
  }
  const double cpu_per_poll = (ProcessCpuSeconds() - cpu_start) / kPolls * 1e6;
  std::sort(micros.begin(), micros.end());
  std::printf("%-44s median %7.1f us  p90 %7.1f us  process CPU %6.1f us/poll\n", name,
              micros[kPolls / 2], micros[kPolls * 9 / 10], cpu_per_poll);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--peer") == 0) return RunPeer();

  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string command = std::string("\"") + self + "\" --peer";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::printf("cannot start the peer process\n");
    return 1;
  }
  HWND player = nullptr;
  for (int i = 0; i < 2000 && player == nullptr; ++i, Sleep(10))
    player = FindWindowA(kClass, nullptr);
  if (player == nullptr) {
    std::printf("the peer window did not appear\n");
    return 1;
  }

  zingel::Win32WindowSystem windows;
  const std::u16string expected = u"1. Artist - Title - Winamp";
  bool all_read = true;
  for (int round = 0; round < 2; ++round) {
    Measure("direct: FindWindowA + 2 SendMessageA", [&] {
      HWND window = FindWindowA(kClass, nullptr);
      const auto n = static_cast<std::size_t>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
      std::string buffer(n + 1, '\0');
      SendMessageA(window, WM_GETTEXT, n + 1, reinterpret_cast<LPARAM>(buffer.data()));
      all_read = all_read && std::strcmp(buffer.c_str(), kTitle) == 0;
    });
    Measure("zingel: FindTopWindow + ReadWindowText", [&] {
      const zingel::WindowHandle window = windows.FindTopWindow(u"ZingelBenchPlayer");
      all_read = all_read && windows.ReadWindowText(window) == expected;
    });
  }
  PostMessageA(player, WM_CLOSE, 0, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!all_read) std::printf("some polls did not read the title\n");
  return all_read ? 0 : 1;
}
