#include "support/fake_window_system.h"

#include <algorithm>
#include <new>

namespace zingel::test {

WindowHandle FakeWindowSystem::AddTopWindow(const std::u16string& class_name,
                                            const std::u16string& text) {
  const WindowHandle handle = next_handle_++;
  windows_[handle] = Window{class_name, text, 0};
  return handle;
}

WindowHandle FakeWindowSystem::AddChild(WindowHandle parent, const std::u16string& class_name) {
  const WindowHandle handle = next_handle_++;
  windows_[handle] = Window{class_name, {}, parent};
  return handle;
}

void FakeWindowSystem::Close(WindowHandle window) {
  for (WindowHandle child : ChildrenOf(window)) Close(child);
  windows_.erase(window);
}

void FakeWindowSystem::SetText(WindowHandle window, const std::u16string& text) {
  windows_.at(window).text = text;
}

std::vector<WindowHandle> FakeWindowSystem::ChildrenOf(WindowHandle parent) const {
  std::vector<WindowHandle> children;
  for (const auto& [handle, window] : windows_) {
    if (window.parent == parent) children.push_back(handle);
  }
  return children;
}

WindowHandle FakeWindowSystem::FindTopWindow(const std::u16string& class_name) {
  return FindChildWindow(0, 0, class_name);
}

WindowHandle FakeWindowSystem::FindChildWindow(WindowHandle parent, WindowHandle after,
                                               const std::u16string& class_name) {
  if (parent != 0 && !Exists(parent)) return 0;
  const std::vector<WindowHandle> children = ChildrenOf(parent);
  auto it = children.begin();
  if (after != 0) {
    it = std::find(children.begin(), children.end(), after);
    if (it == children.end()) return 0;
    ++it;
  }
  for (; it != children.end(); ++it) {
    if (windows_.at(*it).class_name == class_name) return *it;
  }
  return 0;
}

std::u16string FakeWindowSystem::ReadWindowText(WindowHandle window) {
  if (fail_reads) throw std::bad_alloc();
  return Exists(window) ? windows_.at(window).text : std::u16string();
}

void FakeWindowSystem::WriteWindowText(WindowHandle window, const std::u16string& text) {
  if (!Exists(window)) return;
  windows_.at(window).text = text;
  events_.push_back({Action::kWrite, window, text});
}

void FakeWindowSystem::PressButton(WindowHandle window) {
  if (!Exists(window)) return;
  events_.push_back({Action::kPress, window, {}});
}

void FakeWindowSystem::WriteAndPress(WindowHandle box, const std::u16string& text,
                                     WindowHandle button, TextCheck may_replace) {
  if (!may_replace(ReadWindowText(box))) return;
  WriteWindowText(box, text);
  PressButton(button);
  if (Exists(box) && Exists(button)) windows_.at(box).text.clear();
}

}  // namespace zingel::test
