#include "platform/caption_events.h"

#include <utility>

namespace zingel {

namespace {
// The hook's callback carries no data of ours; the program watches one player.
CaptionEvents* listener = nullptr;
}  // namespace

CaptionEvents::CaptionEvents(std::function<void()> on_change) : on_change_(std::move(on_change)) {
  listener = this;
}

CaptionEvents::~CaptionEvents() {
  hook_.reset();
  listener = nullptr;
}

void CaptionEvents::Watch(WindowHandle window) {
  // The same window as at the last read: nothing to ask the system.
  if (reinterpret_cast<HWND>(window) == window_ && window != 0) return;
  window_ = reinterpret_cast<HWND>(window);
  DWORD process = 0;
  if (window_ == nullptr || GetWindowThreadProcessId(window_, &process) == 0) process = 0;
  if (process == process_) return;
  hook_.reset();
  process_ = process;
  if (process == 0) return;
  hook_.reset(SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, OnEvent,
                              process, 0, WINEVENT_OUTOFCONTEXT));
}

void CALLBACK CaptionEvents::OnEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                     LONG child, DWORD, DWORD) {
  // A hook just undone may still deliver what was queued for it.
  if (listener == nullptr || hook != listener->hook_.get()) return;
  if (event == EVENT_OBJECT_NAMECHANGE && window == listener->window_ && object == OBJID_WINDOW &&
      child == CHILDID_SELF)
    listener->on_change_();
}

}  // namespace zingel
