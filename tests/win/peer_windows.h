#pragma once
// Windows on other threads of the test program, each thread a peer of its own, that record what
// reaches them: ANSI windows (char) and Unicode windows (char16_t).

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/window_system.h"
#include "test_harness.h"

namespace zingel::test {

// What a test window answers and what it received, in its own kind of text. Touched by the
// window's thread during a send and by the test thread between sends, so the sends order the
// accesses.
template <typename Char>
struct WindowState {
  using Text = std::basic_string<Char>;
  Text text;                        // measured by WM_GETTEXTLENGTH, copied by WM_GETTEXT
  Text text_after_length;           // when set, the text from the first WM_GETTEXTLENGTH on
  LRESULT reported_length = -1;     // when set, WM_GETTEXTLENGTH's answer instead
  DWORD hang_ms = 0;                // the next WM_GETTEXTLENGTH sleeps this long first
  DWORD hang_on_write_ms = 0;       // the next WM_SETTEXT sleeps this long first
  HWND send_back = nullptr;         // WM_GETTEXTLENGTH first sends this window a message
  std::vector<std::string> events;  // "set TEXT" (its low bytes), "down W L", "up W L", in order
  std::atomic<bool> woke = false;   // set when a hang ends
  std::atomic<long> posts = 0;      // button releases, counted after they are recorded

  void Hang(DWORD& ms) {
    if (ms == 0) return;
    Sleep(std::exchange(ms, 0));
    woke = true;
  }
};

template <typename Char>
LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  constexpr bool kUnicode = sizeof(Char) == 2;
  const auto default_proc = kUnicode ? DefWindowProcW : DefWindowProcA;
  if (message == WM_NCCREATE) {
    // lpCreateParams is the first member of both forms of CREATESTRUCT.
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* state = reinterpret_cast<WindowState<Char>*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (state == nullptr) return default_proc(window, message, wparam, lparam);
  switch (message) {
    case WM_GETTEXTLENGTH: {
      state->Hang(state->hang_ms);
      if (state->send_back != nullptr) SendMessageW(state->send_back, WM_GETTEXTLENGTH, 0, 0);
      if (state->reported_length >= 0) return state->reported_length;
      const std::size_t length = state->text.size();
      if (!state->text_after_length.empty()) state->text = state->text_after_length;
      return static_cast<LRESULT>(length);
    }
    case WM_GETTEXT: {
      const std::size_t count = std::min<std::size_t>(wparam - 1, state->text.size());
      auto* buffer = reinterpret_cast<Char*>(lparam);
      std::memcpy(buffer, state->text.data(), count * sizeof(Char));
      buffer[count] = Char{};
      return static_cast<LRESULT>(count);
    }
    case WM_SETTEXT: {
      state->Hang(state->hang_on_write_ms);
      const auto* text = reinterpret_cast<const Char*>(lparam);
      state->events.push_back("set ");
      for (const Char* c = text; *c != 0; ++c) state->events.back() += static_cast<char>(*c);
      state->text = text;
      return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      state->events.push_back((message == WM_LBUTTONDOWN ? "down " : "up ") +
                              std::to_string(wparam) + " " + std::to_string(lparam));
      // A send button: the client posts its input box and empties it.
      if (message == WM_LBUTTONUP) {
        state->text.clear();
        ++state->posts;
      }
      return 0;
    default:
      return default_proc(window, message, wparam, lparam);
  }
}

// A window of the calling thread, of the kind its text is: ANSI (char) or Unicode (char16_t).
template <typename Char>
HWND MakeWindow(WindowState<Char>* state) {
  static const bool registered = [] {
    std::conditional_t<sizeof(Char) == 2, WNDCLASSW, WNDCLASSA> window_class{};
    window_class.lpfnWndProc = TestWindowProc<Char>;
    window_class.hInstance = GetModuleHandleW(nullptr);
    if constexpr (sizeof(Char) == 2) {
      window_class.lpszClassName = L"ZingelTestUnicode";
      return RegisterClassW(&window_class) != 0;
    } else {
      window_class.lpszClassName = "ZingelTestAnsi";
      return RegisterClassA(&window_class) != 0;
    }
  }();
  CHECK(registered);
  return CreateWindowExA(0, sizeof(Char) == 2 ? "ZingelTestUnicode" : "ZingelTestAnsi", "",
                         WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr),
                         state);
}

// One window on a thread of this process of its own, a peer apart from the test's thread, with its
// own message loop: an ANSI window (char) or a Unicode one (char16_t). It goes with its thread.
template <typename Char>
class PeerWindow {
 public:
  WindowState<Char> state;

  PeerWindow() : ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    thread_ = CreateThread(nullptr, 0, &PeerWindow::Main, this, 0, &thread_id_);
    CHECK(thread_ != nullptr && WaitForSingleObject(ready_, 20000) == WAIT_OBJECT_0);
  }
  ~PeerWindow() {
    PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
    CHECK(WaitForSingleObject(thread_, 20000) == WAIT_OBJECT_0);
    CloseHandle(thread_);
    CloseHandle(ready_);
  }
  PeerWindow(const PeerWindow&) = delete;
  PeerWindow& operator=(const PeerWindow&) = delete;

  WindowHandle handle() const { return reinterpret_cast<WindowHandle>(window_); }

 private:
  static DWORD WINAPI Main(void* parameter) {
    auto* self = static_cast<PeerWindow*>(parameter);
    self->window_ = MakeWindow(&self->state);
    SetEvent(self->ready_);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
  }

  HANDLE ready_;
  HANDLE thread_ = nullptr;
  DWORD thread_id_ = 0;
  HWND window_ = nullptr;
};
using AnsiPeer = PeerWindow<char>;
using UnicodePeer = PeerWindow<char16_t>;

}  // namespace zingel::test
