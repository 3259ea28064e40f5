// zingel-chatroom: stands in for the chat client's room window. Its children,
// in creation order, are the rich-text boxes (transcript, then input) and the
// icon buttons; a press and release of the fifth button posts the input box's
// text to the transcript and logs what the box held: UTF-8, or with --ansi,
// where the boxes are ANSI windows, their exact bytes in the code page. Its
// commands stand in for the user typing in the room, and count how often
// another program read the input box.

#include <algorithm>
#include <cstdio>
#include <string>

#include "common.h"

namespace {

constexpr int kButtons = 6;
constexpr int kFirstButtonId = 100;
constexpr int kSendButtonId = kFirstButtonId + 4;  // the fifth button

constexpr UINT_PTR kRetypeTimer = 1;
constexpr UINT kRetypeMs = 50;

WNDPROC g_edit_proc = nullptr;
bool g_ansi_boxes = false;
HWND g_input_box = nullptr;
unsigned long g_input_reads = 0;  // WM_GETTEXT sent to the input box by other programs

// The rich-text boxes are edit controls under the client's class name.
LRESULT CALLBACK BoxProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_GETTEXT && window == g_input_box && InSendMessage()) ++g_input_reads;
  return g_ansi_boxes ? CallWindowProcA(g_edit_proc, window, message, wparam, lparam)
                      : CallWindowProcW(g_edit_proc, window, message, wparam, lparam);
}

// The boxes' class in either kind: ANSI windows hold their text in the code page.
bool RegisterBoxClass(bool ansi) {
  g_ansi_boxes = ansi;
  const auto derive = [](auto& box, const auto* name) {
    g_edit_proc = box.lpfnWndProc;
    box.lpfnWndProc = BoxProc;
    box.hInstance = GetModuleHandleW(nullptr);
    box.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    box.lpszClassName = name;
    return &box;
  };
  WNDCLASSEXA ansi_box = {};
  WNDCLASSEXW wide_box = {};
  ansi_box.cbSize = sizeof ansi_box;
  wide_box.cbSize = sizeof wide_box;
  if (ansi) {
    return GetClassInfoExA(nullptr, "EDIT", &ansi_box) &&
           RegisterClassExA(derive(ansi_box, standin::kBoxClass.ansi));
  }
  return GetClassInfoExW(nullptr, L"EDIT", &wide_box) &&
         RegisterClassExW(derive(wide_box, standin::kBoxClass.wide));
}

void PaintButton(HWND button) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(button, &paint);
  RECT area;
  GetClientRect(button, &area);
  const bool pressed = GetWindowLongPtrW(button, GWLP_USERDATA) != 0;
  FillRect(dc, &area, GetSysColorBrush(pressed ? COLOR_BTNSHADOW : COLOR_BTNFACE));
  FrameRect(dc, &area, GetSysColorBrush(COLOR_WINDOWFRAME));
  wchar_t caption[32];
  GetWindowTextW(button, caption, 32);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, caption, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  EndPaint(button, &paint);
}

void SetPressed(HWND button, bool pressed) {
  SetWindowLongPtrW(button, GWLP_USERDATA, pressed);
  InvalidateRect(button, nullptr, FALSE);
}

// A press then a release clicks, wherever the mouse is: the driver sends both
// with position 0,0 and no capture.
LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      SetPressed(button, true);
      return 0;
    case WM_LBUTTONUP:
      if (GetWindowLongPtrW(button, GWLP_USERDATA) == 0) return 0;
      SetPressed(button, false);
      SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
      return 0;
    case WM_PAINT:
      PaintButton(button);
      return 0;
  }
  return DefWindowProcW(button, message, wparam, lparam);
}

std::string AnsiText(HWND window) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(
      static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring WideText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

class Room {
 public:
  explicit Room(standin::LogFile& log) : log_(log) {}

  static bool RegisterClasses(bool ansi_boxes) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    bool ok = RegisterBoxClass(ansi_boxes);
    WNDCLASSEXW button = {};
    button.cbSize = sizeof button;
    button.lpfnWndProc = ButtonProc;
    button.hInstance = instance;
    button.hCursor = LoadCursorW(nullptr, IDC_HAND);
    button.lpszClassName = standin::kButtonClass.wide;
    ok = ok && RegisterClassExW(&button);
    WNDCLASSEXW room = button;
    room.lpfnWndProc = WndProc;
    room.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    room.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    room.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    room.lpszClassName = standin::kRoomClass.wide;
    ok = ok && RegisterClassExW(&room);
    if (!ok)
      std::fprintf(stderr, "cannot register the window classes (error %lu)\n", GetLastError());
    return ok;
  }

  bool Open(const std::wstring& title) {
    if (CreateWindowExW(0, standin::kRoomClass.wide, title.c_str(),
                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 160, 480, 360, nullptr, nullptr,
                        GetModuleHandleW(nullptr), this))
      return true;
    std::fprintf(stderr, "cannot create the room window (error %lu)\n", GetLastError());
    return false;
  }

  bool OnCommand(std::string_view word, std::string_view arg) {
    namespace command = standin::command;
    if (word == command::kTranscript) {
      std::string text = standin::ToUtf8(transcript_);
      text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
      standin::PrintLine(text + command::kTranscriptEnd);
    } else if (word == command::kReads) {
      standin::PrintLine(standin::CommandLine(word, std::to_string(g_input_reads)));
    } else if (word == command::kType) {
      SetWindowTextW(input_box_, standin::FromUtf8(arg).c_str());
    } else if (word == command::kSend) {
      Send();
    } else if (word == command::kRetype) {
      // Empty for a moment, and answering meanwhile: the message loop runs on.
      retyped_ = standin::FromUtf8(arg);
      SetWindowTextW(input_box_, L"");
      SetTimer(GetParent(input_box_), kRetypeTimer, kRetypeMs, nullptr);
    } else {
      return false;
    }
    return true;
  }

 private:
  // Children in the order the client has them; FindWindowEx lists them so.
  bool OnCreate(HWND window) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    for (HWND* box : {&transcript_box_, &input_box_}) {
      // No word wrap and no scroll bar: under Wine either makes every change
      // of the text cost milliseconds, a long line seconds.
      const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL |
                          ES_AUTOHSCROLL | (box == &transcript_box_ ? ES_READONLY : WS_TABSTOP);
      *box = CreateWindowExW(0, standin::kBoxClass.wide, L"", style, 0, 0, 0, 0, window, nullptr,
                             instance, nullptr);
      if (!*box) return false;
      SendMessageW(*box, WM_SETFONT, font, FALSE);
    }
    for (int i = 0; i < kButtons; ++i) {
      const int id = kFirstButtonId + i;
      const std::wstring caption = id == kSendButtonId ? L"Send" : std::to_wstring(i + 1);
      buttons_[i] =
          CreateWindowExW(0, standin::kButtonClass.wide, caption.c_str(), WS_CHILD | WS_VISIBLE, 0,
                          0, 0, 0, window, reinterpret_cast<HMENU>(INT_PTR{id}), instance, nullptr);
      if (!buttons_[i]) return false;
    }
    g_input_box = input_box_;
    SetFocus(input_box_);
    return true;
  }

  // Transcript on top, the input box below it, the button row at the bottom.
  void OnSize(int width, int height) {
    constexpr int kGap = 6, kBoxHeight = 48, kButtonHeight = 28;
    const int inner = std::max(0, width - 2 * kGap);
    const int buttons_top = height - kGap - kButtonHeight;
    const int input_top = buttons_top - kGap - kBoxHeight;
    MoveWindow(transcript_box_, kGap, kGap, inner, std::max(0, input_top - 2 * kGap), TRUE);
    MoveWindow(input_box_, kGap, input_top, inner, kBoxHeight, TRUE);
    const int button_width = std::max(0, (width - kGap * (kButtons + 1)) / kButtons);
    for (int i = 0; i < kButtons; ++i) {
      MoveWindow(buttons_[i], kGap + i * (button_width + kGap), buttons_top, button_width,
                 kButtonHeight, TRUE);
    }
  }

  // Posts the input box's text, as the client does, and logs what it held.
  // The line counts as posted when send is pressed: it is logged first, and
  // the display catches up after.
  void Send() {
    const std::wstring text = WideText(input_box_);
    log_.Write(g_ansi_boxes ? AnsiText(input_box_) : standin::ToUtf8(text));
    SetWindowTextW(input_box_, L"");
    const std::wstring line = text + L"\r\n";
    transcript_ += line;
    // Appended, not the whole transcript set again: that slows with its length.
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(transcript_box_));
    SendMessageW(transcript_box_, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(transcript_box_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.c_str()));
  }

  static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = standin::WindowObject<Room>(window, message, lparam);
    switch (message) {
      case WM_CREATE:
        return self->OnCreate(window) ? 0 : -1;
      case WM_SIZE:
        self->OnSize(LOWORD(lparam), HIWORD(lparam));
        return 0;
      case WM_COMMAND:
        if (LOWORD(wparam) == kSendButtonId && HIWORD(wparam) == BN_CLICKED) self->Send();
        return 0;
      case WM_TIMER:
        if (wparam != kRetypeTimer) break;
        KillTimer(window, kRetypeTimer);
        SetWindowTextW(self->input_box_, self->retyped_.c_str());
        return 0;
      case WM_DESTROY:  // closed by hand: the program ends
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
  }

  standin::LogFile& log_;
  std::wstring transcript_;
  std::wstring retyped_;  // typed again once the retype timer fires
  HWND transcript_box_ = nullptr;
  HWND input_box_ = nullptr;
  HWND buttons_[kButtons] = {};
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const standin::Args args(argc, argv);
  standin::LogFile log(args.Text(L"log", L""));
  if (log.Failed()) return 2;
  Room room(log);
  if (!Room::RegisterClasses(args.Has(L"ansi")) || !room.Open(args.Text(L"title", L"Chat Room")) ||
      !standin::StartCommandReader([&room](std::string_view word, std::string_view arg) {
        return room.OnCommand(word, arg);
      }))
    return 1;
  return standin::RunMessageLoop();
}
