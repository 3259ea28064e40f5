// zingel-player: stands in for the media player. One top-level window of the
// player's class whose caption is the current song caption, changed by a
// playlist or by commands on standard input, and scrolled as the player
// scrolls its title if asked; each change logged. A Unicode window, or with
// --ansi an ANSI one, which holds its caption in the code page.

#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "common.h"
#include "playlist.h"

namespace {

using standin::PlaylistEntry;

// Frame k of a scrolling caption C: C[k:] + " *** " + C for k below len(C), then the three that
// close the cycle, as the player shows them with "Scroll title in the Windows taskbar" on.
std::wstring ScrollFrame(const std::wstring& caption, size_t k) {
  if (k < caption.size()) return caption.substr(k) + L" *** " + caption;
  constexpr const wchar_t* kLeads[] = {L" *** ", L"*** ", L"** "};
  return kLeads[k - caption.size()] + caption + L" *** ";
}

class Player {
 public:
  Player(std::vector<PlaylistEntry> playlist, bool loop, standin::LogFile& log)
      : playlist_(std::move(playlist)), loop_(loop), log_(log) {
    instance_ = this;
  }

  void Start(const std::wstring& caption, UINT scroll_ms) {
    scroll_ms_ = scroll_ms;
    if (playlist_.empty()) {
      SetCaption(caption);
    } else {
      ShowEntry(0);
    }
    Open();
  }

  bool OnCommand(std::string_view word, std::string_view arg) {
    namespace command = standin::command;
    if (word == command::kCaption) {
      SetCaption(standin::FromUtf8(arg));
    } else if (word == command::kClose) {
      if (window_) DestroyWindow(window_);
    } else if (word == command::kOpen) {
      Open();
    } else if (word == command::kReads) {
      standin::PrintLine(std::string(word) + " " + std::to_string(reads_));
    } else if (word == command::kScroll) {
      UINT ms = 0;
      if (std::from_chars(arg.data(), arg.data() + arg.size(), ms).ec != std::errc()) return false;
      Scroll(ms);
    } else {
      return false;
    }
    return true;
  }

  // Scrolls the caption, a frame every `ms` (the player's own: 200), from its start; 0 stops.
  void Scroll(UINT ms) {
    scroll_ms_ = ms;
    SetCaption(caption_);
  }

  static bool Register(bool ansi) {
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = ansi ? WndProc<true> : WndProc<false>;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    window_class.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    window_class.lpszClassName = standin::kPlayerClass.wide;
    if (ansi ? RegisterAnsi(window_class) : RegisterClassExW(&window_class) != 0) return true;
    std::fprintf(stderr, "cannot register the window class (error %lu)\n", GetLastError());
    return false;
  }

 private:
  void Open() {
    if (window_) return;
    if (!CreateWindowExW(0, standin::kPlayerClass.wide, caption_.c_str(),
                         WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 480, 120, nullptr, nullptr,
                         GetModuleHandleW(nullptr), this)) {
      std::fprintf(stderr, "cannot create the window (error %lu)\n", GetLastError());
    }
  }

  // A new title shows plain first, and its frames start again at k = 0.
  void SetCaption(std::wstring caption) {
    caption_ = std::move(caption);
    frame_ = 0;
    Show(caption_);
    if (window_) InvalidateRect(window_, nullptr, TRUE);
    if (scroll_timer_) KillTimer(nullptr, scroll_timer_);
    scroll_timer_ = scroll_ms_ ? SetTimer(nullptr, 0, scroll_ms_, OnScrollTimer) : 0;
    if (scroll_ms_ && !scroll_timer_)
      std::fprintf(stderr, "cannot set the scroll timer (error %lu)\n", GetLastError());
  }

  void Show(const std::wstring& text) {
    log_.Write(standin::ToUtf8(text));
    if (!window_) return;
    if (IsWindowUnicode(window_)) {
      SetWindowTextW(window_, text.c_str());
    } else {
      SetWindowTextA(window_, standin::ToAnsi(text).c_str());
    }
  }

  static void CALLBACK OnScrollTimer(HWND, UINT, UINT_PTR, DWORD) {
    Player& self = *instance_;
    self.Show(ScrollFrame(self.caption_, self.frame_));
    self.frame_ = (self.frame_ + 1) % (self.caption_.size() + 3);
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

  // The same class with the A functions: its procedure is then an ANSI one.
  static bool RegisterAnsi(const WNDCLASSEXW& wide) {
    WNDCLASSEXA window_class = {};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = wide.lpfnWndProc;
    window_class.hInstance = wide.hInstance;
    window_class.hCursor = wide.hCursor;
    window_class.hIcon = wide.hIcon;
    window_class.hbrBackground = wide.hbrBackground;
    window_class.lpszClassName = standin::kPlayerClass.ansi;
    return RegisterClassExA(&window_class) != 0;
  }

  template <bool kAnsi>
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
      case WM_GETTEXT:  // a read of the caption, counted
        ++self->reads_;
        break;
      case WM_CLOSE:  // Closed by hand: the program ends; the "close" command destroys only.
        DestroyWindow(window);
        PostQuitMessage(0);
        return 0;
      case WM_DESTROY:
        self->window_ = nullptr;
        return 0;
    }
    return kAnsi ? DefWindowProcA(window, message, wparam, lparam)
                 : DefWindowProcW(window, message, wparam, lparam);
  }

  static Player* instance_;  // For the thread timers, which carry no data.
  std::vector<PlaylistEntry> playlist_;
  bool loop_;
  standin::LogFile& log_;
  std::wstring caption_;  // the title's caption, plain
  size_t frame_ = 0;      // the next scroll frame
  UINT scroll_ms_ = 0;
  UINT_PTR scroll_timer_ = 0;
  HWND window_ = nullptr;
  size_t index_ = 0;
  UINT_PTR timer_ = 0;
  unsigned long reads_ = 0;
};

Player* Player::instance_ = nullptr;

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const standin::Args args(argc, argv);
  standin::LogFile log(args.Text(L"log", L""));
  std::vector<PlaylistEntry> playlist;
  if (log.Failed() ||
      (args.Has(L"playlist") && !standin::ReadPlaylist(args.Text(L"playlist", L""), playlist)))
    return 2;
  if (!Player::Register(args.Has(L"ansi"))) return 1;
  Player player(std::move(playlist), args.Has(L"loop"), log);
  player.Start(args.Text(L"caption", L"1. Nobody - Nothing - Winamp"),
               static_cast<UINT>(args.Number(L"scroll", 0)));
  if (!standin::StartCommandReader([&player](std::string_view word, std::string_view arg) {
        return player.OnCommand(word, arg);
      }))
    return 1;
  return standin::RunMessageLoop();
}
