// The window messaging primitives over user32, the read protocol that copes with a text
// changing between its two messages, and the last whole answer of each window.

#include "platform/win32_window_system.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

#include "platform/ansi_text.h"
#include "platform/utf16.h"

namespace zingel {
namespace {

HWND ToHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}

// In UTF-16 units, more than any caption or chat line holds; a window that reports a longer text is
// cut there, so that a silly length cannot make every poll allocate hundreds of megabytes.
constexpr std::size_t kMaxTextLength = 65535;
// A read's room beyond twice the length it was told: a scrolling title's next frame (up to twice
// the caption and a separator) or a stream status's next percentage still fits.
constexpr std::size_t kSpareRoom = 64;

// More windows than one parent ever holds: a walk that meets windows being reordered under it can
// go round, and this ends it.
constexpr int kMaxSiblings = 65536;

bool HasClass(HWND window, const wchar_t* class_name) {
  wchar_t found[257];  // class names hold at most 256 characters
  return GetClassNameW(window, found, 257) != 0 && lstrcmpiW(found, class_name) == 0;
}

}  // namespace

Win32WindowSystem::Win32WindowSystem(unsigned timeout_ms) : messenger_(timeout_ms) {}

WindowHandle Win32WindowSystem::FindTopWindow(const std::u16string& class_name) {
  return reinterpret_cast<WindowHandle>(FindWindowW(AsWide(class_name.c_str()), nullptr));
}

// A walk of the siblings, not FindWindowExW from `after`: under Wine 10 that call loops for good
// in the Wine server when `after` is on its way out of the Z order (a chat room closing as it is
// searched), and every program of the session freezes. GetWindow gives no next window then.
WindowHandle Win32WindowSystem::FindChildWindow(WindowHandle parent, WindowHandle after,
                                                const std::u16string& class_name) {
  const HWND owner = parent != 0 ? ToHwnd(parent) : GetDesktopWindow();
  if (after != 0 && GetAncestor(ToHwnd(after), GA_PARENT) != owner) return 0;
  HWND window = after != 0 ? GetWindow(ToHwnd(after), GW_HWNDNEXT) : GetWindow(owner, GW_CHILD);
  for (int i = 0; window != nullptr && i < kMaxSiblings; ++i) {
    if (HasClass(window, AsWide(class_name.c_str()))) return reinterpret_cast<WindowHandle>(window);
    window = GetWindow(window, GW_HWNDNEXT);
  }
  return 0;
}

// The text can change between the length and the copy (a scrolling title every 200 ms, a stream's
// status every 100 ms). What WM_GETTEXT copies into the zeroed buffer, up to its NUL, is a whole
// text of the window, unless it fills the room the length did not ask for: then it grew past the
// room and may be cut, and the read gives no text; so does a copy that stops inside a surrogate
// pair. The W messages carry every character; from an ANSI window Windows widens the text exactly.
// No text either when the window did not answer in time; a window that is gone reads "".
std::optional<std::u16string> Win32WindowSystem::ReadText(HWND window) {
  const PeerMessenger::Outcome length = messenger_.Send(window, WM_GETTEXTLENGTH, 0, 0);
  if (length.reply == Reply::kGone) return std::u16string();
  if (length.reply != Reply::kAnswered) return std::nullopt;
  const std::size_t n =
      std::min(length.result > 0 ? static_cast<std::size_t>(length.result) : 0, kMaxTextLength);
  const std::size_t room = std::min(2 * n + kSpareRoom, kMaxTextLength);
  std::shared_ptr<std::u16string> buffer;
  try {
    buffer = std::make_shared<std::u16string>(room + 1, u'\0');
  } catch (const std::bad_alloc&) {
    return std::u16string();  // no memory for the buffer: read nothing
  }
  const auto copy = reinterpret_cast<LPARAM>(buffer->data());
  const Reply copied_in_time = messenger_.Send(window, WM_GETTEXT, room + 1, copy, buffer).reply;
  if (copied_in_time == Reply::kGone) return std::u16string();
  if (copied_in_time != Reply::kAnswered) return std::nullopt;
  const std::size_t copied = std::min(buffer->find(u'\0'), room);
  if (copied == room && room > n) return std::nullopt;
  buffer->resize(copied);
  if (!buffer->empty() && IS_HIGH_SURROGATE(buffer->back())) return std::nullopt;
  return std::move(*buffer);
}

PeerMessenger::Reply Win32WindowSystem::WriteText(HWND window, const std::u16string& text) {
  if (IsWindowUnicode(window)) {
    const auto wide = std::make_shared<const std::u16string>(text);
    const auto lparam = reinterpret_cast<LPARAM>(AsWide(wide->c_str()));
    return messenger_.Send(window, WM_SETTEXT, 0, lparam, wide).reply;
  }
  // Windows would convert for an ANSI window with best-fit look-alikes, a fullwidth "<" as "<",
  // and so turn a title into markup after it was escaped; the code page's default character
  // stands in instead.
  const auto bytes = std::make_shared<const std::string>(ToAnsi(text));
  return messenger_.SendAnsi(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(bytes->c_str()), bytes)
      .reply;
}

// A press, then its release once the press has gone out, answered in time or not. After a write
// that came late, both follow it without waiting.
void Win32WindowSystem::Press(HWND button, Reply after) {
  if (after == Reply::kTimedOut) {
    PeerMessenger::SendWithoutWaiting(button, WM_LBUTTONDOWN, 0, 0);
    PeerMessenger::SendWithoutWaiting(button, WM_LBUTTONUP, 0, 0);
    return;
  }
  const Reply down = messenger_.Send(button, WM_LBUTTONDOWN, 0, 0).reply;
  if (down == Reply::kAnswered) messenger_.Send(button, WM_LBUTTONUP, 0, 0);
  if (down == Reply::kTimedOut) PeerMessenger::SendWithoutWaiting(button, WM_LBUTTONUP, 0, 0);
}

std::u16string Win32WindowSystem::ReadWindowText(WindowHandle window) {
  if (window == 0) return std::u16string();
  std::optional<std::u16string> read = ReadText(ToHwnd(window));
  if (!read) {
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
  if (window != 0) WriteText(ToHwnd(window), text);
}

void Win32WindowSystem::PressButton(WindowHandle window) {
  if (window != 0) Press(ToHwnd(window), Reply::kAnswered);
}

// A box whose text changed past the read's room is being typed in: it is not replaced.
bool Win32WindowSystem::CheckText(WindowHandle box, TextCheck check) {
  if (box == 0) return false;
  const std::optional<std::u16string> current = ReadText(ToHwnd(box));
  return current && check(*current);
}

// All or nothing: the box is read, and written only if what it holds may be replaced; once the
// write has gone out, the press follows.
bool Win32WindowSystem::WriteAndPress(WindowHandle box, const std::u16string& text,
                                      WindowHandle button, TextCheck may_replace) {
  if (!CheckText(box, may_replace)) return false;
  const Reply written = WriteText(ToHwnd(box), text);
  if (written != Reply::kAnswered && written != Reply::kTimedOut) return false;
  Press(ToHwnd(button), written);
  return true;
}

}  // namespace zingel
