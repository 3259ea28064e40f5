#pragma once

#include <string>

namespace zingel {

// The chat line for a song: the prefix in bold, a space, then the song with
// "&", "<" and ">" written as entities. The prefix is markup the user chose.
std::u16string SongLine(const std::u16string& prefix, const std::u16string& song);

}  // namespace zingel
