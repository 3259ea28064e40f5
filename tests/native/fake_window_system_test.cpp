#include <gtest/gtest.h>

#include "support/cp1252.h"
#include "support/fake_window_system.h"

// The fake stands in for the real window system in every portable test, so it
// must keep the same contract.
namespace zingel::test {
namespace {

TEST(FakeWindowSystem, FindsChildrenInOrderAfterAGivenOne) {
  FakeWindowSystem windows;
  const WindowHandle parent = windows.AddTopWindow(u"Parent");
  const WindowHandle a = windows.AddChild(parent, u"Item");
  windows.AddChild(parent, u"Other");
  const WindowHandle b = windows.AddChild(parent, u"ITEM");
  const WindowHandle stranger = windows.AddTopWindow(u"Item");

  EXPECT_EQ(windows.FindChildWindow(parent, 0, u"item"), a);
  EXPECT_EQ(windows.FindChildWindow(parent, a, u"item"), b);
  EXPECT_EQ(windows.FindChildWindow(parent, b, u"item"), 0u);
  EXPECT_EQ(windows.FindChildWindow(parent, stranger, u"item"), 0u);
  EXPECT_EQ(windows.FindChildWindow(0, 0, u"item"), stranger);
  EXPECT_EQ(windows.FindTopWindow(u"parent"), parent);
}

TEST(FakeWindowSystem, WindowZeroReadsEmptyAndIgnoresWrites) {
  FakeWindowSystem windows;
  EXPECT_EQ(windows.ReadWindowText(0), u"");
  windows.WriteWindowText(0, u"x");
  windows.PressButton(0);
  EXPECT_TRUE(windows.Events().empty());
}

TEST(Cp1252, ConvertsLikeTheWindowsCodePage) {
  EXPECT_EQ(ToCp1252(u"\u00A4\u20AC\u00FF"), "\xA4\x80\xFF");
  EXPECT_EQ(ToCp1252(u"\u4E2D\U0001F600!"),
            "?"
            "?!");
  EXPECT_EQ(FromCp1252("\xA4\x80\x81"), u"\u00A4\u20AC\u0081");
}

}  // namespace
}  // namespace zingel::test
