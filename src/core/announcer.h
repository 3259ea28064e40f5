#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/announcer_view.h"
#include "core/line_sender.h"

namespace zingel {

// Gives the current song, "" for none, or no value while the player shows no news (a stream's
// status): then the song box keeps what it holds. Never throws.
using SongSource = std::function<std::optional<std::u16string>()>;

// Holds the song box and drives the view between idle and announcing; every
// change of the song box sends exactly one line, and an empty song box or a
// stop drops a line still waiting for the room. Whether it announces is the
// view's poll timer: the announcer keeps no flag of its own.
class Announcer {
 public:
  static constexpr const char16_t* kInitialSong = u"Current Song";

  // Uses `view` only from Start, Stop and Tick, so the view may be made
  // before or after it.
  Announcer(SongSource read_song, SongLines& song_lines, AnnouncerView& view);

  void Start();
  void Stop();
  void Tick();

  const std::u16string& SongBox() const { return song_box_; }

 private:
  // Sets the song box to the song read, unless the read brings no news.
  void ReadSong();
  // The only change detector: a text equal to the current one does nothing.
  void SetSongBox(std::u16string song);
  void SongBoxChanged();

  SongSource read_song_;
  SongLines& song_lines_;
  AnnouncerView& view_;
  std::u16string song_box_ = kInitialSong;
};

}  // namespace zingel
