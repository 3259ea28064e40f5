#include "player/player_reader.h"

#include "player/song_title.h"

namespace zingel {

WindowHandle PlayerReader::FindPlayerWindow() {
  return windows_.FindTopWindow(kPlayerWindowClass);
}

std::optional<std::u16string> PlayerReader::ReadSongTitle() noexcept {
  try {
    return ExtractSongTitle(windows_.ReadWindowText(FindPlayerWindow()));
  } catch (...) {
    return std::u16string();
  }
}

}  // namespace zingel
