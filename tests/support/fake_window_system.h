#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/window_system.h"

namespace zingel::test {

// An in-memory WindowSystem that keeps the real one's contract, but for class names, which match
// only as spelt (the real lookup ignores case): children keep their order, `after` must be a child
// of `parent`, parent 0 searches the top-level windows, window 0 reads "" and ignores writes and
// presses, a read gives a whole text (the real one never gives a text cut by a change between its
// two messages). Its send buttons post the input box and empty it, as the chat client's do.
class FakeWindowSystem final : public WindowSystem {
 public:
  enum class Action { kWrite, kPress };
  struct Event {
    Action action;
    WindowHandle window;
    std::u16string text;  // the text written, for kWrite
  };

  WindowHandle AddTopWindow(const std::u16string& class_name, const std::u16string& text = u"");
  WindowHandle AddChild(WindowHandle parent, const std::u16string& class_name);
  // Removes a window and its children.
  void Close(WindowHandle window);
  void SetText(WindowHandle window, const std::u16string& text);

  const std::vector<Event>& Events() const { return events_; }
  bool fail_reads = false;  // reads throw, as an allocation can

  WindowHandle FindTopWindow(const std::u16string& class_name) override;
  WindowHandle FindChildWindow(WindowHandle parent, WindowHandle after,
                               const std::u16string& class_name) override;
  std::u16string ReadWindowText(WindowHandle window) override;
  void WriteWindowText(WindowHandle window, const std::u16string& text) override;
  void PressButton(WindowHandle window) override;
  void WriteAndPress(WindowHandle box, const std::u16string& text, WindowHandle button,
                     TextCheck may_replace) override;

 private:
  struct Window {
    std::u16string class_name;
    std::u16string text;
    WindowHandle parent = 0;
  };
  std::vector<WindowHandle> ChildrenOf(WindowHandle parent) const;
  bool Exists(WindowHandle window) const { return windows_.count(window) != 0; }

  std::map<WindowHandle, Window> windows_;  // handles grow, so map order = creation order
  WindowHandle next_handle_ = 0x100;
  std::vector<Event> events_;
};

}  // namespace zingel::test
