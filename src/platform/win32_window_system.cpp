#include "platform/win32_window_system.h"

#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zingel {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t),
              "UTF-16 text is passed to the W functions as is");

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
// A kernel handle; null means none (every function that makes one here returns null on failure).
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

class Lock {
 public:
  explicit Lock(CRITICAL_SECTION& section) : section_(section) { EnterCriticalSection(&section_); }
  ~Lock() { LeaveCriticalSection(&section_); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

 private:
  CRITICAL_SECTION& section_;
};

HWND ToHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}

std::string ToAnsi(const std::u16string& text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  // No best fit: a character the code page lacks becomes the default character, not a look-alike.
  const DWORD flags = WC_NO_BEST_FIT_CHARS;
  const int size = WideCharToMultiByte(CP_ACP, flags, wide, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string ansi(static_cast<std::size_t>(size), '\0');
  if (WideCharToMultiByte(CP_ACP, flags, wide, length, ansi.data(), size, nullptr, nullptr) != size)
    return {};
  return ansi;
}

// With an explicit length, NUL bytes become NUL characters instead of ending the text.
std::u16string FromAnsi(const std::string& ansi) {
  if (ansi.empty()) return {};
  const int length = static_cast<int>(ansi.size());
  const int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
  if (size <= 0) return {};
  std::u16string text(static_cast<std::size_t>(size), u'\0');
  auto* wide = reinterpret_cast<wchar_t*>(text.data());
  if (MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide, size) != size) return {};
  return text;
}

enum class Op { kRead, kWrite, kPress };
constexpr LONG kPending = 0;
constexpr LONG kDone = 1;
constexpr LONG kAbandoned = 2;

// One message operation with everything its sends touch. Handed to a worker it lives on the heap,
// shared by caller and worker, and the last one to let go frees it: a reply that comes after the
// caller gave up writes into nothing the caller still uses.
struct Request {
  Op op;
  HWND window;
  std::string text;  // the text to write, or the text read
  LONG state = kPending;
  LONG refs = 2;
};

template <typename Shared>
void Release(Shared* shared) {
  if (InterlockedDecrement(&shared->refs) == 0) delete shared;
}

void Run(Request& request) {
  const HWND window = request.window;
  switch (request.op) {
    case Op::kRead: {
      const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
      const std::size_t n = length > 0 ? static_cast<std::size_t>(length) : 0;
      try {
        // Zeroed, so text that shrank between the two messages leaves NULs after its end.
        std::string buffer(n + 1, '\0');
        SendMessageA(window, WM_GETTEXT, n + 1, reinterpret_cast<LPARAM>(buffer.data()));
        buffer.resize(n);
        request.text = std::move(buffer);
      } catch (const std::exception&) {
        request.text.clear();  // a length no buffer can hold: read nothing
      }
      break;
    }
    case Op::kWrite:
      SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(request.text.c_str()));
      break;
    case Op::kPress:
      SendMessageA(window, WM_LBUTTONDOWN, 0, 0);
      SendMessageA(window, WM_LBUTTONUP, 0, 0);
      break;
  }
}

// The worker thread that carries the messages to one target thread. Shared by the table and the
// worker: a worker stuck in a send when the table lets go frees it when the send returns.
struct Peer {
  // The target thread, to notice when it has ended; null if it could not be opened.
  UniqueHandle target;
  UniqueHandle wake;  // auto-reset: a request, or quit, is waiting
  UniqueHandle done;  // auto-reset: the request finished before the caller gave up
  DWORD thread_id = 0;
  void* request = nullptr;  // the Request handed over by setting `wake`
  LONG busy = 0;            // a request is out, or was given up and its send has not returned yet
  LONG quit = 0;
  LONG refs = 2;
};

// Runs a request handed over and lets go of it. True when its caller is still waiting, to be told
// through `done`; false when it gave up, and the reply is discarded.
bool Serve(Peer& peer, Request* request) {
  // A request given up before its turn came is not sent late.
  if (InterlockedCompareExchange(&request->state, kPending, kPending) == kPending) Run(*request);
  const bool waiting = InterlockedCompareExchange(&request->state, kDone, kPending) == kPending;
  if (!waiting) InterlockedExchange(&peer.busy, 0);  // the peer is usable again
  Release(request);                                  // a waiting caller still holds it
  return waiting;
}

DWORD WINAPI WorkerMain(void* parameter) {
  auto* peer = static_cast<Peer*>(parameter);
  DWORD woken = WaitForSingleObject(peer->wake.get(), INFINITE);
  while (woken == WAIT_OBJECT_0) {
    auto* request = static_cast<Request*>(InterlockedExchangePointer(&peer->request, nullptr));
    const bool answer = request != nullptr && Serve(*peer, request);
    if (InterlockedCompareExchange(&peer->quit, 0, 0) != 0) {
      if (answer) SetEvent(peer->done.get());
      break;
    }
    // Answering and going back to sleep in one call saves a trip through the scheduler on every
    // message.
    woken = answer ? SignalObjectAndWait(peer->done.get(), peer->wake.get(), INFINITE, FALSE)
                   : WaitForSingleObject(peer->wake.get(), INFINITE);
  }
  Release(peer);
  return 0;
}

// Lets go of a peer no caller is using: an idle worker ends at once, a stuck one when its send
// returns. Nothing waits for it.
void Stop(Peer* peer) {
  InterlockedExchange(&peer->quit, 1);
  SetEvent(peer->wake.get());
  Release(peer);
}

}  // namespace

class Win32WindowSystem::Peers {
 public:
  explicit Peers(unsigned timeout_ms) : timeout_ms_(timeout_ms) {
    InitializeCriticalSection(&lock_);
  }
  ~Peers() {
    for (Peer* peer : peers_) Stop(peer);
    DeleteCriticalSection(&lock_);
  }
  Peers(const Peers&) = delete;
  Peers& operator=(const Peers&) = delete;

  // Runs one message operation on `text` (in: text to write; out: text read). A target that does
  // not answer within the bound leaves `text` empty.
  void Perform(Op op, HWND window, std::string& text) {
    const DWORD thread_id = GetWindowThreadProcessId(window, nullptr);
    if (thread_id == 0) {  // window 0, or one that is gone: nothing to send to
      text.clear();
      return;
    }
    if (thread_id == GetCurrentThreadId()) {
      // Our own window: a worker would wait for this very thread, which is not pumping.
      Request request{op, window, std::move(text)};
      Run(request);
      text = std::move(request.text);
      return;
    }
    std::unique_ptr<Request> owned(new Request{op, window, std::move(text)});
    text.clear();
    Peer* peer = Claim(thread_id);
    if (peer == nullptr) return;
    Request* request = owned.release();  // shared with the worker from here on
    InterlockedExchangePointer(&peer->request, request);
    // Hand over and wait in one call. Not a pumping wait: no timer tick or click of ours may run
    // while a send is out.
    const DWORD waited =
        SignalObjectAndWait(peer->wake.get(), peer->done.get(), timeout_ms_, FALSE);
    if (waited != WAIT_OBJECT_0) {
      if (waited == WAIT_FAILED &&
          InterlockedCompareExchangePointer(&peer->request, nullptr, request) == request) {
        // The worker never took it, so nobody else holds it.
        delete request;
        InterlockedExchange(&peer->busy, 0);
        return;
      }
      if (InterlockedCompareExchange(&request->state, kAbandoned, kPending) == kPending) {
        Release(request);  // the worker discards the reply and clears `busy`
        return;
      }
      // It finished at the deadline and sets `done` next: take that signal, or the next call
      // to this peer would take it for its own.
      WaitForSingleObject(peer->done.get(), INFINITE);
    }
    text = std::move(request->text);
    Release(request);
    InterlockedExchange(&peer->busy, 0);
  }

 private:
  // The peer's worker, marked busy for the caller; null while it is still stuck in a send that was
  // given up (so the call gives up at once), or if no worker can be made.
  Peer* Claim(DWORD thread_id) {
    Lock lock(lock_);
    Peer* peer = nullptr;
    for (Peer* known : peers_) {
      if (known->thread_id == thread_id) peer = known;
    }
    if (peer == nullptr) peer = Start(thread_id);
    if (peer == nullptr || InterlockedCompareExchange(&peer->busy, 1, 0) != 0) return nullptr;
    return peer;
  }

  Peer* Start(DWORD thread_id) {
    RetireEnded();
    auto peer = std::make_unique<Peer>();
    peer->thread_id = thread_id;
    peer->target.reset(OpenThread(SYNCHRONIZE, FALSE, thread_id));
    peer->wake.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    peer->done.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!peer->wake || !peer->done) return nullptr;
    peers_.reserve(peers_.size() + 1);  // so that nothing can fail once the worker runs
    const UniqueHandle worker(CreateThread(nullptr, 0, WorkerMain, peer.get(), 0, nullptr));
    if (!worker) return nullptr;
    peers_.push_back(peer.release());
    return peers_.back();
  }

  // Workers of target threads that have ended: without this, a chat room closed and opened again
  // many times would leave a thread behind each time. Busy ones are retired at a later start.
  void RetireEnded() {
    std::erase_if(peers_, [](Peer* peer) {
      const bool ended =
          !peer->target || WaitForSingleObject(peer->target.get(), 0) == WAIT_OBJECT_0;
      if (!ended || InterlockedCompareExchange(&peer->busy, 1, 0) != 0) return false;
      Stop(peer);
      return true;
    });
  }

  const unsigned timeout_ms_;
  CRITICAL_SECTION lock_;
  std::vector<Peer*> peers_;
};

Win32WindowSystem::Win32WindowSystem(unsigned timeout_ms)
    : peers_(std::make_unique<Peers>(timeout_ms)) {}

Win32WindowSystem::~Win32WindowSystem() = default;

WindowHandle Win32WindowSystem::FindTopWindow(const std::u16string& class_name) {
  return reinterpret_cast<WindowHandle>(FindWindowA(ToAnsi(class_name).c_str(), nullptr));
}

WindowHandle Win32WindowSystem::FindChildWindow(WindowHandle parent, WindowHandle after,
                                                const std::u16string& class_name) {
  return reinterpret_cast<WindowHandle>(
      FindWindowExA(ToHwnd(parent), ToHwnd(after), ToAnsi(class_name).c_str(), nullptr));
}

std::u16string Win32WindowSystem::ReadWindowText(WindowHandle window) {
  std::string text;
  peers_->Perform(Op::kRead, ToHwnd(window), text);
  return FromAnsi(text);
}

void Win32WindowSystem::WriteWindowText(WindowHandle window, const std::u16string& text) {
  std::string ansi = ToAnsi(text);
  peers_->Perform(Op::kWrite, ToHwnd(window), ansi);
}

void Win32WindowSystem::PressButton(WindowHandle window) {
  std::string none;
  peers_->Perform(Op::kPress, ToHwnd(window), none);
}

}  // namespace zingel
