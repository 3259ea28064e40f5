#include "chat/chat_room.h"

namespace zingel {

namespace {
constexpr int kInputBoxIndex = 2;
constexpr int kSendButtonIndex = 5;

bool IsWhiteSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f' || c == u'\v' ||
         c == u'\u00A0';
}
}  // namespace

bool IsEmptyInput(const std::u16string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'<') {
      const std::size_t close = text.find(u'>', i);
      // An unclosed "<" is text ("<3"), not a tag.
      if (close != std::u16string::npos) {
        i = close;
        continue;
      }
    }
    if (!IsWhiteSpace(text[i])) return false;
  }
  return true;
}

WindowHandle ChatRoomSender::FindChatWindow() {
  return windows_.FindTopWindow(kChatWindowClass);
}

WindowHandle ChatRoomSender::FindNthChild(WindowHandle room, const char16_t* class_name, int n) {
  WindowHandle child = 0;
  for (int i = 0; i < n; ++i) {
    // A search after 0 would start over from the first child; stop instead.
    child = windows_.FindChildWindow(room, child, class_name);
    if (child == 0) return 0;
  }
  return child;
}

ChatRoomSender::Controls ChatRoomSender::FindControls() {
  // One lookup per line, so the box and the button belong to the same room.
  const WindowHandle room = FindChatWindow();
  // Parent 0 would search the top-level windows, never a room's controls.
  if (room == 0) return {};
  const WindowHandle box = FindNthChild(room, kRichTextClass, kInputBoxIndex);
  const WindowHandle button = FindNthChild(room, kIconButtonClass, kSendButtonIndex);
  if (box == 0 || button == 0) return {};
  return {box, button};
}

InputBox ChatRoomSender::CheckInputBox() {
  const Controls room = FindControls();
  if (room.box == 0) return InputBox::kNoRoom;
  return windows_.CheckText(room.box, &IsEmptyInput) ? InputBox::kFree : InputBox::kBusy;
}

InputBox ChatRoomSender::SendChatLine(const std::u16string& text) {
  const Controls room = FindControls();
  if (room.box == 0) return InputBox::kNoRoom;
  return windows_.WriteAndPress(room.box, text, room.button, &IsEmptyInput) ? InputBox::kFree
                                                                            : InputBox::kBusy;
}

}  // namespace zingel
