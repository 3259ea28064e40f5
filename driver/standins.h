#pragma once
// The stand-in player and chat room (standins/), driven through their standard input (the
// commands of standins/protocol.h), and the logs of what reached them.

#include <string>
#include <vector>

#include "program.h"
#include "wait.h"

namespace zingel::driver {

struct LogLine {
  double seconds;    // the stand-in's performance counter
  std::string text;  // unescaped: the exact bytes
};

// The lines of a stand-in's log; none when the file does not exist.
std::vector<LogLine> ReadLog(const std::string& path);
// How many lines of the log hold exactly `text`.
size_t TimesLogged(const std::string& path, const std::string& text);

// A path in the temporary folder, unique to this process; any file left there by an earlier run
// is removed.
std::string TempPath(const std::string& name);

class Standin : public Program {
 public:
  // Starts it and waits until its window is complete.
  Standin(const std::string& exe, const std::vector<std::string>& args);

  // Started, and its window complete.
  bool Ready() const { return ready_; }

  // Sends one command line and waits, pumping messages, for its answer. The lines printed before
  // it go to *output. False on an error answer, a timeout or the end of the process.
  bool Command(const std::string& line, std::vector<std::string>* output = nullptr,
               DWORD timeout_ms = kDeadlineMs);
  // How often another program read it: the player's caption, the room's input box (WM_GETTEXT);
  // 0 if it does not answer.
  unsigned long Reads();

 private:
  bool ready_ = false;
};

class PlayerStandin : public Standin {
 public:
  using Standin::Standin;
  // Shows a caption (UTF-8); true once the window has it.
  bool Show(const std::string& caption);
  // Whether it raises the caption event (EVENT_OBJECT_NAMECHANGE) after each change from now on.
  bool SetEvents(bool on);
  // Raises the caption event `times` times in a row, the caption unchanged, events on or off.
  bool Notify(int times);
};

// The stand-in chat room, logging every line posted to a file of its own: in UTF-8, or with
// "--ansi" among its arguments, where its boxes are ANSI windows, as the code page's bytes.
class RoomStandin : public Standin {
 public:
  RoomStandin(const std::string& exe, const std::string& log_name,
              std::vector<std::string> args = {});
  ~RoomStandin();  // Kills it, then removes the log.

  const std::string& log() const { return log_; }
  // Every line posted so far, as logged.
  std::vector<std::string> Posted() const;
  bool WaitForLines(size_t count, DWORD timeout_ms = kDeadlineMs) const;
  // The room's transcript as it shows it, UTF-8 lines; empty if it does not answer.
  std::vector<std::string> Transcript();
  // The user: types a draft (UTF-8) into the input box, sends it, or empties the box and types
  // the draft again 50 ms later.
  bool Type(const std::string& draft);
  bool SendDraft();
  bool Retype(const std::string& draft);

 private:
  // The log path is made once, before the room starts: making it removes the file.
  RoomStandin(const std::string& exe, std::vector<std::string> args, std::string log_path);

  std::string log_;
};

// zingel's presence line and download link as a Unicode room logs them, in UTF-8.
std::vector<std::string> PresenceUtf8();
// The same as an ANSI room logs them under code page 1252, which holds every character of both.
std::vector<std::string> PresenceBytes1252();

}  // namespace zingel::driver
