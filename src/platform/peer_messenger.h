#pragma once
// Messages to other programs' windows that never wait longer than a bound.
//
// A healthy peer costs what a plain SendMessage costs: the message is sent from the calling thread
// with SendMessageTimeout, which serves the messages other threads send this one while it waits,
// as SendMessage does, and leaves posted ones queued. A peer thread that lets the bound pass is
// stalled: later messages to it are not sent and give up at once, so it costs the bound once, and
// other peers are not held up. A watcher thread, made only then, sends the peer an empty message
// and marks it answered when that returns, once the peer has handled everything sent before.

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

namespace zingel {

struct PeerStall;

class PeerMessenger {
 public:
  explicit PeerMessenger(unsigned timeout_ms);
  ~PeerMessenger();  // waits for no watcher
  PeerMessenger(const PeerMessenger&) = delete;
  PeerMessenger& operator=(const PeerMessenger&) = delete;

  enum class Reply {
    kAnswered,  // in time
    kTimedOut,  // sent, and the peer will handle it late
    kNotSent,   // the peer is stalled
    kGone,      // no such window
  };
  struct Outcome {
    Reply reply;
    LRESULT result;  // 0 unless answered
  };

  // Sends one message. `memory` is what its parameters point at: a message that times out keeps it
  // until the peer has handled the message, so a late reply lands in nothing the caller let go.
  Outcome Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
               std::shared_ptr<const void> memory = nullptr);
  // The same for an ANSI window with text in its code page, which a W message would convert.
  Outcome SendAnsi(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                   std::shared_ptr<const void> memory);

  // Sends one message without waiting for it, even to a stalled peer: the release that must follow
  // a press, the press that must follow a write. Peers handle it after what this thread sent them
  // before. Its parameters must point at nothing.
  static void SendWithoutWaiting(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

 private:
  using SendTimeoutFunction = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM, UINT, UINT, PDWORD_PTR);
  // SendMessageTimeoutW, or A for text in the code page.
  Outcome SendWith(SendTimeoutFunction send, HWND window, UINT message, WPARAM wparam,
                   LPARAM lparam, std::shared_ptr<const void> memory);
  bool Stalled(HWND window);
  void Watch(HWND window, std::shared_ptr<const void> memory);

  const unsigned timeout_ms_;
  // By the peer's thread; empty while every peer answers, which spares the lookup of a window's
  // thread on every message.
  std::map<DWORD, std::shared_ptr<PeerStall>> stalls_;
  // What late messages point at when no watcher could be made to say when they are handled.
  std::vector<std::shared_ptr<const void>> memory_never_freed_;
};

}  // namespace zingel
