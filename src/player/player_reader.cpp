#include "player/player_reader.h"

#include "player/song_title.h"

namespace zingel {

WindowHandle PlayerReader::FindPlayerWindow() {
  return windows_.FindTopWindow(kPlayerWindowClass);
}

std::optional<std::u16string> PlayerReader::ReadSongTitle() noexcept {
  try {
    last_window_ = FindPlayerWindow();
    last_caption_ = windows_.ReadWindowText(last_window_);
    return ExtractSongTitle(last_caption_);
  } catch (...) {
    last_window_ = 0;
    last_caption_.clear();
    return std::u16string();
  }
}

}  // namespace zingel
