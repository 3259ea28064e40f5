#pragma once
// winampApi: what zingel reads from the player, the song in its main window's caption.

#include <optional>
#include <string>
#include <string_view>

#include "core/window_system.h"

namespace zingel {

// The player's main window class.
inline constexpr const char16_t* kPlayerWindowClass = u"Winamp v1.x";

// The song in a player caption such as "12. Artist - Title - Winamp": what stands before the
// first " - Winamp", after the playlist number if the caption begins with one; "" when the
// caption lacks the marker. A frame of the scrolling title reads as the caption it scrolls. A
// title that is a stream's status holds no news: no value, the song is what it was.
std::optional<std::u16string> ExtractSongTitle(std::u16string_view caption);

// Reads the current song from the player's main window, looked up anew on every call so a
// restarted player is picked up on the next poll.
class PlayerReader {
 public:
  explicit PlayerReader(WindowSystem& windows) : windows_(windows) {}

  WindowHandle FindPlayerWindow();

  // "" when there is no player, the caption has the wrong form, or anything on the way fails; no
  // value while the player shows a stream's status.
  std::optional<std::u16string> ReadSongTitle() noexcept;

 private:
  WindowSystem& windows_;
};

}  // namespace zingel
