#pragma once
// The player window reader of winampApi (the player/ folder: what zingel reads from the player).

#include <optional>
#include <string>

#include "core/window_system.h"

namespace zingel {

// The player's main window class.
inline constexpr const char16_t* kPlayerWindowClass = u"Winamp v1.x";

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
