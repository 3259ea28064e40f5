#pragma once

#include <map>
#include <optional>
#include <string>

#include "core/window_system.h"
#include "platform/peer_messenger.h"

namespace zingel {

// How long one message to another program may take before it is given up.
inline constexpr unsigned kPeerTimeoutMs = 500;

// WindowSystem over the Windows user interface functions. Text crosses as UTF-16 with the W
// messages, so a Unicode window gets every character; an ANSI window is written in the active
// code page, a character it lacks as the default character. Every message waits at most
// `timeout_ms` (see PeerMessenger). A read gives the window's text as it was copied, with room for
// it to have grown since its length was asked. A read given up, or one whose text outgrew that
// room, gives the window's last whole answer ("" for a window never read).
class Win32WindowSystem final : public WindowSystem {
 public:
  explicit Win32WindowSystem(unsigned timeout_ms = kPeerTimeoutMs);

  WindowHandle FindTopWindow(const std::u16string& class_name) override;
  WindowHandle FindChildWindow(WindowHandle parent, WindowHandle after,
                               const std::u16string& class_name) override;
  std::u16string ReadWindowText(WindowHandle window) override;
  void WriteWindowText(WindowHandle window, const std::u16string& text) override;
  void PressButton(WindowHandle window) override;
  bool CheckText(WindowHandle box, TextCheck check) override;
  bool WriteAndPress(WindowHandle box, const std::u16string& text, WindowHandle button,
                     TextCheck may_replace) override;

 private:
  using Reply = PeerMessenger::Reply;
  std::optional<std::u16string> ReadText(HWND window);
  Reply WriteText(HWND window, const std::u16string& text);
  void Press(HWND button, Reply after);
  void Remember(WindowHandle window, const std::u16string& text);

  PeerMessenger messenger_;
  // The last text each window answered, for the reads it does not answer in time.
  std::map<WindowHandle, std::u16string> last_answers_;
};

}  // namespace zingel
