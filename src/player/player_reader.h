#pragma once
// The player window reader of winampApi (the player/ folder: what zingel reads from the player).

#include <functional>
#include <optional>
#include <string>

#include "core/window_system.h"

namespace zingel {

// The player's main window class.
inline constexpr const char16_t* kPlayerWindowClass = u"Winamp v1.x";

// What one read of the player found.
struct PlayerRead {
  WindowHandle window = 0;  // 0: no player
  std::u16string caption;
  // "" when there is no player, the caption has the wrong form, or anything on the way fails; no
  // value while the player shows a stream's status.
  std::optional<std::u16string> song;
};

// Reads the current song from the player's main window, looked up anew on every call so a
// restarted player is picked up on the next poll.
class PlayerReader {
 public:
  explicit PlayerReader(WindowSystem& windows) : windows_(windows) {}

  WindowHandle FindPlayerWindow();

  // Finds the window, hands it to `before_read` (which may hook it), then reads its caption and
  // the song in it. Never throws: any failure on the way reads as no player.
  PlayerRead Read(const std::function<void(WindowHandle)>& before_read = {}) noexcept;

 private:
  WindowSystem& windows_;
};

}  // namespace zingel
