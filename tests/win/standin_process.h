#pragma once
// Drives a stand-in program (zingel-player, zingel-chatroom) from a test: starts
// it with pipes on its standard input and output, sends commands and waits for
// their answers, reads its log.

#include <windows.h>

#include <string>
#include <vector>

namespace zingel::test {

struct LogLine {
  double seconds;    // the stand-in's performance counter
  std::string text;  // unescaped: the exact bytes
};

class StandinProcess {
 public:
  // exe: a Windows path, or a Unix one (given the Z: drive); args: UTF-8, one
  // element per argument. Started() tells whether it runs.
  StandinProcess(const std::string& exe, const std::vector<std::string>& args);
  ~StandinProcess();  // Kills it.
  StandinProcess(const StandinProcess&) = delete;
  StandinProcess& operator=(const StandinProcess&) = delete;

  bool Started() const { return process_ != nullptr; }

  // Sends one command line and waits, pumping messages, for "ok WORD". The
  // lines printed before that answer go to *output. False on an "error"
  // answer, a timeout or the end of the process.
  bool Command(const std::string& line, std::vector<std::string>* output = nullptr,
               DWORD timeout_ms = 20000);

  // The process's top-level window of that class, or nullptr.
  HWND FindWindowOfClass(const char* class_name) const;

  bool Exited() const;
  void Kill();

  // The lines of a stand-in's log; none when the file does not exist.
  static std::vector<LogLine> LogLines(const std::string& path);
  // "/a/b" as "Z:\a\b": Wine maps the Unix root to Z:. Other paths unchanged.
  static std::string WindowsPath(const std::string& path);

 private:
  bool ReadLine(std::string& line);

  HANDLE process_ = nullptr;
  DWORD process_id_ = 0;
  HANDLE input_ = nullptr;
  HANDLE output_ = nullptr;
  std::string pending_;
};

// A path in the temporary folder, unique to this test process; any file left
// there by an earlier run is removed.
std::string TempPath(const std::string& name);

// The stand-in chat room, logging to a temporary file of its own, and ready
// (its window complete) once constructed.
class ChatRoomStandin : public StandinProcess {
 public:
  ChatRoomStandin(const std::string& exe, const std::string& log_name,
                  std::vector<std::string> args = {});
  ~ChatRoomStandin();  // Kills it, then removes the log.

  const std::string& log() const { return log_; }
  // The exact bytes of every line posted so far.
  std::vector<std::string> Posted() const;

 private:
  // The log path is made once, before the room starts: making it removes the file.
  ChatRoomStandin(const std::string& exe, std::vector<std::string> args, std::string log_path);

  std::string log_;
};

// zingel's presence line and download link, as the room logs them.
std::vector<std::string> PresenceBytes();

}  // namespace zingel::test
