#include "platform/peer_messenger.h"

#include <atomic>
#include <utility>

#include "platform/scoped_handles.h"

namespace zingel {

// A peer thread that let the bound pass: shared by the messenger's table and the watcher, so
// whichever lets go last frees what the late message points at.
struct PeerStall {
  PeerStall(HWND late_window, std::shared_ptr<const void> late_memory)
      : window(late_window), memory(std::move(late_memory)) {}
  const HWND window;                         // where the late message went
  const std::shared_ptr<const void> memory;  // what it points at
  std::atomic<bool> answered = false;
};

namespace {

using Watched = std::shared_ptr<PeerStall>;

DWORD WINAPI WatchPeer(void* parameter) {
  const std::unique_ptr<Watched> stall(static_cast<Watched*>(parameter));
  // A thread handles the messages sent to it in order, so this returns once the late one is
  // handled, or once the peer's thread has ended.
  SendMessageW((*stall)->window, WM_NULL, 0, 0);
  (*stall)->answered = true;
  return 0;
}

}  // namespace

PeerMessenger::PeerMessenger(unsigned timeout_ms) : timeout_ms_(timeout_ms) {}

PeerMessenger::~PeerMessenger() = default;

PeerMessenger::Outcome PeerMessenger::Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                           std::shared_ptr<const void> memory) {
  return SendWith(SendMessageTimeoutW, window, message, wparam, lparam, std::move(memory));
}

PeerMessenger::Outcome PeerMessenger::SendAnsi(HWND window, UINT message, WPARAM wparam,
                                               LPARAM lparam, std::shared_ptr<const void> memory) {
  return SendWith(SendMessageTimeoutA, window, message, wparam, lparam, std::move(memory));
}

PeerMessenger::Outcome PeerMessenger::SendWith(SendTimeoutFunction send, HWND window, UINT message,
                                               WPARAM wparam, LPARAM lparam,
                                               std::shared_ptr<const void> memory) {
  if (!stalls_.empty() && Stalled(window)) return {Reply::kNotSent, 0};
  DWORD_PTR result = 0;
  SetLastError(ERROR_SUCCESS);
  if (send(window, message, wparam, lparam, SMTO_NORMAL, timeout_ms_, &result) != 0)
    return {Reply::kAnswered, static_cast<LRESULT>(result)};
  // Only a timeout means a peer that will handle the message late. Anything else is a window that
  // took nothing: one gone, or, on Vista and later, one of a program running at a higher
  // integrity level (elevated), whose messages from us Windows refuses at once with
  // ERROR_ACCESS_DENIED. Such a peer reads as no window: it costs no bound and is not taken for a
  // stalled one. Wine never refuses, so only Windows shows this path.
  if (GetLastError() != ERROR_TIMEOUT) return {Reply::kGone, 0};
  Watch(window, std::move(memory));
  return {Reply::kTimedOut, 0};
}

void PeerMessenger::SendWithoutWaiting(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  SendNotifyMessageW(window, message, wparam, lparam);  // a window gone meanwhile takes nothing
}

bool PeerMessenger::Stalled(HWND window) {
  std::erase_if(stalls_, [](const auto& entry) { return entry.second->answered.load(); });
  return !stalls_.empty() && stalls_.contains(GetWindowThreadProcessId(window, nullptr));
}

void PeerMessenger::Watch(HWND window, std::shared_ptr<const void> memory) {
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (thread == 0) return;  // gone meanwhile, and its thread with it
  auto stall = std::make_shared<PeerStall>(window, std::move(memory));
  auto handed = std::make_unique<Watched>(stall);
  const UniqueHandle watcher(CreateThread(nullptr, 0, WatchPeer, handed.get(), 0, nullptr));
  if (!watcher) {
    // Nothing would say when the peer has handled the late message: its memory stays for good,
    // and the next message to the peer waits the bound again.
    memory_never_freed_.push_back(stall->memory);
    return;
  }
  handed.release();  // the watcher's from its start
  stalls_.insert_or_assign(thread, std::move(stall));
}

}  // namespace zingel
