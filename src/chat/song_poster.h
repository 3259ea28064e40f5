#pragma once

#include <optional>
#include <string>

#include "chat/chat_room.h"
#include "core/clock.h"
#include "core/line_sender.h"

namespace zingel {

// The song lines' way into the room, which never types over the user and loses no song. A line
// that finds the input box holding the user's draft, or a room that does not answer, is held;
// a newer song's line takes its place, and so does none when no song is announced any more. The
// poll tries it again: it goes out once the box has been found empty on two looks about 0.1 s
// apart (a user who has just sent a message may start the next at once), and is dropped when it
// is the line the room got last, or when there is no room any more.
class SongPoster final : public SongLines {
 public:
  SongPoster(ChatRoomSender& room, Clock& clock) : room_(room), clock_(clock) {}

  void Send(const std::u16string& line) override;
  void Drop() override;

  // From the poll, as often as it likes: looks at the room for a held line when it is time, at
  // most 5 times a second, and does nothing while no line is held. Gives whether one still is.
  bool Retry();
  bool Holding() const { return held_.has_value(); }

  // Looks at the room for a held line come every kLookGap seconds on average; the look that
  // writes comes kSettleGap after the one that found the box empty, and when it finds it busy
  // again, the next waits for the time it took early.
  static constexpr double kLookGap = 0.2;
  static constexpr double kSettleGap = 0.1;

 private:
  void Hold(const std::u16string& line);
  void Posted(const std::u16string& line);

  ChatRoomSender& room_;
  Clock& clock_;
  std::optional<std::u16string> held_;
  std::u16string last_posted_;  // the last song line the room got
  double next_look_ = 0;        // when the room is looked at next for the held line
  bool found_free_ = false;     // the last look found its input box empty
};

}  // namespace zingel
