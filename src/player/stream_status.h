#pragma once

#include <string_view>

namespace zingel {

// Whether a playlist title is a status the player shows while it connects to or buffers an
// internet radio stream: "[Connecting] http://...", "[Buffer: 42%] Station - Song" and the like
// before the title, or "Connecting..." or "Prebuffering : 42%" in its place.
bool IsStreamStatus(std::u16string_view title);

}  // namespace zingel
