#pragma once

#include <string>

namespace zingel {

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

}  // namespace zingel
