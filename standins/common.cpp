#include "common.h"

#include <charconv>
#include <cstdio>
#include <cwchar>
#include <memory>

namespace standin {

int Args::Find(std::wstring_view name) const {
  for (int i = 1; i < argc_; ++i) {
    const std::wstring_view arg = argv_[i];
    if (arg.size() == name.size() + 2 && arg.starts_with(L"--") && arg.substr(2) == name) return i;
  }
  return -1;
}

std::wstring Args::Text(std::wstring_view name, std::wstring_view fallback) const {
  const int i = Find(name);
  return std::wstring(i > 0 && i + 1 < argc_ ? std::wstring_view(argv_[i + 1]) : fallback);
}

int Args::Number(std::wstring_view name, int fallback) const {
  const std::wstring text = Text(name, L"");
  wchar_t* end = nullptr;
  const long value = std::wcstol(text.c_str(), &end, 10);
  return text.empty() || *end != L'\0' || value < 0 || value > 1000 ? fallback
                                                                    : static_cast<int>(value);
}

LogFile::LogFile(const std::wstring& path) {
  if (path.empty()) return;
  // Shared for reading and writing: tests read the log while the program runs.
  file_ = CreateFileW(path.c_str(), FILE_APPEND_DATA,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file_ == INVALID_HANDLE_VALUE) {
    failed_ = true;
    std::fprintf(stderr, "cannot open the log file %s (error %lu)\n", ToUtf8(path).c_str(),
                 GetLastError());
  }
}

LogFile::~LogFile() {
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

void LogFile::Write(std::string_view bytes) {
  if (file_ == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  const std::string line =
      LogLine(static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart), bytes);
  DWORD written = 0;
  // One write per line, flushed, so a reader never waits for a buffer.
  if (!WriteFile(file_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
      !FlushFileBuffers(file_)) {
    std::fprintf(stderr, "cannot write the log file (error %lu)\n", GetLastError());
  }
}

void PrintLine(std::string_view text) {
  const std::string line = std::string(text) + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written,
            nullptr);  // Nobody listening is fine.
}

namespace {

constexpr UINT kCommandMessage = WM_APP + 1;
CommandHandler g_handler;

void RunCommand(std::string_view line) {
  const auto [word, arg] = Split(line);
  if (word.empty()) return;
  if (word == command::kHang) {
    unsigned ms = 0;
    if (std::from_chars(arg.data(), arg.data() + arg.size(), ms).ec != std::errc()) {
      PrintLine(CommandLine(kError, "hang needs milliseconds"));
      return;
    }
    // Answered first: the driver learns the hang began, then sees no answers.
    PrintLine(CommandLine(kOk, word));
    Sleep(ms);
    return;
  }
  // Commands are read once the window is made: at a ping it is complete.
  if (word == command::kQuit) PostQuitMessage(0);
  const bool known = word == command::kPing || word == command::kQuit || g_handler(word, arg);
  PrintLine(known ? CommandLine(kOk, word)
                  : CommandLine(kError, "unknown command " + std::string(word)));
}

LRESULT CALLBACK CommandWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message != kCommandMessage) return DefWindowProcW(window, message, wparam, lparam);
  const std::unique_ptr<std::string> line(reinterpret_cast<std::string*>(lparam));
  RunCommand(*line);
  return 0;
}

DWORD WINAPI ReadCommands(void* target) {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  const bool console = GetConsoleMode(input, &mode) != 0;
  std::string pending;
  for (;;) {
    if (console) {
      wchar_t chunk[256];
      DWORD count = 0;
      if (!ReadConsoleW(input, chunk, 256, &count, nullptr) || count == 0) break;
      pending += ToUtf8(std::wstring_view(chunk, count));
    } else {
      char chunk[512];
      DWORD count = 0;
      if (!ReadFile(input, chunk, sizeof chunk, &count, nullptr) || count == 0) break;
      pending.append(chunk, count);
    }
    for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
      auto line = std::make_unique<std::string>(pending.substr(0, end));
      pending.erase(0, end + 1);
      if (!line->empty() && line->back() == '\r') line->pop_back();
      if (PostMessageW(static_cast<HWND>(target), kCommandMessage, 0,
                       reinterpret_cast<LPARAM>(line.get()))) {
        line.release();  // The window owns it now.
      }
    }
  }
  return 0;  // End of input: the program lives on for its window.
}

}  // namespace

bool StartCommandReader(CommandHandler handler) {
  g_handler = std::move(handler);
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = CommandWindowProc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"ZingelStandinCommands";
  // A message-only window: it outlives the visible one and no FindWindow sees it.
  HWND target = nullptr;
  if (RegisterClassExW(&window_class)) {
    target = CreateWindowExW(0, window_class.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                             nullptr, window_class.hInstance, nullptr);
  }
  HANDLE thread = target ? CreateThread(nullptr, 0, ReadCommands, target, 0, nullptr) : nullptr;
  if (!thread) {
    std::fprintf(stderr, "cannot start the command reader (error %lu)\n", GetLastError());
    return false;
  }
  CloseHandle(thread);
  return true;
}

int RunMessageLoop() {
  MSG message;
  BOOL result;
  while ((result = GetMessageW(&message, nullptr, 0, 0)) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return result == 0 ? static_cast<int>(message.wParam) : 1;
}

}  // namespace standin
