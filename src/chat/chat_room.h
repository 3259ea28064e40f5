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

// What a look at the open room's input box found.
enum class InputBox {
  kNoRoom,  // no room, or one lacking the input box or the send button
  kBusy,    // the user's draft, or no answer within the bound
  kFree,    // nothing the user typed: a line may go in
};

// Types lines into the open chat room and presses its send button.
class ChatRoomSender {
 public:
  explicit ChatRoomSender(WindowSystem& windows) : windows_(windows) {}

  WindowHandle FindChatWindow();

  // Looks at the input box without writing.
  InputBox CheckInputBox();

  // Writes the text into the room's input box (its second rich-text box) and
  // presses its send button (its fifth icon button), when the box is free:
  // nothing is typed into some other window or over the user's words. Gives
  // what it found, so kFree means the line went out.
  InputBox SendChatLine(const std::u16string& text);

 private:
  struct Controls {
    WindowHandle box = 0;
    WindowHandle button = 0;
  };
  // The open room's input box and send button; both 0 when it lacks either.
  Controls FindControls();
  // The n-th (1-based) child of the given class, or 0 when there are fewer.
  WindowHandle FindNthChild(WindowHandle room, const char16_t* class_name, int n);

  WindowSystem& windows_;
};

}  // namespace zingel
