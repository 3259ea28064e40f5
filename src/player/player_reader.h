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

  // The window and the caption the last read found: 0 and "" for none.
  WindowHandle LastWindow() const { return last_window_; }
  const std::u16string& LastCaption() const { return last_caption_; }

 private:
  WindowSystem& windows_;
  WindowHandle last_window_ = 0;
  std::u16string last_caption_;
};

}  // namespace zingel
