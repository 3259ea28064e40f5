// The caption parser: the song in a player caption, every frame of a scrolling title read as the
// caption it scrolls, and a radio stream's statuses read as no news.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "player/song_title.h"

namespace zingel {
namespace {

struct ExtractCase {
  std::u16string caption;
  std::u16string song;
};

const std::u16string kLongest(65535, u'x');

const ExtractCase kCases[] = {
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
    // Brackets that are no stream's status, and near misses, are songs.
    {u"3. [Live] Band - Song - Winamp", u"[Live] Band - Song"},
    {u"3. [Buffer: %] x - Winamp", u"[Buffer: %] x"},
    {u"3. Connecting... again - Winamp", u"Connecting... again"},
    {u"3. x [Connecting] - Winamp", u"x [Connecting]"},
    // The longest caption a read gives.
    {u"1. " + kLongest + u" - Winamp", kLongest},
    {std::u16string(65535, u'.'), u""},
    {u"x *** " + kLongest + u" - Winamp", u"x *** " + kLongest},
};

TEST(ExtractSongTitle, FollowsTheCaptionFormat) {
  for (const ExtractCase& c : kCases) {
    EXPECT_EQ(ExtractSongTitle(c.caption), c.song) << "caption of " << c.caption.size() << " units";
  }
}

TEST(ExtractSongTitle, ReadsAStreamStatusAsNoNews) {
  // Before the title or in its place, any percentage; scrolled too. A few of the statuses: one
  // plain, and each kind of number.
  constexpr const char16_t* kTitles[] = {u"[Connecting] http://host:8000/stream",
                                         u"[Buffer: 42%] Station - Song",
                                         u"[Buffer: 100%] x",
                                         u"[Buffering: 7%]file.mp3",
                                         u"[Buffering (42%)] file",
                                         u"Connecting...",
                                         u"Prebuffering : 42%"};
  for (const char16_t* title : kTitles) {
    const std::u16string caption = u"3. " + std::u16string(title) + u" - Winamp [Paused]";
    EXPECT_EQ(ExtractSongTitle(caption), std::nullopt) << caption.size() << " units";
    EXPECT_EQ(ExtractSongTitle(caption.substr(5) + u" *** " + caption), std::nullopt);
  }
}

TEST(ExtractSongTitle, ReadsEveryScrollFrameAsTheCaptionItScrolls) {
  const ExtractCase kScrolled[] = {
      {u"12. Artist - Title - Winamp", u"Artist - Title"},
      {u"Artist - Title - Winamp", u"Artist - Title"},
      {u"3. Artist - Title - Winamp [Paused]", u"Artist - Title"},
      {u"7. Foo *** Bar - Winamp", u"Foo *** Bar"},
      {u"7. Bar *** Bar - Winamp [Stopped]", u"Bar *** Bar"},
      {u"1. A - Winamp", u"A"},
  };
  for (const ExtractCase& c : kScrolled) {
    // A whole cycle, as the player shows it.
    std::vector<std::u16string> frames;
    for (std::size_t k = 0; k < c.caption.size(); ++k)
      frames.push_back(c.caption.substr(k) + u" *** " + c.caption);
    for (const char16_t* lead : {u" *** ", u"*** ", u"** "})
      frames.push_back(lead + c.caption + u" *** ");
    for (const std::u16string& frame : frames)
      EXPECT_EQ(ExtractSongTitle(frame), c.song) << frame.size() << " units";
  }
}

}  // namespace
}  // namespace zingel
