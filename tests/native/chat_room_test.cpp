#include <gtest/gtest.h>

#include <vector>

#include "chat/chat_room.h"
#include "support/fake_window_system.h"

namespace zingel {
namespace {

using test::FakeWindowSystem;
using Action = FakeWindowSystem::Action;

struct Room {
  WindowHandle window = 0;
  std::vector<WindowHandle> boxes;
  std::vector<WindowHandle> buttons;
};

Room OpenRoom(FakeWindowSystem& windows, int boxes, int buttons) {
  Room room;
  room.window = windows.AddTopWindow(u"Aim_Chatwnd", u"Room");
  for (int i = 0; i < boxes; ++i)
    room.boxes.push_back(windows.AddChild(room.window, u"WndAte32Class"));
  for (int i = 0; i < buttons; ++i)
    room.buttons.push_back(windows.AddChild(room.window, u"_Oscar_IconBtn"));
  return room;
}

// The line goes into the first room's second rich-text box, then its fifth icon button is pressed.
void ExpectSentTo(const FakeWindowSystem& windows, const Room& room, const std::u16string& line) {
  ASSERT_EQ(windows.Events().size(), 2u);
  EXPECT_EQ(windows.Events()[0].action, Action::kWrite);
  EXPECT_EQ(windows.Events()[0].window, room.boxes[1]);
  EXPECT_EQ(windows.Events()[0].text, line);
  EXPECT_EQ(windows.Events()[1].action, Action::kPress);
  EXPECT_EQ(windows.Events()[1].window, room.buttons[4]);
}

TEST(ChatRoomSender, WritesTheFirstRoomsInputBoxThenPressesSend) {
  FakeWindowSystem windows;
  ChatRoomSender sender(windows);
  sender.SendChatLine(u"lost");  // no room yet
  const Room room = OpenRoom(windows, 2, 6);
  OpenRoom(windows, 2, 6);
  sender.SendChatLine(u"<b>-=(\u00A4</b> Song");
  ExpectSentTo(windows, room, u"<b>-=(\u00A4</b> Song");
}

TEST(ChatRoomSender, FindsTheControlsAmongOtherChildrenWhateverTheCase) {
  FakeWindowSystem windows;
  Room room;
  room.window = windows.AddTopWindow(u"aim_chatwnd");
  for (int i = 0; i < 7; ++i) {
    windows.AddChild(room.window, u"Static");
    room.buttons.push_back(windows.AddChild(room.window, u"_OSCAR_ICONBTN"));
    if (i < 3) room.boxes.push_back(windows.AddChild(room.window, u"wndate32class"));
  }
  ChatRoomSender(windows).SendChatLine(u"x");
  ExpectSentTo(windows, room, u"x");
}

TEST(ChatRoomSender, SendsNothingIntoARoomWithoutInputBoxOrSendButton) {
  struct Case {
    int boxes;
    int buttons;
  };
  constexpr Case kCases[] = {{0, 6}, {1, 6}, {2, 0}, {2, 1}, {2, 2}, {2, 3}, {2, 4}, {1, 5}};
  for (const Case& c : kCases) {
    FakeWindowSystem windows;
    OpenRoom(windows, c.boxes, c.buttons);
    ChatRoomSender(windows).SendChatLine(u"line");
    EXPECT_TRUE(windows.Events().empty()) << c.boxes << " boxes, " << c.buttons << " buttons";
  }
  // Nor, with no room, into top-level windows of the controls' classes.
  FakeWindowSystem windows;
  for (int i = 0; i < 3; ++i) windows.AddTopWindow(u"WndAte32Class");
  for (int i = 0; i < 6; ++i) windows.AddTopWindow(u"_Oscar_IconBtn");
  ChatRoomSender(windows).SendChatLine(u"line");
  EXPECT_TRUE(windows.Events().empty());
}

TEST(ChatRoomSender, NeverWritesOverWhatTheUserIsTyping) {
  struct Case {
    const char16_t* box;
    bool sent;
  };
  constexpr Case kCases[] = {
      {u"", true},
      {u" \t\r\n\u00A0", true},
      {u"<HTML><BODY BGCOLOR=\"#ffffff\"></BODY></HTML>", true},
      {u"<b> </b>", true},
      {u"hello", false},
      {u"<b>hi</b>", false},
      {u"<3", false},
      {u"<br> x", false},
  };
  for (const Case& c : kCases) {
    FakeWindowSystem windows;
    const Room room = OpenRoom(windows, 2, 6);
    windows.SetText(room.boxes[1], c.box);
    ChatRoomSender(windows).SendChatLine(u"line");
    EXPECT_EQ(windows.Events().size(), c.sent ? 2u : 0u) << "box holding " << c.sent;
    if (!c.sent) {
      EXPECT_EQ(windows.ReadWindowText(room.boxes[1]), c.box);
    }
  }
}

}  // namespace
}  // namespace zingel
