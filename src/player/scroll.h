#pragma once

#include <string_view>

namespace zingel {

// The caption that a frame of the player's scrolling title shows, or the caption itself when it is
// no frame. With the option to scroll its title, the player shows, for a caption C, the frames
// C[k:] + " *** " + C for k = 0 ... len(C) - 1, then " *** " + C + " *** ", "*** " + C + " *** "
// and "** " + C + " *** ", and over again. The result is a view into `caption`.
std::u16string_view UnscrolledCaption(std::u16string_view caption);

}  // namespace zingel
