// Fuzzes the caption parser: any caption, no crash; a caption read as a scroll frame is exactly a
// frame of the caption it gives, and the song is the stretch of that caption the format describes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "player/scroll.h"
#include "player/song_title.h"

namespace {

// Whether `caption` is one of the player's scroll frames of `plain`.
bool IsFrameOf(std::u16string_view caption, std::u16string_view plain) {
  const std::u16string whole(plain);
  const std::size_t size = caption.size();
  if (size > plain.size() + 5 && size <= 2 * plain.size() + 5) {
    const std::size_t k = 2 * plain.size() + 5 - size;
    if (caption == whole.substr(k) + u" *** " + whole) return true;
  }
  for (const std::u16string lead : {u" *** ", u"*** ", u"** "}) {
    if (caption == lead + whole + u" *** ") return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string caption;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    caption += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  }
  const std::u16string_view plain = zingel::UnscrolledCaption(caption);
  if (plain.size() != caption.size() && !IsFrameOf(caption, plain)) std::abort();
  const std::optional<std::u16string> song = zingel::ExtractSongTitle(caption);

  const std::size_t mark = plain.find(u" - Winamp");
  if (mark == std::u16string::npos && song != u"") std::abort();
  if (!song || song->empty()) return 0;
  // The song starts after a leading "N." and a space, or at the first unit, and reaches the
  // marker, less one trailing space.
  std::size_t digits = 0;
  while (digits < plain.size() && plain[digits] >= u'0' && plain[digits] <= u'9') ++digits;
  const bool numbered = digits > 0 && digits < plain.size() && plain[digits] == u'.';
  const std::size_t start = numbered ? digits + 2 : 0;
  if (plain.compare(start, song->size(), *song) != 0) std::abort();
  const std::size_t end = start + song->size();
  if (end != mark && !(end + 1 == mark && plain[end] == u' ')) std::abort();
  return 0;
}
