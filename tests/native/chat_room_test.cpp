// The chat-room sender over the fake window system: which room, box and button it uses, the rooms
// it leaves alone, and the user's draft it never writes over.

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "chat/chat_room.h"
#include "support/fake_window_system.h"

namespace zingel {
namespace {

using test::FakeWindowSystem;

struct Room {
  WindowHandle window = 0;
  std::vector<WindowHandle> boxes;
  std::vector<WindowHandle> buttons;
};

// A room whose controls come in turns among other children: a box, a button, a stranger.
Room OpenRoom(FakeWindowSystem& windows, int boxes, int buttons) {
  Room room;
  room.window = windows.AddTopWindow(u"Aim_Chatwnd", u"Room");
  for (int i = 0; i < std::max(boxes, buttons); ++i) {
    if (i < boxes) room.boxes.push_back(windows.AddChild(room.window, u"WndAte32Class"));
    if (i < buttons) room.buttons.push_back(windows.AddChild(room.window, u"_Oscar_IconBtn"));
    windows.AddChild(room.window, u"Static");
  }
  return room;
}

// The line goes into the first room's second rich-text box, then its fifth icon button is pressed.
TEST(ChatRoomSender, WritesTheFirstRoomsInputBoxThenPressesSend) {
  FakeWindowSystem windows;
  ChatRoomSender sender(windows);
  sender.SendChatLine(u"lost");  // no room yet
  const Room room = OpenRoom(windows, 3, 7);
  OpenRoom(windows, 3, 7);
  sender.SendChatLine(u"<b>-=(\u00A4</b> Song");
  ASSERT_EQ(windows.events.size(), 2u);
  EXPECT_TRUE(!windows.events[0].press && windows.events[0].window == room.boxes[1]);
  EXPECT_EQ(windows.events[0].text, u"<b>-=(\u00A4</b> Song");
  EXPECT_TRUE(windows.events[1].press && windows.events[1].window == room.buttons[4]);
}

TEST(ChatRoomSender, SendsNothingIntoARoomWithoutInputBoxOrSendButton) {
  for (const auto& [boxes, buttons] :
       {std::pair{0, 6}, {1, 6}, {2, 0}, {2, 1}, {2, 2}, {2, 3}, {2, 4}, {1, 5}}) {
    FakeWindowSystem windows;
    OpenRoom(windows, boxes, buttons);
    ChatRoomSender(windows).SendChatLine(u"line");
    EXPECT_TRUE(windows.events.empty()) << boxes << " boxes, " << buttons << " buttons";
  }
  // Nor, with no room, into top-level windows of the controls' classes.
  FakeWindowSystem windows;
  for (int i = 0; i < 3; ++i) windows.AddTopWindow(u"WndAte32Class");
  for (int i = 0; i < 6; ++i) windows.AddTopWindow(u"_Oscar_IconBtn");
  ChatRoomSender(windows).SendChatLine(u"line");
  EXPECT_TRUE(windows.events.empty());
}

TEST(ChatRoomSender, NeverWritesOverWhatTheUserIsTyping) {
  // White space once tags are left out is no draft; anything else is.
  const std::vector<std::u16string> kEmpty = {
      u"", u" \t\r\n\u00A0", u"<HTML><BODY BGCOLOR=\"#ffffff\"></BODY></HTML>", u"<b> </b>"};
  const std::vector<std::u16string> kDrafts = {u"hello", u"<b>hi</b>", u"<3", u"<br> x"};
  for (const bool sent : {true, false}) {
    for (const std::u16string& box : sent ? kEmpty : kDrafts) {
      FakeWindowSystem windows;
      const Room room = OpenRoom(windows, 2, 6);
      windows.SetText(room.boxes[1], box);
      ChatRoomSender(windows).SendChatLine(u"line");
      EXPECT_EQ(windows.events.size(), sent ? 2u : 0u) << "box holding " << box.size() << " units";
    }
  }
}

}  // namespace
}  // namespace zingel
