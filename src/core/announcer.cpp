#include "core/announcer.h"

#include <utility>

namespace zingel {

std::u16string SongLine(const std::u16string& prefix, const std::u16string& song) {
  std::u16string line;
  line.reserve(prefix.size() + song.size() + 8);
  line += u"<b>";
  line += prefix;
  line += u"</b> ";
  // Tags and stream titles are anyone's text: in the chat it must read as
  // text, not as markup posted under the user's name.
  for (const char16_t c : song) {
    switch (c) {
      case u'&':
        line += u"&amp;";
        break;
      case u'<':
        line += u"&lt;";
        break;
      case u'>':
        line += u"&gt;";
        break;
      default:
        line += c;
    }
  }
  return line;
}

Announcer::Announcer(SongSource read_song, LineSender send_line, AnnouncerView& view)
    : read_song_(std::move(read_song)), send_line_(std::move(send_line)), view_(view) {}

void Announcer::Start() {
  view_.SetPrefixBoxEnabled(false);
  view_.SetStartEnabled(false);
  view_.SetStopEnabled(true);
  ReadSong();
  view_.SetTimerEnabled(true);
  running_ = true;
}

void Announcer::Stop() {
  view_.SetStartEnabled(true);
  view_.SetStopEnabled(false);
  view_.SetTimerEnabled(false);
  running_ = false;
  view_.SetPrefixBoxEnabled(true);
}

void Announcer::Tick() {
  ReadSong();
}

void Announcer::ReadSong() {
  if (std::optional<std::u16string> song = read_song_()) SetSongBox(std::move(*song));
}

void Announcer::SetSongBox(std::u16string song) {
  if (song == song_box_) return;
  song_box_ = std::move(song);
  view_.ShowSong(song_box_);
  SongBoxChanged();
}

void Announcer::SongBoxChanged() {
  if (song_box_.empty()) return;
  send_line_(SongLine(view_.ReadPrefixText(), song_box_));
}

}  // namespace zingel
