#include "chat/song_poster.h"

namespace zingel {

namespace {
constexpr double kEarly = 0.002;
}  // namespace

void SongPoster::Send(const std::u16string& line) {
  // A line already waits for the user: the newer one waits in its place, under the same rule.
  if (held_) {
    Hold(line);
    return;
  }
  switch (room_.SendChatLine(line)) {
    case InputBox::kFree:
      Posted(line);
      return;
    case InputBox::kBusy:
      next_look_ = clock_.Seconds() + kLookGap;
      found_free_ = false;
      Hold(line);
      return;
    case InputBox::kNoRoom:
      return;  // nowhere to go: lost, as with no chat client at all
  }
}

void SongPoster::Drop() {
  held_.reset();
  found_free_ = false;
}

bool SongPoster::Retry() {
  if (!held_) return false;
  const double now = clock_.Seconds();
  // A tick a hair early still counts, or the looks would slip a whole tick.
  if (now < next_look_ - kEarly) return true;
  // The first look only reads; the second, the send's own read, writes if the box is still empty.
  const InputBox found = found_free_ ? room_.SendChatLine(*held_) : room_.CheckInputBox();
  if (found == InputBox::kNoRoom) {
    Drop();
  } else if (found == InputBox::kBusy) {
    next_look_ = now + (found_free_ ? 2 * kLookGap - kSettleGap : kLookGap);
    found_free_ = false;
  } else if (found_free_) {
    Posted(*held_);
  } else {
    next_look_ = now + kSettleGap;
    found_free_ = true;
  }
  return held_.has_value();
}

void SongPoster::Hold(const std::u16string& line) {
  // The room has this song already: the user typed over a flicker of the player.
  if (line == last_posted_) {
    Drop();
    return;
  }
  held_ = line;
}

void SongPoster::Posted(const std::u16string& line) {
  last_posted_ = line;
  Drop();
}

}  // namespace zingel
