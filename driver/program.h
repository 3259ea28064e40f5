#pragma once
// Another program started and watched from ours: zingel, a stand-in, a probe.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace zingel::driver {

class Program {
 public:
  // exe: a Windows path, or a Unix one (given the Z: drive); args: UTF-8, one element per
  // argument. With `talk`, its standard input and output are pipes to us.
  explicit Program(const std::string& exe, const std::vector<std::string>& args = {},
                   bool talk = false);
  ~Program();  // Kills it if it still runs.
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Started() const { return process_ != nullptr; }
  HANDLE process() const { return process_; }
  DWORD id() const { return id_; }

  // Its first top-level window, in Z order, that `match` takes, or nullptr.
  HWND FindTopWindow(const std::function<bool(HWND)>& match) const;
  // Its top-level window of that class (and visible, if asked), or nullptr.
  HWND FindWindowOfClass(const char* class_name, bool visible = false) const;

  bool Exited() const;
  bool WaitForExit(DWORD timeout_ms) const;
  // STILL_ACTIVE while it runs.
  DWORD ExitCode() const;
  void Kill();

  // "/a/b" as "Z:\a\b": Wine maps the Unix root to Z:. Other paths unchanged.
  static std::string WindowsPath(const std::string& path);

 protected:
  // One line to its standard input.
  bool WriteLine(const std::string& line);
  // One line of its standard output if a whole one is there; never waits.
  bool ReadLine(std::string& line);

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
  HANDLE input_ = nullptr;
  HANDLE output_ = nullptr;
  std::string pending_;
};

std::string Utf8(const std::u16string& text);

}  // namespace zingel::driver
