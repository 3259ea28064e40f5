#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "player/winamp_api.h"

namespace zingel {
namespace {

// A stream's status: no news.
constexpr const char16_t* kNoNews = nullptr;

struct ExtractCase {
  const char16_t* caption;
  const char16_t* song;
};

std::optional<std::u16string> Expected(const char16_t* song) {
  if (song == kNoNews) return std::nullopt;
  return song;
}

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
    {u"Winamp 5.9.2 Build 10042", u""},
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
    // A plain caption holding the scroll separator is no frame.
    {u"7. Foo *** Bar - Winamp", u"Foo *** Bar"},
    {u"7. Bar *** Bar - Winamp", u"Bar *** Bar"},
    // Stream statuses before the title or in its place, the percentages any number.
    {u"3. [Connecting] http://host:8000/stream - Winamp", kNoNews},
    {u"3. [Buffer: 42%] Station - Song - Winamp", kNoNews},
    {u"[Buffer: 100%] Station - Song - Winamp [Paused]", kNoNews},
    {u"3. [Reading ID3] Station - Winamp", kNoNews},
    {u"3. [Stream temporarily interrupted] Artist - Song - Winamp", kNoNews},
    {u"3. [Stream terminated] x - Winamp", kNoNews},
    {u"3. [timed out] x - Winamp", kNoNews},
    {u"3. [Error syncing to stream] x - Winamp", kNoNews},
    {u"3. [access denied] x - Winamp", kNoNews},
    {u"3. [server full] x - Winamp", kNoNews},
    {u"3. [Buffering: 7%]file.mp3 - Winamp", kNoNews},
    {u"3. [Buffering (42%)] file - Winamp", kNoNews},
    {u"3. [buffering] - Winamp", kNoNews},
    {u"3. [Opening] x - Winamp", kNoNews},
    {u"3. [Locating] x - Winamp", kNoNews},
    {u"3. Connecting... - Winamp", kNoNews},
    {u"3. Prebuffering : 42% - Winamp", kNoNews},
    // Other brackets and near misses are songs.
    {u"3. [Live] Band - Song - Winamp", u"[Live] Band - Song"},
    {u"3. [Buffer: %] x - Winamp", u"[Buffer: %] x"},
    {u"3. [Buffer: 4x%] x - Winamp", u"[Buffer: 4x%] x"},
    {u"3. [connecting] x - Winamp", u"[connecting] x"},
    {u"3. Connecting... again - Winamp", u"Connecting... again"},
    {u"3. Prebuffering : 42%! - Winamp", u"Prebuffering : 42%!"},
    {u"3. x [Connecting] - Winamp", u"x [Connecting]"},
};

TEST(ExtractSongTitle, FollowsTheCaptionFormat) {
  for (const ExtractCase& c : kCases) {
    EXPECT_EQ(ExtractSongTitle(c.caption), Expected(c.song))
        << "caption of " << std::u16string(c.caption).size() << " units";
  }
}

TEST(ExtractSongTitle, HandlesVeryLongCaptions) {
  const std::u16string song(65535, u'x');
  EXPECT_EQ(ExtractSongTitle(u"1. " + song + u" - Winamp"), song);
  EXPECT_EQ(ExtractSongTitle(std::u16string(65535, u'.')), u"");
  EXPECT_EQ(ExtractSongTitle(u"x *** " + song + u" - Winamp"), u"x *** " + song);
}

// The player's frames of a scrolling caption, a whole cycle, as it shows them.
std::vector<std::u16string> ScrollCycle(const std::u16string& caption) {
  std::vector<std::u16string> frames;
  for (std::size_t k = 0; k < caption.size(); ++k)
    frames.push_back(caption.substr(k) + u" *** " + caption);
  for (const std::u16string lead : {u" *** ", u"*** ", u"** "})
    frames.push_back(lead + caption + u" *** ");
  return frames;
}

TEST(ExtractSongTitle, ReadsEveryScrollFrameAsTheCaptionItScrolls) {
  constexpr ExtractCase kScrolled[] = {
      {u"12. Artist - Title - Winamp", u"Artist - Title"},
      {u"Artist - Title - Winamp", u"Artist - Title"},
      {u"3. Artist - Title - Winamp [Paused]", u"Artist - Title"},
      {u"7. Foo *** Bar - Winamp", u"Foo *** Bar"},
      {u"7. Bar *** Bar - Winamp [Stopped]", u"Bar *** Bar"},
      {u"1. A - Winamp", u"A"},
      {u"A - Winamp", u"A"},
      {u"3. [Buffer: 42%] Station - Song - Winamp", kNoNews},
  };
  for (const ExtractCase& c : kScrolled) {
    for (const std::u16string& frame : ScrollCycle(c.caption)) {
      EXPECT_EQ(ExtractSongTitle(frame), Expected(c.song))
          << "a frame of " << frame.size() << " units";
    }
  }
}

}  // namespace
}  // namespace zingel
