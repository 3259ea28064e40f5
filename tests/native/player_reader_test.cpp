#include <gtest/gtest.h>

#include <new>
#include <vector>

#include "player/player_reader.h"
#include "support/fake_window_system.h"

namespace zingel {
namespace {

using test::FakeWindowSystem;

TEST(PlayerReader, ReadsTheSongFromTheFirstPlayerWindow) {
  struct Window {
    const char16_t* class_name;
    const char16_t* caption;
  };
  struct Case {
    std::vector<Window> windows;
    const char16_t* song;
  };
  const Case cases[] = {
      {{{u"Notepad", u"1. Not a player - Winamp"}}, u""},
      {{{u"Notepad", u"1. Wrong - Winamp"}, {u"Winamp v1.x", u"12. Artist - Title - Winamp"}},
       u"Artist - Title"},
      {{{u"WINAMP V1.X", u"1. First - Winamp"}, {u"Winamp v1.x", u"1. Second - Winamp"}}, u"First"},
  };
  for (const Case& c : cases) {
    FakeWindowSystem windows;
    for (const Window& window : c.windows) windows.AddTopWindow(window.class_name, window.caption);
    EXPECT_EQ(PlayerReader(windows).ReadSongTitle(), c.song);
  }
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
  EXPECT_EQ(PlayerReader(windows).ReadSongTitle(), u"");
}

}  // namespace
}  // namespace zingel
