// zingel-player: stands in for the media player. One top-level window of the
// player's class whose caption is the current song caption, changed by a
// playlist or by commands on standard input, each change logged.

#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "common.h"

namespace {

constexpr wchar_t kClassName[] = L"Winamp v1.x";

struct Entry {
  UINT ms;
  std::wstring caption;
};

// Lines "MILLISECONDS<TAB>CAPTION" in UTF-8; "#" comments and empty lines skipped.
bool ReadPlaylist(const std::wstring& path, std::vector<Entry>& entries) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (!file) {
    std::fprintf(stderr, "cannot open the playlist %s\n", standin::ToUtf8(path).c_str());
    return false;
  }
  std::string text;
  char chunk[4096];
  for (size_t count; (count = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
    text.append(chunk, count);
  }
  std::fclose(file);
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);  // Notepad's byte order mark
  size_t number = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line = std::string_view(text).substr(start, end - start);
    start = end + 1;
    ++number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty() || line.starts_with('#')) continue;
    const size_t tab = line.find('\t');
    UINT ms = 0;
    const auto parsed = std::from_chars(line.data(), line.data() + line.size(), ms);
    if (tab == std::string_view::npos || parsed.ptr != line.data() + tab) {
      std::fprintf(stderr, "playlist line %zu: want MILLISECONDS<TAB>CAPTION\n", number);
      return false;
    }
    entries.push_back({ms, standin::FromUtf8(line.substr(tab + 1))});
  }
  return true;
}

class Player {
 public:
  Player(std::vector<Entry> playlist, bool loop, standin::LogFile& log)
      : playlist_(std::move(playlist)), loop_(loop), log_(log) {
    instance_ = this;
  }

  void Start(const std::wstring& caption) {
    if (playlist_.empty()) {
      SetCaption(caption);
    } else {
      ShowEntry(0);
    }
    Open();
  }

  bool OnCommand(std::string_view word, std::string_view arg) {
    if (word == "caption") {
      SetCaption(standin::FromUtf8(arg));
    } else if (word == "close") {
      if (window_) DestroyWindow(window_);
    } else if (word == "open") {
      Open();
    } else {
      return false;
    }
    return true;
  }

  static bool Register() {
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = WndProc;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    window_class.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    window_class.lpszClassName = kClassName;
    if (RegisterClassExW(&window_class)) return true;
    std::fprintf(stderr, "cannot register the window class (error %lu)\n", GetLastError());
    return false;
  }

 private:
  void Open() {
    if (window_) return;
    if (!CreateWindowExW(0, kClassName, caption_.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                         480, 120, nullptr, nullptr, GetModuleHandleW(nullptr), this)) {
      std::fprintf(stderr, "cannot create the window (error %lu)\n", GetLastError());
    }
  }

  void SetCaption(std::wstring caption) {
    caption_ = std::move(caption);
    log_.Write(standin::ToUtf8(caption_));
    if (!window_) return;
    SetWindowTextW(window_, caption_.c_str());
    InvalidateRect(window_, nullptr, TRUE);
  }

  void ShowEntry(size_t index) {
    index_ = index;
    SetCaption(playlist_[index].caption);
    if (timer_) KillTimer(nullptr, timer_);
    timer_ = 0;
    if (!loop_ && index + 1 == playlist_.size()) return;  // The last caption stays.
    // A thread timer: the playlist goes on while the window is closed.
    timer_ = SetTimer(nullptr, 0, playlist_[index].ms, OnTimer);
    if (!timer_) std::fprintf(stderr, "cannot set the timer (error %lu)\n", GetLastError());
  }

  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    instance_->ShowEntry((instance_->index_ + 1) % instance_->playlist_.size());
  }

  void OnPaint(HWND window) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    RECT area;
    GetClientRect(window, &area);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, caption_.c_str(), -1, &area,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    EndPaint(window, &paint);
  }

  static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      auto* self = static_cast<Player*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
      self->window_ = window;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Player*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
      case WM_PAINT:
        self->OnPaint(window);
        return 0;
      case WM_CLOSE:  // Closed by hand: the program ends; the "close" command destroys only.
        DestroyWindow(window);
        PostQuitMessage(0);
        return 0;
      case WM_DESTROY:
        self->window_ = nullptr;
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
  }

  static Player* instance_;  // For the thread timer, which carries no data.
  std::vector<Entry> playlist_;
  bool loop_;
  standin::LogFile& log_;
  std::wstring caption_;
  HWND window_ = nullptr;
  size_t index_ = 0;
  UINT_PTR timer_ = 0;
};

Player* Player::instance_ = nullptr;

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const standin::Args args(argc, argv);
  standin::LogFile log(args.Text(L"log", L""));
  std::vector<Entry> playlist;
  if (log.Failed() ||
      (args.Has(L"playlist") && !ReadPlaylist(args.Text(L"playlist", L""), playlist)))
    return 2;
  if (!Player::Register()) return 1;
  Player player(std::move(playlist), args.Has(L"loop"), log);
  player.Start(args.Text(L"caption", L"1. Nobody - Nothing - Winamp"));
  if (!standin::StartCommandReader([&player](std::string_view word, std::string_view arg) {
        return player.OnCommand(word, arg);
      }))
    return 1;
  return standin::RunMessageLoop();
}
