// zingel-player: stands in for the media player. One top-level window of the
// player's class whose caption is the current song caption, changed by a
// playlist or by commands on standard input, and scrolled as the player
// scrolls its title if asked; each change logged. A Unicode window, or with
// --ansi an ANSI one, which holds its caption in the code page. After each
// change it raises the caption event, as Windows does, unless --no-events.

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
  Player(std::vector<PlaylistEntry> playlist, bool loop, bool events, standin::LogFile& log)
      : playlist_(std::move(playlist)), loop_(loop), events_(events), log_(log) {}

  // The window, made with the first caption, which then counts as shown.
  bool Start(const std::wstring& caption, UINT scroll_ms) {
    scroll_ms_ = scroll_ms;
    caption_ = playlist_.empty() ? caption : playlist_[0].caption;
    if (!CreateWindowExW(0, standin::kPlayerClass.wide, caption_.c_str(),
                         WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 480, 120, nullptr, nullptr,
                         GetModuleHandleW(nullptr), this)) {
      std::fprintf(stderr, "cannot create the window (error %lu)\n", GetLastError());
      return false;
    }
    if (playlist_.empty()) {
      SetCaption(caption);
    } else {
      ShowEntry(0);
    }
    return true;
  }

  bool OnCommand(std::string_view word, std::string_view arg) {
    namespace command = standin::command;
    UINT number = 0;
    const bool numeric =
        std::from_chars(arg.data(), arg.data() + arg.size(), number).ec == std::errc();
    if (word == command::kCaption) {
      SetCaption(standin::FromUtf8(arg));
    } else if (word == command::kEvents && (arg == command::kOn || arg == command::kOff)) {
      events_ = arg == command::kOn;
    } else if (word == command::kNotify && numeric) {
      Notify(number);
    } else if (word == command::kStrangers && numeric) {
      RaiseStrangers(number);
    } else if (word == command::kFlood && numeric) {
      Every(1, number, [this](UINT) { Notify(1); });
    } else if (word == command::kReads) {
      standin::PrintLine(standin::CommandLine(word, std::to_string(reads_)));
    } else if (word == command::kScroll && numeric) {
      scroll_ms_ = number;  // from the title's start again
      SetCaption(caption_);
    } else {
      return false;
    }
    return true;
  }

  // Its procedure an ANSI one or a Unicode one, as the class is registered by the A or W function.
  static bool Register(bool ansi) {
    const auto fill = [](auto& window_class, auto procedure, const auto* name) {
      window_class.cbSize = sizeof window_class;
      window_class.lpfnWndProc = procedure;
      window_class.hInstance = GetModuleHandleW(nullptr);
      window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      window_class.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
      window_class.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
      window_class.lpszClassName = name;
      return &window_class;
    };
    WNDCLASSEXA ansi_class = {};
    WNDCLASSEXW wide_class = {};
    if (ansi ? RegisterClassExA(fill(ansi_class, WndProc<true>, standin::kPlayerClass.ansi))
             : RegisterClassExW(fill(wide_class, WndProc<false>, standin::kPlayerClass.wide)))
      return true;
    std::fprintf(stderr, "cannot register the window class (error %lu)\n", GetLastError());
    return false;
  }

 private:
  // A new title shows plain first, and its frames start again at k = 0.
  void SetCaption(std::wstring caption) {
    caption_ = std::move(caption);
    frame_ = 0;
    Show(caption_);
    InvalidateRect(window_, nullptr, TRUE);
    if (!scroll_ms_) {
      KillTimer(window_, kScrollTimer);
    } else if (!SetTimer(window_, kScrollTimer, scroll_ms_, nullptr)) {  // afresh
      std::fprintf(stderr, "cannot set the scroll timer (error %lu)\n", GetLastError());
    }
  }

  void Show(const std::wstring& text) {
    log_.Write(standin::ToUtf8(text));
    if (IsWindowUnicode(window_)) {
      SetWindowTextW(window_, text.c_str());
    } else {
      SetWindowTextA(window_, standin::ToCodePage(text, CP_ACP).c_str());
    }
    // Windows raises it in WM_SETTEXT too, so there it comes twice; Wine 10.0 does not.
    if (events_) Notify(1);
  }

  // The caption event, as a watcher of the window's caption hears it.
  void Notify(UINT times) {
    for (UINT i = 0; i < times; ++i)
      NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window_, OBJID_WINDOW, CHILDID_SELF);
  }

  // Runs `raise` `times` times, `gap_ms` apart, answering messages meanwhile, as the player does.
  template <typename Raise>
  void Every(DWORD gap_ms, UINT times, Raise raise) {
    for (UINT i = 0; i < times; ++i) {
      raise(i);
      const DWORD start = GetTickCount();
      do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(1);
      } while (GetTickCount() - start < gap_ms);
    }
  }

  void RaiseStrangers(UINT times) {
    if (!other_)
      other_ = CreateWindowExW(0, L"STATIC", L"Playlist", WS_OVERLAPPED, 0, 0, 100, 50, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    Every(20, times, [this](UINT i) {
      if (i % 3 == 0) {
        SetWindowTextW(other_, (L"Playlist " + std::to_wstring(i)).c_str());
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, other_, OBJID_WINDOW, CHILDID_SELF);
      } else {
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window_, i % 3 == 1 ? OBJID_CLIENT : OBJID_WINDOW,
                       i % 3 == 1 ? CHILDID_SELF : 1);
      }
    });
  }

  void ShowEntry(size_t index) {
    index_ = index;
    SetCaption(playlist_[index].caption);
    if (!loop_ && index + 1 == playlist_.size()) {
      KillTimer(window_, kPlaylistTimer);  // The last caption stays.
    } else if (!SetTimer(window_, kPlaylistTimer, playlist_[index].ms, nullptr)) {
      std::fprintf(stderr, "cannot set the timer (error %lu)\n", GetLastError());
    }
  }

  void OnTimer(WPARAM timer) {
    if (timer == kPlaylistTimer) return ShowEntry((index_ + 1) % playlist_.size());
    Show(ScrollFrame(caption_, frame_));
    frame_ = (frame_ + 1) % (caption_.size() + 3);
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

  template <bool kAnsi>
  static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = standin::WindowObject<Player>(window, message, lparam);
    if (message == WM_NCCREATE) self->window_ = window;
    switch (message) {
      case WM_PAINT:
        self->OnPaint(window);
        return 0;
      case WM_TIMER:
        self->OnTimer(wparam);
        return 0;
      case WM_GETTEXT:  // a read of the caption, counted
        ++self->reads_;
        break;
      case WM_DESTROY:  // closed by hand: the program ends
        self->window_ = nullptr;
        PostQuitMessage(0);
        return 0;
    }
    return kAnsi ? DefWindowProcA(window, message, wparam, lparam)
                 : DefWindowProcW(window, message, wparam, lparam);
  }

  static constexpr UINT_PTR kScrollTimer = 1, kPlaylistTimer = 2;
  std::vector<PlaylistEntry> playlist_;
  bool loop_;
  bool events_;  // whether each change raises the caption event
  standin::LogFile& log_;
  std::wstring caption_;  // the title's caption, plain
  size_t frame_ = 0;      // the next scroll frame
  UINT scroll_ms_ = 0;
  HWND window_ = nullptr;
  HWND other_ = nullptr;  // another top-level window of the player, made on demand
  size_t index_ = 0;      // the playlist's entry shown
  unsigned long reads_ = 0;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const standin::Args args(argc, argv);
  standin::LogFile log(args.Text(L"log", L""));
  std::vector<PlaylistEntry> playlist;
  if (log.Failed() ||
      (args.Has(L"playlist") && !standin::ReadPlaylist(args.Text(L"playlist", L""), playlist)))
    return 2;
  if (!Player::Register(args.Has(L"ansi"))) return 1;
  Player player(std::move(playlist), args.Has(L"loop"), !args.Has(L"no-events"), log);
  if (!player.Start(args.Text(L"caption", L"1. Nobody - Nothing - Winamp"),
                    static_cast<UINT>(args.Number(L"scroll", 0))) ||
      !standin::StartCommandReader([&player](std::string_view word, std::string_view arg) {
        return player.OnCommand(word, arg);
      }))
    return 1;
  return standin::RunMessageLoop();
}
