#include "player/scroll.h"

#include <array>

namespace zingel {

namespace {
constexpr std::u16string_view kSeparator = u" *** ";
// What stands before C in the three frames that close a cycle.
constexpr std::array<std::u16string_view, 3> kLeads = {u" *** ", u"*** ", u"** "};
}  // namespace

std::u16string_view UnscrolledCaption(std::u16string_view caption) {
  // A plain caption ends with the player's name or a state in brackets, never with the separator.
  if (caption.ends_with(kSeparator)) {
    for (const std::u16string_view lead : kLeads) {
      if (caption.size() >= lead.size() + kSeparator.size() && caption.starts_with(lead))
        return caption.substr(lead.size(), caption.size() - lead.size() - kSeparator.size());
    }
  }
  // A tail of C, the separator, C. The first separator that splits the caption so wins; another
  // split would need a title holding the separator right after what the caption ends with
  // (" - Winamp", "[Paused]"), which no real title does.
  for (std::size_t at = caption.find(kSeparator); at != std::u16string_view::npos;
       at = caption.find(kSeparator, at + 1)) {
    const std::u16string_view tail = caption.substr(0, at);
    const std::u16string_view plain = caption.substr(at + kSeparator.size());
    if (!tail.empty() && plain.ends_with(tail)) return plain;
  }
  return caption;
}

}  // namespace zingel
