#include "platform/win32_window_system.h"

#include <windows.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ansi_text.h"
#include "platform/utf16.h"

namespace zingel {
namespace {

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

// In UTF-16 units, more than any caption or chat line holds; a window that reports a longer text is
// cut there, so that a silly length cannot make every poll allocate and convert hundreds of
// megabytes.
constexpr std::size_t kMaxTextLength = 65535;
// A read's room beyond twice the length it was told: a scrolling title's next frame (up to twice
// the caption and a separator) or a stream status's next percentage still fits.
constexpr std::size_t kSpareRoom = 64;

enum class Op { kRead, kWrite, kPress, kWriteAndPress };
constexpr LONG kPending = 0;
constexpr LONG kCommitted = 1;  // a write is going out: the operation completes, waited for or not
constexpr LONG kDone = 2;
constexpr LONG kAbandoned = 3;

// One message operation with everything its sends touch. Handed to a worker it lives on the heap,
// shared by caller and worker, and the last one to let go frees it: a reply that comes after the
// caller gave up writes into nothing the caller still uses.
struct Request {
  Op op;
  HWND window;
  std::u16string text = {};  // the text to write
  HWND button = nullptr;
  WindowSystem::TextCheck may_replace = nullptr;
  std::optional<std::u16string> read = {};  // the text read; none when it may be cut
  LONG state = kPending;
  LONG refs = 2;
};

template <typename Shared>
void Release(Shared* shared) {
  if (InterlockedDecrement(&shared->refs) == 0) delete shared;
}

// The text can change between the length and the copy (a scrolling title every 200 ms, a stream's
// status every 100 ms). What WM_GETTEXT copies into the zeroed buffer, up to its NUL, is a whole
// text of the window, unless it fills the room the length did not ask for: then it grew past the
// room and may be cut, and the read gives no text; so does a copy that stops inside a surrogate
// pair. The W messages carry every character; from an ANSI window Windows widens the text exactly.
std::optional<std::u16string> ReadText(HWND window) {
  const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  const std::size_t n = std::min(length > 0 ? static_cast<std::size_t>(length) : 0, kMaxTextLength);
  const std::size_t room = std::min(2 * n + kSpareRoom, kMaxTextLength);
  try {
    std::u16string buffer(room + 1, u'\0');
    SendMessageW(window, WM_GETTEXT, room + 1, reinterpret_cast<LPARAM>(buffer.data()));
    const std::size_t copied = std::min(buffer.find(u'\0'), room);
    if (copied == room && room > n) return std::nullopt;
    buffer.resize(copied);
    if (!buffer.empty() && IS_HIGH_SURROGATE(buffer.back())) return std::nullopt;
    return buffer;
  } catch (const std::exception&) {
    return std::u16string();  // no memory for the buffer: read nothing
  }
}

void WriteText(HWND window, const std::u16string& text) {
  if (IsWindowUnicode(window)) {
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(AsWide(text.c_str())));
    return;
  }
  // Windows would convert for an ANSI window with best-fit look-alikes, a fullwidth "<" as "<",
  // and so turn a title into markup after it was escaped; the code page's default character
  // stands in instead.
  const std::string bytes = ToAnsi(text);
  SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bytes.c_str()));
}

void Press(HWND button) {
  SendMessageW(button, WM_LBUTTONDOWN, 0, 0);
  SendMessageW(button, WM_LBUTTONUP, 0, 0);
}

// Claims the request for its write; false once its caller has given up on it.
bool Commit(Request& request) {
  return InterlockedCompareExchange(&request.state, kCommitted, kPending) == kPending;
}

void Run(Request& request) {
  const HWND window = request.window;
  switch (request.op) {
    case Op::kRead:
      request.read = ReadText(window);
      break;
    case Op::kWrite:
      WriteText(window, request.text);
      break;
    case Op::kPress:
      Press(window);
      break;
    case Op::kWriteAndPress: {
      // A box whose text changed past the read's room is being typed in: it is not replaced.
      const std::optional<std::u16string> current = ReadText(window);
      if (!current || !request.may_replace(*current) || !Commit(request)) break;
      WriteText(window, request.text);
      Press(request.button);
      break;
    }
  }
}

// Marks a request finished; false when its caller gave up waiting for it.
bool Finish(Request& request) {
  for (const LONG from : {kPending, kCommitted}) {
    if (InterlockedCompareExchange(&request.state, kDone, from) == from) return true;
  }
  return false;
}

// Marks a request given up; false when it has finished meanwhile.
bool Abandon(Request& request) {
  for (const LONG from : {kPending, kCommitted}) {
    if (InterlockedCompareExchange(&request.state, kAbandoned, from) == from) return true;
  }
  return false;
}

// Waits for `event` up to `timeout_ms`, handling meanwhile the messages other threads send to this
// one, as SendMessage does while it waits: a peer that sends us a message while it answers ours
// would otherwise wait for us until we give up on it. Posted messages stay queued, so no timer tick
// or click of ours runs in the middle of a send.
DWORD WaitHandlingSentMessages(HANDLE event, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    const DWORD left = elapsed < timeout_ms ? timeout_ms - elapsed : 0;
    const DWORD woken =
        MsgWaitForMultipleObjectsEx(1, &event, left, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
    if (woken != WAIT_OBJECT_0 + 1) return woken;
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
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
  const bool waiting = Finish(*request);
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

  // Runs one message operation, leaving the text read in `*read` if given (none when it may be
  // cut). False when the target did not answer within the bound, or is still stuck in a send
  // given up earlier: then nothing was read, and nothing written unless the operation had
  // committed to its write.
  bool Perform(Request order, std::optional<std::u16string>* read = nullptr) {
    const DWORD thread_id = GetWindowThreadProcessId(order.window, nullptr);
    if (thread_id == 0) {  // window 0, or one that is gone: nothing to send to
      if (read != nullptr) *read = std::u16string();
      return true;
    }
    auto owned = std::make_unique<Request>(std::move(order));
    Peer* peer = Claim(thread_id);
    if (peer == nullptr) return false;
    Request* request = owned.release();  // shared with the worker from here on
    InterlockedExchangePointer(&peer->request, request);
    const DWORD waited = SetEvent(peer->wake.get())
                             ? WaitHandlingSentMessages(peer->done.get(), timeout_ms_)
                             : WAIT_FAILED;
    if (waited != WAIT_OBJECT_0) {
      if (InterlockedCompareExchangePointer(&peer->request, nullptr, request) == request) {
        // The worker never took it, so nobody else holds it.
        delete request;
        InterlockedExchange(&peer->busy, 0);
        return false;
      }
      if (Abandon(*request)) {
        Release(request);  // the worker discards the reply and clears `busy`
        return false;
      }
      // It finished at the deadline and sets `done` next: take that signal, or the next call
      // to this peer would take it for its own.
      WaitForSingleObject(peer->done.get(), INFINITE);
    }
    if (read != nullptr) *read = std::move(request->read);
    Release(request);
    InterlockedExchange(&peer->busy, 0);
    return true;
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
  return reinterpret_cast<WindowHandle>(FindWindowW(AsWide(class_name.c_str()), nullptr));
}

WindowHandle Win32WindowSystem::FindChildWindow(WindowHandle parent, WindowHandle after,
                                                const std::u16string& class_name) {
  return reinterpret_cast<WindowHandle>(
      FindWindowExW(ToHwnd(parent), ToHwnd(after), AsWide(class_name.c_str()), nullptr));
}

std::u16string Win32WindowSystem::ReadWindowText(WindowHandle window) {
  std::optional<std::u16string> read;
  if (!peers_->Perform({Op::kRead, ToHwnd(window)}, &read) || !read) {
    // A window busy for a moment (a player loading a playlist) has not changed its text, and a
    // text that may be cut is none it showed: the last whole answer stands, so a song is not taken
    // for gone, or for another, and then announced again.
    const auto last = last_answers_.find(window);
    return last != last_answers_.end() ? last->second : std::u16string();
  }
  Remember(window, *read);
  return std::move(*read);
}

void Win32WindowSystem::Remember(WindowHandle window, const std::u16string& text) {
  if (window == 0) return;
  const auto known = last_answers_.find(window);
  if (known != last_answers_.end()) {
    known->second = text;
    return;
  }
  // A new window: forget those that are gone, so the table holds only live ones.
  std::erase_if(last_answers_, [](const auto& entry) { return !IsWindow(ToHwnd(entry.first)); });
  last_answers_.emplace(window, text);
}

void Win32WindowSystem::WriteWindowText(WindowHandle window, const std::u16string& text) {
  peers_->Perform({Op::kWrite, ToHwnd(window), text});
}

void Win32WindowSystem::PressButton(WindowHandle window) {
  peers_->Perform({Op::kPress, ToHwnd(window)});
}

void Win32WindowSystem::WriteAndPress(WindowHandle box, const std::u16string& text,
                                      WindowHandle button, TextCheck may_replace) {
  peers_->Perform({Op::kWriteAndPress, ToHwnd(box), text, ToHwnd(button), may_replace});
}

}  // namespace zingel
