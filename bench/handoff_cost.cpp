// What handing each read of another process's window to a worker thread adds
// to a poll's CPU time, as Win32WindowSystem does so that a silent program
// cannot hold up the caller: the read alone, then the read on a worker woken
// with SetEvent and waited for with WaitForSingleObject (two events, as now),
// with and without the caller's GetWindowThreadProcessId, then the same
// hand-off with SignalObjectAndWait on both sides.
// Run: handoff_cost.exe (it starts a copy of itself with --peer as the other
// process). Rounds alternate the ways, so a busy machine slows them alike.

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const wchar_t* const kClass = L"ZingelHandoffPlayer";
const char* const kClassAnsi = "ZingelHandoffPlayer";
constexpr int kPolls = 4000;
constexpr int kRounds = 5;

LRESULT CALLBACK PeerProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wparam, lparam);
}

// A Unicode window, as the stand-in player's is.
int RunPeer() {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = PeerProc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = kClass;
  if (!RegisterClassW(&window_class)) return 1;
  if (!CreateWindowExW(0, kClass, L"1. Artist - Title - Winamp", WS_OVERLAPPED, 0, 0, 100, 100,
                       nullptr, nullptr, window_class.hInstance, nullptr))
    return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
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

void Read(HWND window) {
  char caption[256];
  const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
  SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(length + 1),
               reinterpret_cast<LPARAM>(caption));
}

enum class Way { kDirect, kEventsAndThreadId, kEvents, kSignalAndWait };

HANDLE g_wake;
HANDLE g_done;
HWND g_target;
volatile LONG g_signal_and_wait = 0;

DWORD WINAPI Worker(void*) {
  WaitForSingleObject(g_wake, INFINITE);
  for (;;) {
    Read(g_target);
    if (g_signal_and_wait) {
      SignalObjectAndWait(g_done, g_wake, INFINITE, FALSE);
    } else {
      SetEvent(g_done);
      WaitForSingleObject(g_wake, INFINITE);
    }
  }
}

void Poll(Way way) {
  const HWND window = FindWindowA(kClassAnsi, nullptr);
  switch (way) {
    case Way::kDirect:
      Read(window);
      break;
    case Way::kEventsAndThreadId:
      GetWindowThreadProcessId(window, nullptr);
      [[fallthrough]];
    case Way::kEvents:
      SetEvent(g_wake);
      WaitForSingleObject(g_done, 500);
      break;
    case Way::kSignalAndWait:
      SignalObjectAndWait(g_wake, g_done, 500, FALSE);
      break;
  }
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
  for (int i = 0; i < 2000 && g_target == nullptr; ++i, Sleep(10))
    g_target = FindWindowA(kClassAnsi, nullptr);
  g_wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  g_done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (g_target == nullptr || !g_wake || !g_done ||
      !CreateThread(nullptr, 0, Worker, nullptr, 0, nullptr)) {
    std::printf("no peer window or worker\n");
    return 1;
  }

  const Way ways[] = {Way::kDirect, Way::kEventsAndThreadId, Way::kEvents, Way::kSignalAndWait};
  const char* const names[] = {
      "read on the caller's thread",
      "worker: SetEvent + Wait, GetWindowThreadProcessId",
      "worker: SetEvent + Wait",
      "worker: SignalObjectAndWait both ways",
  };
  double micros[4][kRounds] = {};
  for (int round = 0; round < kRounds; ++round) {
    for (int w = 0; w < 4; ++w) {
      g_signal_and_wait = ways[w] == Way::kSignalAndWait;
      for (int i = 0; i < 200; ++i) Poll(ways[w]);  // warm up
      const double start = ProcessCpuSeconds();
      for (int i = 0; i < kPolls; ++i) Poll(ways[w]);
      micros[w][round] = (ProcessCpuSeconds() - start) / kPolls * 1e6;
    }
  }
  double direct = 0;
  for (double sample : micros[0]) direct += sample / kRounds;
  for (int w = 0; w < 4; ++w) {
    double mean = 0;
    std::printf("%-50s", names[w]);
    for (double sample : micros[w]) {
      std::printf(" %5.0f", sample);
      mean += sample / kRounds;
    }
    std::printf("  mean %5.0f us/poll of process CPU, %.2fx\n", mean, mean / direct);
  }
  PostMessageA(g_target, WM_CLOSE, 0, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}
