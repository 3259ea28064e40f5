#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/window_system.h"

namespace zingel {

// How long one message to another program may take before it is given up.
inline constexpr unsigned kPeerTimeoutMs = 500;

// WindowSystem over the Windows user interface functions. Text crosses as UTF-16 with the W
// messages, so a Unicode window gets every character; an ANSI window is written in the active
// code page, a character it lacks as the default character. Messages to other
// programs' windows are carried by one worker thread per target thread, so a
// peer that stops answering costs at most `timeout_ms` once, later calls to it
// give up at once until it answers again, and other peers are not disturbed.
// A read gives the window's text as it was copied, with room for it to have
// grown since its length was asked. A read given up, or one whose text outgrew
// that room, gives the window's last whole answer ("" for a window never
// read). While it waits, the calling thread handles the messages other threads
// send it, as SendMessage does, but no posted ones.
class Win32WindowSystem final : public WindowSystem {
 public:
  explicit Win32WindowSystem(unsigned timeout_ms = kPeerTimeoutMs);
  ~Win32WindowSystem() override;
  Win32WindowSystem(const Win32WindowSystem&) = delete;
  Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

  WindowHandle FindTopWindow(const std::u16string& class_name) override;
  WindowHandle FindChildWindow(WindowHandle parent, WindowHandle after,
                               const std::u16string& class_name) override;
  std::u16string ReadWindowText(WindowHandle window) override;
  void WriteWindowText(WindowHandle window, const std::u16string& text) override;
  void PressButton(WindowHandle window) override;
  void WriteAndPress(WindowHandle box, const std::u16string& text, WindowHandle button,
                     TextCheck may_replace) override;

 private:
  class Peers;
  void Remember(WindowHandle window, const std::u16string& text);

  std::unique_ptr<Peers> peers_;
  // The last text each window answered, for the reads it does not answer in time.
  std::map<WindowHandle, std::u16string> last_answers_;
};

}  // namespace zingel
