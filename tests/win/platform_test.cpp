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

#include "chat/chat_room.h"
#include "platform/ansi_text.h"
#include "platform/qpc_clock.h"
#include "platform/win32_window_system.h"
#include "test_harness.h"

namespace zingel {
namespace {

using test::WaitUntil;

constexpr unsigned kBoundMs = 300;
constexpr DWORD kHangMs = 2000;

const char* const kParentClass = "ZingelTestParent";
const char* const kItemClass = "ZingelTestItem";
const char* const kOtherClass = "ZingelTestOther";

// What a test window answers and what it received. Touched by the window's thread during a send
// and by the test thread between sends, so the sends order the accesses.
struct WindowState {
  std::string text;                 // measured by WM_GETTEXTLENGTH, copied by WM_GETTEXT
  std::string text_after_length;    // when set, the text from the first WM_GETTEXTLENGTH on
  LRESULT reported_length = -1;     // when set, WM_GETTEXTLENGTH's answer instead
  DWORD hang_ms = 0;                // the next WM_GETTEXTLENGTH sleeps this long first
  DWORD hang_on_write_ms = 0;       // the next WM_SETTEXT sleeps this long first
  HWND send_back = nullptr;         // WM_GETTEXTLENGTH first sends this window a message
  std::vector<std::string> events;  // "set BYTES", "down W L", "up W L", in order
  LONG woke = 0;                    // set when a hang ends
  LONG posts = 0;                   // button releases, counted after they are recorded

  void Hang(DWORD& ms) {
    if (ms == 0) return;
    Sleep(std::exchange(ms, 0));
    InterlockedExchange(&woke, 1);
  }
};

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* state = reinterpret_cast<WindowState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (state == nullptr) return DefWindowProcA(window, message, wparam, lparam);
  switch (message) {
    case WM_GETTEXTLENGTH: {
      state->Hang(state->hang_ms);
      if (state->send_back != nullptr) SendMessageA(state->send_back, WM_GETTEXTLENGTH, 0, 0);
      if (state->reported_length >= 0) return state->reported_length;
      const std::size_t length = state->text.size();
      if (!state->text_after_length.empty()) state->text = state->text_after_length;
      return static_cast<LRESULT>(length);
    }
    case WM_GETTEXT: {
      if (wparam == 0) return 0;
      const std::size_t count = std::min<std::size_t>(wparam - 1, state->text.size());
      auto* buffer = reinterpret_cast<char*>(lparam);
      std::memcpy(buffer, state->text.data(), count);
      buffer[count] = '\0';
      return static_cast<LRESULT>(count);
    }
    case WM_SETTEXT:
      state->Hang(state->hang_on_write_ms);
      state->events.push_back("set " + std::string(reinterpret_cast<const char*>(lparam)));
      state->text = reinterpret_cast<const char*>(lparam);
      return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      state->events.push_back((message == WM_LBUTTONDOWN ? "down " : "up ") +
                              std::to_string(wparam) + " " + std::to_string(lparam));
      // A send button: the client posts its input box and empties it.
      if (message == WM_LBUTTONUP) {
        state->text.clear();
        InterlockedIncrement(&state->posts);
      }
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
  RegisterClasses();
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

// One window on a peer thread of its own.
struct Peer {
  WindowState state;
  HWND window = nullptr;
  PeerThread thread{[this] { window = MakeWindow(kItemClass, nullptr, &state); }};
  WindowHandle handle() const { return Handle(window); }
  bool Woke() { return InterlockedCompareExchange(&state.woke, 0, 0) != 0; }
  LONG Posts() { return InterlockedCompareExchange(&state.posts, 0, 0); }
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

WIN_TEST(ReadWindowTextGivesWholeTextsUpTo65535) {
  const std::string longest(65535, 'x');
  struct Case {
    std::string text;
    std::string text_after_length;
    LRESULT reported_length;
    std::u16string expected;
  };
  const Case cases[] = {
      {"Artist - Title", "", -1, u"Artist - Title"},
      {"Caf\xE9 \xA4 \x80", "", -1, u"Caf\u00E9 \u00A4 \u20AC"},
      {"", "", -1, u""},
      // Changed between the two messages: the text as it was copied, when the read's room
      // holds it; when it fills the room it may be cut, and a window never read gives "".
      {"Hello world", "Hi", -1, u"Hi"},
      {"Hi", "Hello world", -1, u"Hello world"},
      {"Hi", std::string(1000, 'y'), -1, u""},
      {longest, "", -1, std::u16string(65535, u'x')},
      // A length no caption has: read as far as any caption goes.
      {longest + "yz", "", 200000000, std::u16string(65535, u'x')},
  };
  std::vector<WindowState> states(std::size(cases));
  std::vector<HWND> created(std::size(cases));
  PeerThread peer([&] {
    for (std::size_t i = 0; i < states.size(); ++i) {
      states[i].text = cases[i].text;
      states[i].text_after_length = cases[i].text_after_length;
      states[i].reported_length = cases[i].reported_length;
      created[i] = MakeWindow(kItemClass, nullptr, &states[i]);
    }
  });
  Win32WindowSystem windows(kBoundMs);
  for (std::size_t i = 0; i < states.size(); ++i) {
    const std::u16string text = windows.ReadWindowText(Handle(created[i]));
    CHECK_EQ(text.size(), cases[i].expected.size());
    CHECK(text == cases[i].expected);
  }
  // A read that may be cut leaves the last whole answer standing.
  states[0].text_after_length = std::string(200, 'y');
  CHECK(windows.ReadWindowText(Handle(created[0])) == cases[0].expected);
  CHECK(windows.ReadWindowText(Handle(created[0])) == std::u16string(200, u'y'));
  CHECK_EQ(windows.ReadWindowText(0), std::u16string());
}

WIN_TEST(TextCrossesInTheCodePageWithFlagsItAcceptsAndPressesClick) {
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
  Peer box;
  Win32WindowSystem windows(kBoundMs);
  std::vector<std::string> expected;
  for (const Case& c : cases) {
    windows.WriteWindowText(box.handle(), c.text);
    expected.push_back("set " + c.expected);
  }
  // A press is a click at the button's origin, no keys held.
  windows.PressButton(box.handle());
  expected.insert(expected.end(), {"down 0 0", "up 0 0"});
  CHECK(box.state.events == expected);

  // A desktop set to UTF-8, GB18030 or ISO 2022 refuses "no best fit" and would convert every
  // text to nothing.
  struct FlagCase {
    unsigned code_page;
    unsigned long flags;
  };
  constexpr FlagCase kFlags[] = {{65001, 0}, {54936, 0}, {50220, 0}, {1252, WC_NO_BEST_FIT_CHARS}};
  for (const FlagCase& c : kFlags) CHECK_EQ(ConversionFlags(c.code_page), c.flags);
  // Wine has no ISO 2022 at all, but refuses the flag for UTF-7 as Windows does.
  CHECK_EQ(ToCodePage(u"Winamp v1.x", 65000), std::string("Winamp v1.x"));
}

// A room whose input box and send button are one window, so that one record keeps their order.
WIN_TEST(WriteAndPressIsOneOperationAllOrNothing) {
  const std::vector<std::string> sent = {"set line", "down 0 0", "up 0 0"};
  Win32WindowSystem windows(kBoundMs);
  // What the user is typing stays, and nothing is sent; so does a text that outgrew the read.
  for (const std::string typed : {"", "typing"}) {
    Peer room;
    room.state.text = typed;
    if (typed.empty()) room.state.text_after_length = std::string(1000, 'y');
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
    const LONG posts = hang_on_write ? 2 : 1;
    CHECK(WaitUntil([&] {
      windows.WriteAndPress(room.handle(), u"next", room.handle(), &IsEmptyInput);
      return room.Posts() == posts;
    }));
    std::vector<std::string> expected = hang_on_write ? sent : std::vector<std::string>{};
    expected.insert(expected.end(), {"set next", "down 0 0", "up 0 0"});
    CHECK(room.state.events == expected);
  }
}

WIN_TEST(HungPeerCostsTheBoundOnceKeepsItsLastAnswerAndSparesOthers) {
  Peer stuck;
  stuck.state.text = "one";
  Peer calm;
  calm.state.text = "calm";
  Win32WindowSystem windows(kBoundMs);
  CHECK_EQ(windows.ReadWindowText(stuck.handle()), std::u16string(u"one"));
  // Between sends: the next read hangs, and its late answer would be "two".
  stuck.state.text = "two";
  stuck.state.text_after_length = "three";
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
  CHECK(!stuck.Woke());

  // Once it answers again, the late answer is handed to nobody.
  std::u16string text;
  CHECK(WaitUntil([&] {
    text = windows.ReadWindowText(stuck.handle());
    return stuck.Woke() && text != u"one";
  }));
  CHECK_EQ(text, std::u16string(u"three"));
  CHECK(stuck.state.events.empty());
}

WIN_TEST(APeerThatSendsBackWhileAnsweringIsAnsweredAtOnce) {
  WindowState own_state;
  HWND own = MakeWindow(kItemClass, nullptr, &own_state);
  Peer peer;
  peer.state.text = "song";
  peer.state.send_back = own;
  Win32WindowSystem windows(kBoundMs);
  const DWORD start = GetTickCount();
  CHECK_EQ(windows.ReadWindowText(peer.handle()), std::u16string(u"song"));
  CHECK(GetTickCount() - start < kBoundMs);
  DestroyWindow(own);
}

WIN_TEST(DestructorDoesNotWaitForStuckWorker) {
  Peer stuck;
  stuck.state.hang_ms = kHangMs;
  {
    Win32WindowSystem windows(kBoundMs);
    windows.ReadWindowText(stuck.handle());
  }
  CHECK(!stuck.Woke());
  // The orphaned worker finishes its send afterwards without harm.
  CHECK(WaitUntil([&] { return stuck.Woke(); }));
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
    Peer room;
    room.state.text = "room";
    CHECK_EQ(windows.ReadWindowText(room.handle()), std::u16string(u"room"));
  }
  // The last round's worker may remain (nothing has started since), the others end.
  CHECK(WaitUntil([&] { return ThreadsOfThisProcess() <= before + 1; }));
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
