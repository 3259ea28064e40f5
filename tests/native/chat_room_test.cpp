#include <gtest/gtest.h>

#include <vector>

#include "chat/chat_room.h"
#include "support/cp1252.h"
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
  for (int i = 0; i < buttons; ++i) {
    room.buttons.push_back(windows.AddChild(room.window, u"_Oscar_IconBtn"));
  }
  return room;
}

TEST(ChatRoomSender, WritesTheInputBoxThenPressesSend) {
  FakeWindowSystem windows;
  const Room room = OpenRoom(windows, 2, 6);
  ChatRoomSender(windows).SendChatLine(u"<b>-=(\u00A4</b> Song");
  ASSERT_EQ(windows.Events().size(), 2u);
  EXPECT_EQ(windows.Events()[0].action, Action::kWrite);
  EXPECT_EQ(windows.Events()[0].window, room.boxes[1]);
  EXPECT_EQ(windows.Events()[0].bytes, "<b>-=(\xA4</b> Song");
  EXPECT_EQ(windows.Events()[1].action, Action::kPress);
  EXPECT_EQ(windows.Events()[1].window, room.buttons[4]);
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
    const std::string shown = test::ToCp1252(c.box);
    EXPECT_EQ(windows.Events().size(), c.sent ? 2u : 0u) << "box holding '" << shown << "'";
    if (!c.sent) {
      EXPECT_EQ(windows.Bytes(room.boxes[1]), shown);
    }
  }
}

TEST(ChatRoomSender, FindsTheControlsAmongOtherChildren) {
  FakeWindowSystem windows;
  const WindowHandle room = windows.AddTopWindow(u"aim_chatwnd");
  std::vector<WindowHandle> boxes, buttons;
  for (int i = 0; i < 7; ++i) {
    windows.AddChild(room, u"Static");
    buttons.push_back(windows.AddChild(room, u"_OSCAR_ICONBTN"));
    if (i < 3) boxes.push_back(windows.AddChild(room, u"wndate32class"));
  }
  ChatRoomSender(windows).SendChatLine(u"x");
  ASSERT_EQ(windows.Events().size(), 2u);
  EXPECT_EQ(windows.Events()[0].window, boxes[1]);
  EXPECT_EQ(windows.Events()[1].window, buttons[4]);
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
}

TEST(ChatRoomSender, WithNoRoomTouchesNoOtherWindow) {
  FakeWindowSystem windows;
  // Top-level windows of the child classes must not be mistaken for a room.
  for (int i = 0; i < 3; ++i) windows.AddTopWindow(u"WndAte32Class");
  for (int i = 0; i < 6; ++i) windows.AddTopWindow(u"_Oscar_IconBtn");
  ChatRoomSender sender(windows);
  EXPECT_EQ(sender.FindChatWindow(), 0u);
  sender.SendChatLine(u"line");
  EXPECT_TRUE(windows.Events().empty());
}

TEST(ChatRoomSender, SendsOnlyToTheFirstRoom) {
  FakeWindowSystem windows;
  const Room first = OpenRoom(windows, 2, 6);
  OpenRoom(windows, 2, 6);
  ChatRoomSender(windows).SendChatLine(u"x");
  ASSERT_EQ(windows.Events().size(), 2u);
  EXPECT_EQ(windows.Events()[0].window, first.boxes[1]);
  EXPECT_EQ(windows.Events()[1].window, first.buttons[4]);
}

TEST(ChatRoomSender, ReachesARoomOpenedAfterAnEarlierSendFailed) {
  FakeWindowSystem windows;
  ChatRoomSender sender(windows);
  sender.SendChatLine(u"lost");
  const Room room = OpenRoom(windows, 2, 6);
  sender.SendChatLine(u"kept");
  ASSERT_EQ(windows.Events().size(), 2u);
  EXPECT_EQ(windows.Events()[0].bytes, "kept");
}

}  // namespace
}  // namespace zingel
