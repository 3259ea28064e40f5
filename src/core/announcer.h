#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace zingel {

// The decorations offered in the prefix box, in the order shown.
inline constexpr std::array<const char16_t*, 5> PrefixChoices = {u"-=(", u"-=(\u00A4", u"-=[",
                                                                 u"-=[\u00A4", u"-=>"};

// The chat line for a song: the prefix in bold, a space, then the song with
// "&", "<" and ">" written as entities. The prefix is markup the user chose.
std::u16string SongLine(const std::u16string& prefix, const std::u16string& song);

// What the announcer drives in the main window.
class AnnouncerView {
 public:
  virtual ~AnnouncerView() = default;
  virtual void ShowSong(const std::u16string& song) = 0;
  virtual void SetPrefixBoxEnabled(bool enabled) = 0;
  virtual void SetStartEnabled(bool enabled) = 0;
  virtual void SetStopEnabled(bool enabled) = 0;
  // While enabled, every tick of the poll timer must reach Announcer::Tick.
  virtual void SetTimerEnabled(bool enabled) = 0;
  virtual std::u16string ReadPrefixText() = 0;
};

// Gives the current song, "" for none, or no value while the player shows no news (a stream's
// status): then the song box keeps what it holds. Never throws.
using SongSource = std::function<std::optional<std::u16string>()>;
// Posts one line to the chat room; reports nothing.
using LineSender = std::function<void(const std::u16string&)>;

// Holds the song box and the on/off state; every change of the song box sends
// exactly one line.
class Announcer {
 public:
  static constexpr const char16_t* kInitialSong = u"Current Song";

  Announcer(SongSource read_song, LineSender send_line, AnnouncerView& view);

  void Start();
  void Stop();
  void Tick();

  const std::u16string& SongBox() const { return song_box_; }
  bool Running() const { return running_; }

 private:
  // Sets the song box to the song read, unless the read brings no news.
  void ReadSong();
  // The only change detector: a text equal to the current one does nothing.
  void SetSongBox(std::u16string song);
  void SongBoxChanged();

  SongSource read_song_;
  LineSender send_line_;
  AnnouncerView& view_;
  std::u16string song_box_ = kInitialSong;
  bool running_ = false;
};

}  // namespace zingel
