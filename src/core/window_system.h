#pragma once

#include <cstdint>
#include <string>

namespace zingel {

// Another program's window. Never owned or released; 0 means no window.
using WindowHandle = std::uintptr_t;

// The primitives through which zingel drives other programs' windows: lookups, reads, writes,
// presses, and the chat room's guarded write.
// Text is UTF-16 here; each implementation converts it at its own boundary.
// No operation reports an error: a missing window gives 0, "" or nothing.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // First top-level window whose class matches (case-insensitively), or 0.
  virtual WindowHandle FindTopWindow(const std::u16string& class_name) = 0;

  // Next child of `parent` after `after` (0: from the first child) whose class
  // matches, or 0. An `after` that is not a child of `parent` gives 0; parent 0
  // searches the top-level windows instead.
  virtual WindowHandle FindChildWindow(WindowHandle parent, WindowHandle after,
                                       const std::u16string& class_name) = 0;

  // The window's text; "" for window 0.
  virtual std::u16string ReadWindowText(WindowHandle window) = 0;

  // Replaces the window's text; does nothing for window 0.
  virtual void WriteWindowText(WindowHandle window, const std::u16string& text) = 0;

  // A left button press and release at (0, 0); does nothing for window 0.
  virtual void PressButton(WindowHandle window) = 0;

  // Decides from a box's text whether it may be overwritten; must be safe to
  // call on any thread.
  using TextCheck = bool (*)(const std::u16string& current);

  // Reads `box` and whether `check` accepts what it holds; false when it did
  // not answer in time, or was told nothing but a text still growing.
  virtual bool CheckText(WindowHandle box, TextCheck check) = 0;

  // Reads `box` and, when `may_replace` accepts what it holds, writes `text`
  // into it and presses `button`, in that order, as one operation: all of it
  // or none. An implementation that gives up waiting does so before the
  // write; once the write is sent, the press follows. Gives whether it wrote.
  virtual bool WriteAndPress(WindowHandle box, const std::u16string& text, WindowHandle button,
                             TextCheck may_replace) = 0;
};

}  // namespace zingel
