#include "player/song_title.h"

#include "player/digits.h"
#include "player/scroll.h"
#include "player/stream_status.h"

namespace zingel {

namespace {
constexpr std::u16string_view kEndMarker = u" - Winamp";
// "12. " before the song: the digits and the dot, then one space.
constexpr std::size_t kAfterNumber = 2;

// Where the song begins: after a leading playlist number, else at the start.
std::size_t SongStart(std::u16string_view caption) {
  std::size_t digits = 0;
  while (digits < caption.size() && IsAsciiDigit(caption[digits])) ++digits;
  if (digits == 0 || digits == caption.size() || caption[digits] != u'.') return 0;
  return digits + kAfterNumber;
}

// The playlist title in a plain caption; "" without the marker.
std::u16string_view PlaylistTitle(std::u16string_view caption) {
  const std::size_t mark = caption.find(kEndMarker);
  if (mark == std::u16string_view::npos) return {};
  const std::size_t start = SongStart(caption);
  if (start >= mark) return {};
  std::u16string_view title = caption.substr(start, mark - start);
  if (title.back() == u' ') title.remove_suffix(1);
  return title;
}
}  // namespace

std::optional<std::u16string> ExtractSongTitle(std::u16string_view caption) {
  const std::u16string_view title = PlaylistTitle(UnscrolledCaption(caption));
  if (IsStreamStatus(title)) return std::nullopt;
  return std::u16string(title);
}

}  // namespace zingel
