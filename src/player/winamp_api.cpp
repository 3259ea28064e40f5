#include "player/winamp_api.h"

namespace zingel {

namespace {
constexpr std::u16string_view kEndMarker = u" - Winamp";
// "12. " before the song: the digits and the dot, then one space.
constexpr std::size_t kAfterNumber = 2;

bool IsAsciiDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

// Where the song begins: after a leading playlist number, else at the start.
std::size_t SongStart(const std::u16string& caption) {
  std::size_t digits = 0;
  while (digits < caption.size() && IsAsciiDigit(caption[digits])) ++digits;
  if (digits == 0 || digits == caption.size() || caption[digits] != u'.') return 0;
  return digits + kAfterNumber;
}
}  // namespace

std::u16string ExtractSongTitle(const std::u16string& caption) {
  const std::size_t mark = caption.find(kEndMarker);
  if (mark == std::u16string::npos) return {};
  const std::size_t start = SongStart(caption);
  if (start >= mark) return {};
  std::u16string song = caption.substr(start, mark - start);
  if (song.back() == u' ') song.pop_back();
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
