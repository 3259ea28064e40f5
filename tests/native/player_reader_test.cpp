#include <gtest/gtest.h>

#include <new>

#include "player/winamp_api.h"
#include "support/fake_window_system.h"

namespace zingel {
namespace {

using test::FakeWindowSystem;

TEST(PlayerReader, ReadsTheSongFromThePlayerWindow) {
  struct Case {
    bool player_open;
    const char16_t* caption;
    const char16_t* song;
  };
  constexpr Case kCases[] = {
      {false, u"", u""},
      {true, u"12. Artist - Title - Winamp", u"Artist - Title"},
      {true, u"Winamp 5.666 Build 3516", u""},
      {true, u"", u""},
  };
  for (const Case& c : kCases) {
    FakeWindowSystem windows;
    windows.AddTopWindow(u"Notepad", u"1. Wrong - Winamp");
    if (c.player_open) windows.AddTopWindow(u"Winamp v1.x", c.caption);
    PlayerReader reader(windows);
    EXPECT_EQ(reader.ReadSongTitle(), std::u16string(c.song)) << "open=" << c.player_open;
  }
}

TEST(PlayerReader, UsesTheFirstPlayerAndFindsItWhateverTheCase) {
  FakeWindowSystem windows;
  windows.AddTopWindow(u"WINAMP V1.X", u"1. First - Winamp");
  windows.AddTopWindow(u"Winamp v1.x", u"1. Second - Winamp");
  PlayerReader reader(windows);
  EXPECT_EQ(reader.ReadSongTitle(), u"First");
}

TEST(PlayerReader, FollowsThePlayerAcrossRestarts) {
  FakeWindowSystem windows;
  PlayerReader reader(windows);
  const WindowHandle first = windows.AddTopWindow(u"Winamp v1.x", u"1. A - Winamp");
  EXPECT_EQ(reader.ReadSongTitle(), u"A");
  windows.Close(first);
  EXPECT_EQ(reader.ReadSongTitle(), u"");
  windows.AddTopWindow(u"Winamp v1.x", u"2. B - Winamp");
  EXPECT_EQ(reader.ReadSongTitle(), u"B");
}

// A window system whose text reads fail the way an allocation can.
class ThrowingWindowSystem final : public WindowSystem {
 public:
  WindowHandle FindTopWindow(const std::u16string&) override { return 1; }
  WindowHandle FindChildWindow(WindowHandle, WindowHandle, const std::u16string&) override {
    return 0;
  }
  std::u16string ReadWindowText(WindowHandle) override { throw std::bad_alloc(); }
  void WriteWindowText(WindowHandle, const std::u16string&) override {}
  void PressButton(WindowHandle) override {}
  void WriteAndPress(WindowHandle, const std::u16string&, WindowHandle, TextCheck) override {}
};

TEST(PlayerReader, TurnsAnyFailureIntoNoSong) {
  ThrowingWindowSystem windows;
  PlayerReader reader(windows);
  EXPECT_EQ(reader.ReadSongTitle(), u"");
}

}  // namespace
}  // namespace zingel
