// The window messaging primitives against windows on other threads of this process (each such
// thread is a peer of its own) and on the calling thread itself.

#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "platform/qpc_clock.h"
#include "platform/win32_window_system.h"
#include "test_harness.h"

namespace zingel {
namespace {

using test::WaitUntil;

constexpr unsigned kBoundMs = 300;
constexpr DWORD kHangMs = 3000;

const char* const kParentClass = "ZingelTestParent";
const char* const kItemClass = "ZingelTestItem";
const char* const kOtherClass = "ZingelTestOther";

// What a test window answers and what it received. Touched by the window's thread during a send
// and by the test thread after it, so the send itself orders the accesses.
struct WindowState {
  std::string length_text;                     // measured by WM_GETTEXTLENGTH
  std::string copy_text;                       // copied by WM_GETTEXT
  std::string text_after_copy;                 // when set, the text from the first WM_GETTEXT on
  DWORD hang_ms = 0;                           // the next WM_GETTEXTLENGTH sleeps this long first
  std::vector<std::string> set_texts;          // the bytes of each WM_SETTEXT
  std::vector<std::array<UINT_PTR, 3>> mouse;  // message, wParam, lParam of button messages
  LONG length_requests = 0;
  LONG woke = 0;  // set when a hang ends

  void SetText(const std::string& text) { length_text = copy_text = text; }
};

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* state = reinterpret_cast<WindowState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (state == nullptr) return DefWindowProcA(window, message, wparam, lparam);
  switch (message) {
    case WM_GETTEXTLENGTH:
      InterlockedIncrement(&state->length_requests);
      if (state->hang_ms != 0) {
        Sleep(std::exchange(state->hang_ms, 0));
        InterlockedExchange(&state->woke, 1);
      }
      return static_cast<LRESULT>(state->length_text.size());
    case WM_GETTEXT: {
      if (wparam == 0) return 0;
      const std::size_t count = std::min<std::size_t>(wparam - 1, state->copy_text.size());
      auto* buffer = reinterpret_cast<char*>(lparam);
      std::memcpy(buffer, state->copy_text.data(), count);
      buffer[count] = '\0';
      if (!state->text_after_copy.empty()) state->SetText(state->text_after_copy);
      return static_cast<LRESULT>(count);
    }
    case WM_SETTEXT:
      state->set_texts.emplace_back(reinterpret_cast<const char*>(lparam));
      return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      state->mouse.push_back({message, wparam, static_cast<UINT_PTR>(lparam)});
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

void RegisterClasses() {
  static const bool registered = [] {
    for (const char* name : {kParentClass, kItemClass, kOtherClass}) {
      WNDCLASSA window_class{};
      window_class.lpfnWndProc = TestWindowProc;
      window_class.hInstance = GetModuleHandleA(nullptr);
      window_class.lpszClassName = name;
      RegisterClassA(&window_class);
    }
    return true;
  }();
  (void)registered;
}

HWND MakeWindow(const char* class_name, HWND parent, WindowState* state) {
  const DWORD style = parent != nullptr ? WS_CHILD : WS_OVERLAPPED;
  return CreateWindowExA(0, class_name, "", style, 0, 0, 10, 10, parent, nullptr,
                         GetModuleHandleA(nullptr), state);
}

WindowHandle Handle(HWND window) {
  return reinterpret_cast<WindowHandle>(window);
}

// A thread of this process with its own windows and message loop: a peer apart from the test's
// thread. Its windows go when it ends.
class PeerThread {
 public:
  explicit PeerThread(std::function<void()> make_windows) : make_windows_(std::move(make_windows)) {
    RegisterClasses();
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &PeerThread::Main, this, 0, &thread_id_);
    CHECK(thread_ != nullptr);
    CHECK(WaitForSingleObject(ready_, 20000) == WAIT_OBJECT_0);
  }
  ~PeerThread() {
    PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
    CHECK(WaitForSingleObject(thread_, 20000) == WAIT_OBJECT_0);
    CloseHandle(thread_);
    CloseHandle(ready_);
  }
  PeerThread(const PeerThread&) = delete;
  PeerThread& operator=(const PeerThread&) = delete;

 private:
  static DWORD WINAPI Main(void* parameter) {
    auto* self = static_cast<PeerThread*>(parameter);
    self->make_windows_();
    SetEvent(self->ready_);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
  }

  std::function<void()> make_windows_;
  HANDLE ready_ = nullptr;
  HANDLE thread_ = nullptr;
  DWORD thread_id_ = 0;
};

WIN_TEST(FindChildWindowFollowsChildOrder) {
  WindowState state;
  HWND parent = nullptr;
  HWND stranger_parent = nullptr;
  std::array<HWND, 5> child{};  // item, other, item, item; [4]: an item of another parent
  PeerThread peer([&] {
    parent = MakeWindow(kParentClass, nullptr, &state);
    child[0] = MakeWindow(kItemClass, parent, &state);
    child[1] = MakeWindow(kOtherClass, parent, &state);
    child[2] = MakeWindow(kItemClass, parent, &state);
    child[3] = MakeWindow(kItemClass, parent, &state);
    stranger_parent = MakeWindow(kParentClass, nullptr, &state);
    child[4] = MakeWindow(kItemClass, stranger_parent, &state);
  });
  Win32WindowSystem windows(kBoundMs);
  struct Case {
    HWND after;
    const char16_t* class_name;
    HWND expected;
  };
  // In order, as a caller walks them: after the 0 at the end of a walk it starts over. Each walk
  // stays within one class: Wine's FindWindowExA finds nothing after a child of another class.
  const Case cases[] = {
      {nullptr, u"ZingelTestItem", child[0]},  {child[0], u"zingeltestitem", child[2]},
      {child[2], u"ZingelTestItem", child[3]}, {child[3], u"ZingelTestItem", nullptr},
      {nullptr, u"ZingelTestItem", child[0]},  {nullptr, u"ZingelTestOther", child[1]},
      {child[1], u"ZingelTestOther", nullptr}, {child[4], u"ZingelTestItem", nullptr},
      {nullptr, u"ZingelTestNone", nullptr},
  };
  for (const Case& c : cases) {
    CHECK_EQ(windows.FindChildWindow(Handle(parent), Handle(c.after), c.class_name),
             Handle(c.expected));
  }
  CHECK_EQ(windows.FindChildWindow(Handle(stranger_parent), 0, u"ZingelTestItem"),
           Handle(child[4]));
  // Parent 0 searches the top-level windows; classes match whatever their case.
  const auto is_a_parent = [&](WindowHandle found) {
    return found == Handle(parent) || found == Handle(stranger_parent);
  };
  CHECK(is_a_parent(windows.FindChildWindow(0, 0, u"ZINGELTESTPARENT")));
  CHECK(is_a_parent(windows.FindTopWindow(u"zingeltestPARENT")));
  CHECK_EQ(windows.FindTopWindow(u"ZingelTestNoSuchClass"), WindowHandle{0});
}

WIN_TEST(ReadWindowTextTakesTheFirstLength) {
  struct Case {
    std::string length_text;
    std::string copy_text;
    std::u16string expected;
  };
  const Case cases[] = {
      {"Artist - Title", "Artist - Title", u"Artist - Title"},
      {"Caf\xE9 \xA4 \x80", "Caf\xE9 \xA4 \x80", u"Caf\u00E9 \u00A4 \u20AC"},
      {"", "", u""},
      // Shrank between the two messages: the first length, NUL characters after the new end.
      {"Hello world", "Hi", std::u16string(u"Hi\0\0\0\0\0\0\0\0\0", 11)},
      // Grew: cut to the first length.
      {"Hi", "Hello world", u"He"},
  };
  std::vector<WindowState> states(std::size(cases));
  std::vector<HWND> created(std::size(cases));
  PeerThread peer([&] {
    for (std::size_t i = 0; i < states.size(); ++i) {
      states[i].length_text = cases[i].length_text;
      states[i].copy_text = cases[i].copy_text;
      created[i] = MakeWindow(kItemClass, nullptr, &states[i]);
    }
  });
  Win32WindowSystem windows(kBoundMs);
  for (std::size_t i = 0; i < states.size(); ++i) {
    CHECK_EQ(windows.ReadWindowText(Handle(created[i])), cases[i].expected);
  }
}

WIN_TEST(WriteWindowTextSendsCodePageBytes) {
  struct Case {
    std::u16string text;
    std::string expected;
  };
  const Case cases[] = {
      {u"<b>-=></b> Artist - Title", "<b>-=></b> Artist - Title"},
      {u"<b>\u00A4</b> \u20AC", "<b>\xA4</b> \x80"},
      {u"", ""},
      // Not in the code page: the default character, not a look-alike.
      {u"x\u0101\u4E2Dy", "x??y"},
  };
  WindowState state;
  HWND box = nullptr;
  PeerThread peer([&] { box = MakeWindow(kItemClass, nullptr, &state); });
  Win32WindowSystem windows(kBoundMs);
  std::vector<std::string> expected;
  for (const Case& c : cases) {
    windows.WriteWindowText(Handle(box), c.text);
    expected.push_back(c.expected);
  }
  CHECK_EQ(state.set_texts.size(), expected.size());
  for (std::size_t i = 0; i < state.set_texts.size() && i < expected.size(); ++i)
    CHECK_EQ(state.set_texts[i], expected[i]);
}

WIN_TEST(PressButtonSendsDownThenUpAtOrigin) {
  WindowState state;
  HWND button = nullptr;
  PeerThread peer([&] { button = MakeWindow(kItemClass, nullptr, &state); });
  Win32WindowSystem windows(kBoundMs);
  windows.PressButton(Handle(button));
  const std::vector<std::array<UINT_PTR, 3>> expected = {{WM_LBUTTONDOWN, 0, 0},
                                                         {WM_LBUTTONUP, 0, 0}};
  CHECK(state.mouse == expected);
}

WIN_TEST(WindowZeroGivesNeutralResults) {
  Win32WindowSystem windows(kBoundMs);
  CHECK_EQ(windows.ReadWindowText(0), std::u16string());
  windows.WriteWindowText(0, u"nothing");
  windows.PressButton(0);
  CHECK_EQ(windows.FindChildWindow(0, 0, u"ZingelTestNoSuchClass"), WindowHandle{0});
}

WIN_TEST(OwnThreadWindowIsServedDirectly) {
  // Through a worker this would time out: the calling thread does not pump while it waits.
  RegisterClasses();
  WindowState state;
  state.SetText("mine");
  HWND own = MakeWindow(kItemClass, nullptr, &state);
  Win32WindowSystem windows(kBoundMs);
  CHECK_EQ(windows.ReadWindowText(Handle(own)), std::u16string(u"mine"));
  windows.WriteWindowText(Handle(own), u"typed");
  windows.PressButton(Handle(own));
  CHECK_EQ(state.set_texts.size(), std::size_t{1});
  CHECK_EQ(state.mouse.size(), std::size_t{2});
  DestroyWindow(own);
}

WIN_TEST(HungPeerCostsTheBoundOnceAndSparesOthers) {
  WindowState stuck;
  stuck.SetText("before");
  stuck.text_after_copy = "after";
  stuck.hang_ms = kHangMs;
  WindowState calm;
  calm.SetText("calm");
  HWND stuck_window = nullptr;
  HWND calm_window = nullptr;
  PeerThread stuck_peer([&] { stuck_window = MakeWindow(kItemClass, nullptr, &stuck); });
  PeerThread calm_peer([&] { calm_window = MakeWindow(kItemClass, nullptr, &calm); });
  Win32WindowSystem windows(kBoundMs);

  DWORD start = GetTickCount();
  CHECK_EQ(windows.ReadWindowText(Handle(stuck_window)), std::u16string());
  CHECK(GetTickCount() - start < 2500);
  CHECK(InterlockedCompareExchange(&stuck.woke, 0, 0) == 0);

  // While the peer is stuck: no new wait, and nothing queued to arrive late.
  start = GetTickCount();
  CHECK_EQ(windows.ReadWindowText(Handle(stuck_window)), std::u16string());
  windows.WriteWindowText(Handle(stuck_window), u"lost");
  windows.PressButton(Handle(stuck_window));
  CHECK(GetTickCount() - start < 2 * kBoundMs);  // waiting the bound each time takes 3x
  CHECK_EQ(windows.ReadWindowText(Handle(calm_window)), std::u16string(u"calm"));
  CHECK(InterlockedCompareExchange(&stuck.woke, 0, 0) == 0);

  // Once it answers again the late reply ("before") is not handed to anyone.
  CHECK(WaitUntil([&] { return InterlockedCompareExchange(&stuck.woke, 0, 0) != 0; }));
  std::u16string text;
  CHECK(WaitUntil([&] {
    text = windows.ReadWindowText(Handle(stuck_window));
    return !text.empty();
  }));
  CHECK_EQ(text, std::u16string(u"after"));
  CHECK_EQ(stuck.length_requests, LONG{2});
  CHECK(stuck.set_texts.empty());
  CHECK(stuck.mouse.empty());
}

WIN_TEST(DestructorDoesNotWaitForStuckWorker) {
  WindowState stuck;
  stuck.SetText("late");
  stuck.hang_ms = kHangMs;
  HWND stuck_window = nullptr;
  PeerThread peer([&] { stuck_window = MakeWindow(kItemClass, nullptr, &stuck); });
  {
    Win32WindowSystem windows(kBoundMs);
    CHECK_EQ(windows.ReadWindowText(Handle(stuck_window)), std::u16string());
  }
  CHECK(InterlockedCompareExchange(&stuck.woke, 0, 0) == 0);
  // The orphaned worker finishes its send afterwards without harm.
  CHECK(WaitUntil([&] { return InterlockedCompareExchange(&stuck.woke, 0, 0) != 0; }));
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

WIN_TEST(WorkersOfEndedPeersAreRetired) {
  Win32WindowSystem windows(kBoundMs);
  const std::size_t before = ThreadsOfThisProcess();
  CHECK(before > 0);
  for (int round = 0; round < 12; ++round) {
    WindowState state;
    state.SetText("room");
    HWND room = nullptr;
    PeerThread peer([&] { room = MakeWindow(kItemClass, nullptr, &state); });
    CHECK_EQ(windows.ReadWindowText(Handle(room)), std::u16string(u"room"));
  }
  // The last round's worker may remain (nothing has started since), the others end.
  CHECK(WaitUntil([&] { return ThreadsOfThisProcess() <= before + 1; }));
}

WIN_TEST(QpcClockCountsSeconds) {
  QpcClock clock;
  const double first = clock.Seconds();
  const DWORD start_ticks = GetTickCount();
  double previous = first;
  bool monotonic = true;
  WaitUntil([&] {
    const double now = clock.Seconds();
    monotonic = monotonic && now >= previous;
    previous = now;
    return GetTickCount() - start_ticks >= 500;
  });
  const double ticks = static_cast<double>(GetTickCount() - start_ticks) / 1000.0;
  const double elapsed = clock.Seconds() - first;
  CHECK(monotonic);
  CHECK(std::fabs(elapsed - ticks) < 0.1);
}

}  // namespace
}  // namespace zingel

WIN_TEST_MAIN()
