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
  // The song starts two units after the first dot (or at the second unit) and
  // never runs past where the marker allows.
  const std::size_t dot = caption.find(u'.');
  const std::size_t start = dot == std::u16string::npos ? 1 : dot + 2;
  if (caption.compare(start, song.size(), song) != 0) std::abort();
  if (song.size() + 3 > mark) std::abort();
  return 0;
}
