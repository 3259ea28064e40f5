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

}  // namespace zingel::test
