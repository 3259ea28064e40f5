#pragma once
// The caption events of another program's window. Windows raises
// EVENT_OBJECT_NAMECHANGE when DefWindowProc sets a window's text; an
// out-of-context hook hears it through this thread's messages, without
// waking the other program.

#include <windows.h>

#include <functional>

#include "core/window_system.h"
#include "platform/scoped_handles.h"

namespace zingel {

class CaptionEvents {
 public:
  // `on_change` runs on this thread, for the watched window's own caption
  // only, wherever the thread takes sent messages: inside a wait on another
  // program too. It must only take note.
  explicit CaptionEvents(std::function<void()> on_change);
  ~CaptionEvents();
  CaptionEvents(const CaptionEvents&) = delete;
  CaptionEvents& operator=(const CaptionEvents&) = delete;

  // Listens to `window`'s caption, hooking its program anew when that is
  // another one than the program hooked (a player restarted); 0 stops.
  // Where the hook cannot be set, no event comes from that program.
  void Watch(WindowHandle window);
  void Stop() { Watch(0); }

 private:
  static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                               LONG child, DWORD thread, DWORD time);

  std::function<void()> on_change_;
  HWND window_ = nullptr;
  DWORD process_ = 0;
  UniqueWinEventHook hook_;
};

}  // namespace zingel
