// The least an announcer that hears the player's caption events can do: on each caption event of
// the player's window it reads the caption with WM_GETTEXTLENGTH and WM_GETTEXT and, when it is a
// new one, writes its song into the chat room's input box and presses the send button, nothing
// more (no look at what the box holds, no bound on a message). The benchmark measures zingel's
// announce latency with events against this program's; its hidden window is there once it
// listens, and WM_CLOSE ends it.

#include <windows.h>

#include <string>

#include "bare_programs.h"

namespace {

std::wstring g_caption;  // the last one read

std::wstring ReadCaption(HWND window) {
  const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  const auto copied =
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

// "12. Artist - Title - Winamp" is "Artist - Title".
std::wstring Song(const std::wstring& caption) {
  const size_t dot = caption.find(L". ");
  const size_t start = dot == std::wstring::npos ? 0 : dot + 2;
  return caption.substr(start, caption.rfind(L" - Winamp") - start);
}

HWND NthChild(HWND parent, const wchar_t* class_name, int n) {
  HWND child = nullptr;
  for (int i = 0; i < n && parent; ++i) child = FindWindowExW(parent, child, class_name, nullptr);
  return child;
}

void Post(const std::wstring& song) {
  const HWND room = FindWindowW(standin::kRoomClass.wide, nullptr);
  const HWND box = NthChild(room, standin::kBoxClass.wide, 2);
  const HWND button = NthChild(room, standin::kButtonClass.wide, 5);
  if (!box || !button) return;
  const std::wstring line = L"<b></b> " + song;
  SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(line.c_str()));
  SendMessageW(button, WM_LBUTTONDOWN, 0, 0);
  SendMessageW(button, WM_LBUTTONUP, 0, 0);
}

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (object != OBJID_WINDOW || child != CHILDID_SELF ||
      window != FindWindowW(standin::kPlayerClass.wide, nullptr))
    return;
  const std::wstring caption = ReadCaption(window);
  if (caption == g_caption) return;
  g_caption = caption;
  Post(Song(caption));
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int main() {
  // Every program's caption events, as the player may start after this one.
  if (!SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, OnEvent, 0, 0,
                       WINEVENT_OUTOFCONTEXT))
    return 1;
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = zingel::bench::kBareAnnouncerClass.wide;
  if (!RegisterClassW(&window_class) ||
      !CreateWindowExW(0, zingel::bench::kBareAnnouncerClass.wide, L"", WS_OVERLAPPED, 0, 0, 10, 10,
                       nullptr, nullptr, window_class.hInstance, nullptr))
    return 1;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
