// The window messaging primitives' waits, against windows on other threads of this process (each
// such thread a peer of its own) and on the calling thread itself: a peer that hangs, one that
// sends back while it answers, and the watchers that see a stalled peer answer again. Also the
// clock.

#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "chat/chat_room.h"
#include "peer_windows.h"
#include "platform/qpc_clock.h"
#include "platform/win32_window_system.h"
#include "test_harness.h"

namespace zingel {
namespace {

using test::WaitUntil;
using Peer = test::UnicodePeer;

constexpr unsigned kBoundMs = 300;
constexpr DWORD kHangMs = 2000;

// A room whose input box and send button are one window, so that one record keeps their order.
WIN_TEST(WriteAndPressIsOneOperationAllOrNothing) {
  const std::vector<std::string> sent = {"set line", "down 0 0", "up 0 0"};
  Win32WindowSystem windows(kBoundMs);
  // What the user is typing stays, and nothing is sent; so does a text that outgrew the read.
  for (const std::u16string typed : {u"", u"typing"}) {
    Peer room;
    room.state.text = typed;
    if (typed.empty()) room.state.text_after_length = std::u16string(1000, u'y');
    windows.WriteAndPress(room.handle(), u"line", room.handle(), &IsEmptyInput);
    CHECK(room.state.events.empty());
  }
  // Given up before the write: nothing, ever. Given up after it: the press still follows.
  for (const bool hang_on_write : {false, true}) {
    Peer room;
    (hang_on_write ? room.state.hang_on_write_ms : room.state.hang_ms) = kHangMs;
    const DWORD start = GetTickCount();
    windows.WriteAndPress(room.handle(), u"line", room.handle(), &IsEmptyInput);
    CHECK(GetTickCount() - start < 2 * kBoundMs);
    // A later line goes out once the stale one is done with: the peer's sends are in order.
    const long posts = hang_on_write ? 2 : 1;
    CHECK(WaitUntil([&] {
      windows.WriteAndPress(room.handle(), u"next", room.handle(), &IsEmptyInput);
      return room.state.posts == posts;
    }));
    std::vector<std::string> expected = hang_on_write ? sent : std::vector<std::string>{};
    expected.insert(expected.end(), {"set next", "down 0 0", "up 0 0"});
    CHECK(room.state.events == expected);
  }
}

WIN_TEST(HungPeerCostsTheBoundOnceKeepsItsLastAnswerAndSparesOthers) {
  Peer stuck;
  stuck.state.text = u"one";
  Peer calm;
  calm.state.text = u"calm";
  Win32WindowSystem windows(kBoundMs);
  CHECK_EQ(windows.ReadWindowText(stuck.handle()), std::u16string(u"one"));
  // Between sends: the next read hangs, and its late answer would be "two".
  stuck.state.text = u"two";
  stuck.state.text_after_length = u"three";
  stuck.state.hang_ms = kHangMs;

  DWORD start = GetTickCount();
  CHECK_EQ(windows.ReadWindowText(stuck.handle()), std::u16string(u"one"));
  CHECK(GetTickCount() - start < 2 * kBoundMs);
  // While it is stuck: no new wait, and nothing queued to arrive late.
  start = GetTickCount();
  CHECK_EQ(windows.ReadWindowText(stuck.handle()), std::u16string(u"one"));
  windows.WriteWindowText(stuck.handle(), u"lost");
  windows.PressButton(stuck.handle());
  CHECK(GetTickCount() - start < 2 * kBoundMs);  // waiting the bound each time takes 3x
  CHECK_EQ(windows.ReadWindowText(calm.handle()), std::u16string(u"calm"));
  CHECK(!stuck.state.woke);

  // Once it answers again, the late answer is handed to nobody.
  std::u16string text;
  CHECK(WaitUntil([&] {
    text = windows.ReadWindowText(stuck.handle());
    return stuck.state.woke && text != u"one";
  }));
  CHECK_EQ(text, std::u16string(u"three"));
  CHECK(stuck.state.events.empty());
}

WIN_TEST(APeerThatSendsBackWhileAnsweringIsAnsweredAtOnce) {
  test::WindowState<char16_t> own_state;
  HWND own = test::MakeWindow(&own_state);
  Peer peer;
  peer.state.text = u"song";
  peer.state.send_back = own;
  Win32WindowSystem windows(kBoundMs);
  const DWORD start = GetTickCount();
  CHECK_EQ(windows.ReadWindowText(peer.handle()), std::u16string(u"song"));
  CHECK(GetTickCount() - start < kBoundMs);
  DestroyWindow(own);
}

// A window of its own class, registered on first use, that only DefWindowProc answers.
HWND MakeClassWindow(const wchar_t* class_name, HWND parent) {
  WNDCLASSW window_class{0,       DefWindowProcW, 0,       0,       GetModuleHandleW(nullptr),
                         nullptr, nullptr,        nullptr, nullptr, class_name};
  RegisterClassW(&window_class);
  return CreateWindowExW(0, class_name, L"", parent ? WS_CHILD : WS_POPUP, 0, 0, 9, 9, parent,
                         nullptr, nullptr, nullptr);
}

// Rooms that open with six controls and close at once, on a thread of their own as in another
// program; the one opened last in g_open_room.
std::atomic<HWND> g_open_room = nullptr;
DWORD WINAPI OpenAndCloseRooms(void*) {
  for (int round = 0; round < 200; ++round) {
    const HWND room = MakeClassWindow(L"ZingelTestRoom", nullptr);
    for (int i = 0; i < 6; ++i) MakeClassWindow(L"ZingelTestBox", room);
    g_open_room = room;
    DestroyWindow(room);
  }
  return 0;
}

// A room's controls by class, in Z order, the parent's own only; and a room that closes while it
// is searched freezes nothing.
WIN_TEST(ChildrenAreFoundInZOrderAndARoomClosingWhileSearchedFreezesNothing) {
  Win32WindowSystem windows(kBoundMs);
  const auto walk = [&](HWND parent, const std::u16string& class_name) {
    std::vector<HWND> found;  // every child of the class, as the chat room sender walks them
    for (WindowHandle child = 0; (child = windows.FindChildWindow(
                                      reinterpret_cast<WindowHandle>(parent), child, class_name));)
      found.push_back(reinterpret_cast<HWND>(child));
    return found;
  };
  const HWND room = MakeClassWindow(L"ZingelTestRoom", nullptr);
  const HWND first = MakeClassWindow(L"ZingelTestBox", room);
  MakeClassWindow(L"ZingelTestButton", room);
  const HWND last = MakeClassWindow(L"zingeltestbox", room);
  // Grandchildren, where a walk from one would go on to the other.
  MakeClassWindow(L"ZingelTestBox", first);
  const HWND grandchild = MakeClassWindow(L"ZingelTestBox", first);
  for (const HWND top : {last, grandchild})
    SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // Raised to the top, the last box comes first; the button and the grandchildren not at all.
  CHECK(walk(room, u"ZINGELTESTBOX") == (std::vector<HWND>{last, first}));
  CHECK(windows.FindChildWindow(reinterpret_cast<WindowHandle>(room),
                                reinterpret_cast<WindowHandle>(grandchild), u"ZingelTestBox") == 0);
  CHECK(walk(nullptr, u"ZingelTestRoom") == std::vector<HWND>{room});
  DestroyWindow(room);

  // Under Wine a search that started from a closing room's control could loop in the Wine server
  // for good: then this test, and every program of its session, would hang.
  const HANDLE rooms = CreateThread(nullptr, 0, OpenAndCloseRooms, nullptr, 0, nullptr);
  std::size_t found = 0;
  while (rooms && WaitForSingleObject(rooms, 0) == WAIT_TIMEOUT)
    found += walk(g_open_room, u"ZingelTestBox").size();
  CHECK(rooms && CloseHandle(rooms) && found > 0);
}

std::size_t ThreadsOfThisProcess() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  std::size_t count = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

// Healthy peers cost the window system no thread; a stalled one a watcher, which ends once the
// peer answers again, and which the window system does not wait for when it goes.
WIN_TEST(WatchersLiveOnlyWhilePeersStall) {
  auto windows = std::make_unique<Win32WindowSystem>(kBoundMs);
  const std::size_t before = ThreadsOfThisProcess();
  CHECK(before > 0);
  Peer room;  // a thread of its own
  room.state.text = u"room";
  for (int round = 0; round < 12; ++round)
    CHECK_EQ(windows->ReadWindowText(room.handle()), std::u16string(u"room"));
  CHECK(ThreadsOfThisProcess() <= before + 1);
  for (int stall = 0; stall < 3; ++stall) {
    room.state.woke = false;
    room.state.hang_ms = 2 * kBoundMs;
    windows->ReadWindowText(room.handle());
    CHECK(WaitUntil([&] { return room.state.woke && ThreadsOfThisProcess() <= before + 1; }));
    CHECK(WaitUntil([&] { return windows->ReadWindowText(room.handle()) == u"room"; }));
  }
  // Gone while the peer stalls: the late read lands afterwards in nothing let go, and its
  // watcher ends all the same.
  room.state.woke = false;
  room.state.hang_ms = kHangMs;
  windows->ReadWindowText(room.handle());
  windows.reset();
  CHECK(!room.state.woke);
  CHECK(WaitUntil([&] { return room.state.woke && ThreadsOfThisProcess() <= before + 1; }));
}

WIN_TEST(QpcClockCountsSeconds) {
  QpcClock clock;
  const double first = clock.Seconds();
  const DWORD start_ticks = GetTickCount();
  WaitUntil([&] { return GetTickCount() - start_ticks >= 500; });
  const double ticks = static_cast<double>(GetTickCount() - start_ticks) / 1000.0;
  CHECK(std::fabs(clock.Seconds() - first - ticks) < 0.1);
}

}  // namespace
}  // namespace zingel

WIN_TEST_MAIN()
