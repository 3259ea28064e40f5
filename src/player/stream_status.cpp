#include "player/stream_status.h"

#include <optional>

#include "player/digits.h"

namespace zingel {

namespace {
// '#' stands for a number: one or more digits.
constexpr std::u16string_view kStatusesBeforeTitle[] = {
    u"[Connecting]",
    u"[Buffer: #%]",
    u"[Reading ID3]",
    u"[Stream temporarily interrupted]",
    u"[Stream terminated]",
    u"[timed out]",
    u"[Error syncing to stream]",
    u"[access denied]",
    u"[server full]",
    u"[Buffering: #%]",
    u"[Buffering (#%)]",
    u"[buffering]",
    u"[Opening]",
    u"[Locating]",
};
constexpr std::u16string_view kStatusesForTitle[] = {u"Connecting...", u"Prebuffering : #%"};

// How much of the start of `text` the pattern matches, if it does.
std::optional<std::size_t> MatchAtStart(std::u16string_view pattern, std::u16string_view text) {
  std::size_t at = 0;
  for (const char16_t c : pattern) {
    if (c == u'#') {
      const std::size_t digits = at;
      while (at < text.size() && IsAsciiDigit(text[at])) ++at;
      if (at == digits) return std::nullopt;
    } else if (at == text.size() || text[at++] != c) {
      return std::nullopt;
    }
  }
  return at;
}
}  // namespace

bool IsStreamStatus(std::u16string_view title) {
  for (const std::u16string_view status : kStatusesBeforeTitle) {
    if (MatchAtStart(status, title)) return true;
  }
  for (const std::u16string_view status : kStatusesForTitle) {
    if (MatchAtStart(status, title) == title.size()) return true;
  }
  return false;
}

}  // namespace zingel
