#include "player/player_reader.h"

#include "player/song_title.h"

namespace zingel {

WindowHandle PlayerReader::FindPlayerWindow() {
  return windows_.FindTopWindow(kPlayerWindowClass);
}

PlayerRead PlayerReader::Read(const std::function<void(WindowHandle)>& before_read) noexcept {
  try {
    PlayerRead read;
    read.window = FindPlayerWindow();
    if (before_read) before_read(read.window);
    read.caption = windows_.ReadWindowText(read.window);
    read.song = ExtractSongTitle(read.caption);
    return read;
  } catch (...) {
    return {0, u"", u""};
  }
}

}  // namespace zingel
