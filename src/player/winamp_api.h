#pragma once

#include <string>

#include "platform/window_system.h"

namespace zingel {

// The player's main window class.
inline constexpr const char16_t* kPlayerWindowClass = u"Winamp v1.x";

// The song in a player caption such as "12. Artist - Title - Winamp": what
// stands before the first " - Winamp", after the playlist number if the
// caption begins with one; "" when the caption lacks the marker.
std::u16string ExtractSongTitle(const std::u16string& caption);

// Reads the current song from the player's main window, looked up anew on
// every call so a restarted player is picked up on the next poll.
class PlayerReader {
 public:
  explicit PlayerReader(WindowSystem& windows) : windows_(windows) {}

  WindowHandle FindPlayerWindow();

  // "" when there is no player, the caption has the wrong form, or anything
  // on the way fails.
  std::u16string ReadSongTitle() noexcept;

 private:
  WindowSystem& windows_;
};

}  // namespace zingel
