#pragma once

#include <memory>

#include "platform/window_system.h"

namespace zingel {

// How long one message to another program may take before it is given up.
inline constexpr unsigned kPeerTimeoutMs = 500;

// WindowSystem over the Windows user interface functions. Messages to other
// programs' windows are carried by one worker thread per target thread, so a
// peer that stops answering costs at most `timeout_ms` once, later calls to it
// give up at once until it answers again, and other peers are not disturbed.
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

 private:
  class Peers;
  std::unique_ptr<Peers> peers_;
};

}  // namespace zingel
