// Fuzzes the caption parser: any caption, no crash, and a result that is the
// stretch of the caption the format describes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "player/winamp_api.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string caption;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    caption += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  }
  const std::u16string song = zingel::ExtractSongTitle(caption);

  const std::size_t mark = caption.find(u" - Winamp");
  if (mark == std::u16string::npos && !song.empty()) std::abort();
  if (song.empty()) return 0;
  // The song starts after a leading "N." and a space, or at the first unit,
  // and reaches the marker, less one trailing space.
  std::size_t digits = 0;
  while (digits < caption.size() && caption[digits] >= u'0' && caption[digits] <= u'9') ++digits;
  const bool numbered = digits > 0 && digits < caption.size() && caption[digits] == u'.';
  const std::size_t start = numbered ? digits + 2 : 0;
  if (caption.compare(start, song.size(), song) != 0) std::abort();
  const std::size_t end = start + song.size();
  if (end != mark && !(end + 1 == mark && caption[end] == u' ')) std::abort();
  return 0;
}
