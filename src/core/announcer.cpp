#include "core/announcer.h"

#include <utility>

#include "core/song_line.h"

namespace zingel {

Announcer::Announcer(SongSource read_song, SongLines& song_lines, AnnouncerView& view)
    : read_song_(std::move(read_song)), song_lines_(song_lines), view_(view) {}

void Announcer::Start() {
  view_.SetPrefixBoxEnabled(false);
  view_.SetStartEnabled(false);
  view_.SetStopEnabled(true);
  ReadSong();
  view_.SetTimerEnabled(true);
}

void Announcer::Stop() {
  view_.SetStartEnabled(true);
  view_.SetStopEnabled(false);
  view_.SetTimerEnabled(false);
  song_lines_.Drop();
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
  if (song_box_.empty()) {
    song_lines_.Drop();
    return;
  }
  song_lines_.Send(SongLine(view_.ReadPrefixText(), song_box_));
}

}  // namespace zingel
