#pragma once

#include <functional>
#include <map>
#include <new>
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
  struct Event {
    WindowHandle window;
    std::u16string text;  // what was written, unless it was a press
    bool press;
  };
  std::vector<Event> events;          // every write and press, in order
  bool fail_reads = false;            // reads throw, as an allocation can
  WindowHandle silent = 0;            // a window that lets every bounded read pass unanswered
  int checks = 0;                     // bounded reads of a box, by CheckText and WriteAndPress
  std::u16string last_read;           // what the last of them gave
  std::function<void()> during_read;  // runs in each ReadWindowText once the text is copied

  WindowHandle AddTopWindow(const std::u16string& class_name, const std::u16string& text = u"") {
    return AddChild(0, class_name, text);
  }
  WindowHandle AddChild(WindowHandle parent, const std::u16string& class_name,
                        const std::u16string& text = u"") {
    windows_[next_handle_] = {class_name, text, parent};
    return next_handle_++;
  }
  void Close(WindowHandle window) { windows_.erase(window); }  // its children go out of reach
  void SetText(WindowHandle window, const std::u16string& text) { windows_.at(window).text = text; }

  WindowHandle FindTopWindow(const std::u16string& class_name) override {
    return FindChildWindow(0, 0, class_name);
  }
  WindowHandle FindChildWindow(WindowHandle parent, WindowHandle after,
                               const std::u16string& class_name) override {
    if ((parent != 0 && !windows_.contains(parent)) ||
        (after != 0 && (!windows_.contains(after) || windows_.at(after).parent != parent)))
      return 0;
    // Handles grow, so their order is the order of creation.
    for (auto it = windows_.upper_bound(after); it != windows_.end(); ++it) {
      if (it->second.parent == parent && it->second.class_name == class_name) return it->first;
    }
    return 0;
  }
  std::u16string ReadWindowText(WindowHandle window) override {
    if (fail_reads) throw std::bad_alloc();
    last_read = windows_.contains(window) ? windows_.at(window).text : u"";
    std::u16string text = last_read;
    if (during_read) during_read();
    return text;
  }
  void WriteWindowText(WindowHandle window, const std::u16string& text) override {
    if (!windows_.contains(window)) return;
    windows_.at(window).text = text;
    events.push_back({window, text, false});
  }
  void PressButton(WindowHandle window) override {
    if (windows_.contains(window)) events.push_back({window, u"", true});
  }
  bool CheckText(WindowHandle box, TextCheck check) override {
    ++checks;
    return box != 0 && box != silent && check(ReadWindowText(box));
  }
  bool WriteAndPress(WindowHandle box, const std::u16string& text, WindowHandle button,
                     TextCheck may_replace) override {
    if (!CheckText(box, may_replace)) return false;
    WriteWindowText(box, text);
    PressButton(button);
    if (windows_.contains(box) && windows_.contains(button)) windows_.at(box).text.clear();
    return true;
  }

 private:
  struct Window {
    std::u16string class_name;
    std::u16string text;
    WindowHandle parent;
  };
  std::map<WindowHandle, Window> windows_;
  WindowHandle next_handle_ = 0x100;
};

}  // namespace zingel::test
