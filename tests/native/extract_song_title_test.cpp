#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "player/song_title.h"

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
};

TEST(ExtractSongTitle, FollowsTheCaptionFormat) {
  for (const ExtractCase& c : kCases) {
    EXPECT_EQ(ExtractSongTitle(c.caption), std::u16string(c.song))
        << "caption of " << std::u16string(c.caption).size() << " units";
  }
}

TEST(ExtractSongTitle, ReadsAStreamStatusAsNoNews) {
  // Before the title or in its place, the percentages any number; scrolled too.
  constexpr const char16_t* kTitles[] = {u"[Connecting] http://host:8000/stream",
                                         u"[Buffer: 42%] Station - Song",
                                         u"[Buffer: 100%] x",
                                         u"[Reading ID3] Station",
                                         u"[Stream temporarily interrupted] Artist - Song",
                                         u"[Stream terminated] x",
                                         u"[timed out] x",
                                         u"[Error syncing to stream] x",
                                         u"[access denied] x",
                                         u"[server full] x",
                                         u"[Buffering: 7%]file.mp3",
                                         u"[Buffering (42%)] file",
                                         u"[buffering]",
                                         u"[Opening] x",
                                         u"[Locating] x",
                                         u"Connecting...",
                                         u"Prebuffering : 42%"};
  for (const char16_t* title : kTitles) {
    const std::u16string caption = u"3. " + std::u16string(title) + u" - Winamp [Paused]";
    EXPECT_EQ(ExtractSongTitle(caption), std::nullopt) << caption.size() << " units";
    EXPECT_EQ(ExtractSongTitle(caption.substr(5) + u" *** " + caption), std::nullopt);
  }
}

TEST(ExtractSongTitle, HandlesVeryLongCaptions) {
  const std::u16string song(65535, u'x');
  EXPECT_EQ(ExtractSongTitle(u"1. " + song + u" - Winamp"), song);
  EXPECT_EQ(ExtractSongTitle(std::u16string(65535, u'.')), u"");
  EXPECT_EQ(ExtractSongTitle(u"x *** " + song + u" - Winamp"), u"x *** " + song);
}

TEST(ExtractSongTitle, ReadsEveryScrollFrameAsTheCaptionItScrolls) {
  constexpr ExtractCase kScrolled[] = {
      {u"12. Artist - Title - Winamp", u"Artist - Title"},
      {u"Artist - Title - Winamp", u"Artist - Title"},
      {u"3. Artist - Title - Winamp [Paused]", u"Artist - Title"},
      {u"7. Foo *** Bar - Winamp", u"Foo *** Bar"},
      {u"7. Bar *** Bar - Winamp [Stopped]", u"Bar *** Bar"},
      {u"1. A - Winamp", u"A"},
  };
  for (const ExtractCase& c : kScrolled) {
    // A whole cycle, as the player shows it.
    const std::u16string caption = c.caption;
    std::vector<std::u16string> frames;
    for (std::size_t k = 0; k < caption.size(); ++k)
      frames.push_back(caption.substr(k) + u" *** " + caption);
    for (const char16_t* lead : {u" *** ", u"*** ", u"** "})
      frames.push_back(lead + caption + u" *** ");
    for (const std::u16string& frame : frames)
      EXPECT_EQ(ExtractSongTitle(frame), std::u16string(c.song)) << frame.size() << " units";
  }
}

}  // namespace
}  // namespace zingel
