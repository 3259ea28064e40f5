#include <gtest/gtest.h>

#include "player/winamp_api.h"

namespace zingel {
namespace {

struct ExtractCase {
  const char16_t* caption;
  const char16_t* song;
};

constexpr ExtractCase kCases[] = {
    {u"1. Artist - Title - Winamp", u"Artist - Title"},
    {u"12. Artist - Title - Winamp", u"Artist - Title"},
    {u"12. Artist - Title - Winamp [Paused]", u"Artist - Title"},
    // Playlists of any length.
    {u"123. Artist - Title - Winamp", u"Artist - Title"},
    {u"1234. Artist - Title - Winamp", u"Artist - Title"},
    // No playlist number: the song starts at the first character.
    {u"Artist - Title - Winamp", u"Artist - Title"},
    {u"Mr. Blue Sky - Winamp", u"Mr. Blue Sky"},
    {u"123 - Winamp", u"123"},
    {u".5 - Winamp", u".5"},
    {u"9. A.B - Winamp", u"A.B"},
    {u"", u""},
    {u"Winamp 2.91", u""},
    {u" - Winamp", u""},
    {u" - Winamp 1. Song - Winamp", u""},
    // The song would start after the marker.
    {u"1. - Winamp", u""},
    // Only the first marker counts.
    {u"1. A - Winamp - Winamp", u"A"},
    // Only one trailing space is removed.
    {u"12. Song   - Winamp", u"Song "},
    // Case matters for the marker.
    {u"1. Song - winamp", u""},
    {u"1. \u00C9t\u00E9 \u2013 \u00A4 - Winamp", u"\u00C9t\u00E9 \u2013 \u00A4"},
};

TEST(ExtractSongTitle, FollowsTheCaptionFormat) {
  for (const ExtractCase& c : kCases) {
    EXPECT_EQ(ExtractSongTitle(c.caption), std::u16string(c.song))
        << "caption of " << std::u16string(c.caption).size() << " units";
  }
}

TEST(ExtractSongTitle, HandlesVeryLongCaptions) {
  const std::u16string song(65535, u'x');
  EXPECT_EQ(ExtractSongTitle(u"1. " + song + u" - Winamp"), song);
  EXPECT_EQ(ExtractSongTitle(std::u16string(65535, u'.')), u"");
}

}  // namespace
}  // namespace zingel
