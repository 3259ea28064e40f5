#pragma once
// The caption parser of winampApi (the player/ folder: what zingel reads from the player).

#include <optional>
#include <string>
#include <string_view>

namespace zingel {

// The song in a player caption such as "12. Artist - Title - Winamp": what stands before the
// first " - Winamp", after the playlist number if the caption begins with one; "" when the
// caption lacks the marker. A frame of the scrolling title reads as the caption it scrolls. A
// title that is a stream's status holds no news: no value, the song is what it was.
std::optional<std::u16string> ExtractSongTitle(std::u16string_view caption);

}  // namespace zingel
