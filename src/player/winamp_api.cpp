#include "player/winamp_api.h"

namespace zingel {

namespace {
constexpr std::u16string_view kEndMarker = u" - Winamp";
// The song is assumed to start after "N. " and to end where "N. " would make
// a one-digit playlist number line up with the marker.
constexpr std::size_t kStartOffset = 2;
constexpr std::size_t kLengthOffset = 4;
}  // namespace

std::u16string ExtractSongTitle(const std::u16string& caption) {
  const std::size_t mark = caption.find(kEndMarker);
  // Positions below are 1-based, as the caption format is described.
  if (mark == std::u16string::npos || mark + 1 < kLengthOffset) return {};
  const std::size_t count = mark + 1 - kLengthOffset;

  const std::size_t dot = caption.find(u'.');
  const std::size_t dot_position = dot == std::u16string::npos ? 0 : dot + 1;
  const std::size_t start = dot_position + kStartOffset;  // 1-based
  if (start > caption.size()) return {};

  std::u16string song = caption.substr(start - 1, count);
  if (!song.empty() && song.back() == u' ') song.pop_back();
  return song;
}

WindowHandle PlayerReader::FindPlayerWindow() {
  return windows_.FindTopWindow(kPlayerWindowClass);
}

std::u16string PlayerReader::ReadSongTitle() noexcept {
  try {
    return ExtractSongTitle(windows_.ReadWindowText(FindPlayerWindow()));
  } catch (...) {
    return {};
  }
}

}  // namespace zingel
