#pragma once

#include <string>

#include "core/window_system.h"

namespace zingel {

// The chat client's window classes.
inline constexpr const char16_t* kChatWindowClass = u"Aim_Chatwnd";
inline constexpr const char16_t* kRichTextClass = u"WndAte32Class";
inline constexpr const char16_t* kIconButtonClass = u"_Oscar_IconBtn";

// Whether an input box holding `text` has nothing the user typed: only white
// space once markup tags ("<...>") are left out, as an empty rich-text box may
// hold markup.
bool IsEmptyInput(const std::u16string& text);

// Types lines into the open chat room and presses its send button.
class ChatRoomSender {
 public:
  explicit ChatRoomSender(WindowSystem& windows) : windows_(windows) {}

  WindowHandle FindChatWindow();

  // Writes the text into the room's input box (its second rich-text box) and
  // presses its send button (its fifth icon button). With no room, a room
  // lacking either control, or an input box holding what the user is typing,
  // nothing is written and nothing pressed: the line is lost rather than typed
  // into some other window or over the user's words.
  void SendChatLine(const std::u16string& text);

 private:
  // The n-th (1-based) child of the given class, or 0 when there are fewer.
  WindowHandle FindNthChild(WindowHandle room, const char16_t* class_name, int n);

  WindowSystem& windows_;
};

}  // namespace zingel
