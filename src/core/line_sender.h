#pragma once

#include <functional>
#include <string>

namespace zingel {

// Posts one line to the chat room, now or never: the presence lines.
using LineSender = std::function<void(const std::u16string&)>;

// Where the announcer's song lines go: to the room, or held while it cannot take them.
class SongLines {
 public:
  virtual ~SongLines() = default;
  // The line for the song now in the song box.
  virtual void Send(const std::u16string& line) = 0;
  // No song is announced any more: the song box emptied, or announcing stopped. A line not yet
  // in the room stays out.
  virtual void Drop() = 0;
};

}  // namespace zingel
