// zingel-chatroom: stands in for the chat client's room window. Its children,
// in creation order, are the rich-text boxes (transcript, then input) and the
// icon buttons; a press and release of the fifth button posts the input box's
// text to the transcript and logs what the box held: UTF-8, or with --ansi,
// where the boxes are ANSI windows, their exact bytes in the code page.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common.h"

namespace {

constexpr int kFirstButtonId = 100;
constexpr int kSendButtonId = kFirstButtonId + 4;  // the fifth button

WNDPROC g_edit_proc = nullptr;
bool g_ansi_boxes = false;

// The rich-text boxes are edit controls under the client's class name.
LRESULT CALLBACK BoxProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return g_ansi_boxes ? CallWindowProcA(g_edit_proc, window, message, wparam, lparam)
                      : CallWindowProcW(g_edit_proc, window, message, wparam, lparam);
}

// The boxes' class in either kind: ANSI windows hold their text in the code page.
bool RegisterBoxClass(bool ansi) {
  g_ansi_boxes = ansi;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (ansi) {
    WNDCLASSEXA box = {};
    box.cbSize = sizeof box;
    if (!GetClassInfoExA(nullptr, "EDIT", &box)) return false;
    g_edit_proc = box.lpfnWndProc;
    box.lpfnWndProc = BoxProc;
    box.hInstance = instance;
    box.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
    box.lpszClassName = standin::kBoxClass.ansi;
    return RegisterClassExA(&box) != 0;
  }
  WNDCLASSEXW box = {};
  box.cbSize = sizeof box;
  if (!GetClassInfoExW(nullptr, L"EDIT", &box)) return false;
  g_edit_proc = box.lpfnWndProc;
  box.lpfnWndProc = BoxProc;
  box.hInstance = instance;
  box.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
  box.lpszClassName = standin::kBoxClass.wide;
  return RegisterClassExW(&box) != 0;
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
  Room(std::wstring title, int boxes, int buttons, standin::LogFile& log)
      : title_(std::move(title)), box_count_(boxes), button_count_(buttons), log_(log) {}

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

  void Open() {
    if (window_) return;
    if (!CreateWindowExW(0, standin::kRoomClass.wide, title_.c_str(),
                         WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 160, 480, 360, nullptr, nullptr,
                         GetModuleHandleW(nullptr), this)) {
      std::fprintf(stderr, "cannot create the room window (error %lu)\n", GetLastError());
    }
  }

  bool OnCommand(std::string_view word, std::string_view) {
    namespace command = standin::command;
    if (word == command::kClose) {
      if (window_) DestroyWindow(window_);
    } else if (word == command::kOpen) {
      Open();
    } else if (word == command::kTranscript) {
      std::string text = standin::ToUtf8(transcript_);
      text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
      standin::PrintLine(text + command::kTranscriptEnd);
    } else {
      return false;
    }
    return true;
  }

 private:
  // Children in the order the client has them; FindWindowEx lists them so.
  bool OnCreate(HWND window) {
    window_ = window;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    for (int i = 0; i < box_count_; ++i) {
      // No word wrap and no scroll bar: under Wine either makes every change
      // of the text cost milliseconds, a long line seconds.
      const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL |
                          ES_AUTOHSCROLL | (i == 0 ? ES_READONLY : WS_TABSTOP);
      const HWND box = CreateWindowExW(0, standin::kBoxClass.wide, L"", style, 0, 0, 0, 0, window,
                                       nullptr, instance, nullptr);
      if (!box) return false;
      SendMessageW(box, WM_SETFONT, font, FALSE);
      boxes_.push_back(box);
    }
    for (int i = 0; i < button_count_; ++i) {
      const int id = kFirstButtonId + i;
      const std::wstring caption = id == kSendButtonId ? L"Send" : std::to_wstring(i + 1);
      const HWND button =
          CreateWindowExW(0, standin::kButtonClass.wide, caption.c_str(), WS_CHILD | WS_VISIBLE, 0,
                          0, 0, 0, window, reinterpret_cast<HMENU>(INT_PTR{id}), instance, nullptr);
      if (!button) return false;
      buttons_.push_back(button);
    }
    ShowTranscript();
    if (boxes_.size() >= 2) SetFocus(boxes_[1]);
    return true;
  }

  // Transcript on top, the other boxes below it, the button row at the bottom.
  void OnSize(int width, int height) {
    constexpr int kGap = 6, kBoxHeight = 48, kButtonHeight = 28;
    const int inner = std::max(0, width - 2 * kGap);
    int y = height - kGap - (buttons_.empty() ? 0 : kButtonHeight + kGap);
    for (size_t i = boxes_.size(); i-- > 1;) {
      y -= kBoxHeight;
      MoveWindow(boxes_[i], kGap, y, inner, kBoxHeight, TRUE);
      y -= kGap;
    }
    if (!boxes_.empty()) MoveWindow(boxes_[0], kGap, kGap, inner, std::max(0, y - kGap), TRUE);
    const int count = static_cast<int>(buttons_.size());
    for (int i = 0; i < count; ++i) {
      const int button_width = std::max(0, (width - kGap * (count + 1)) / count);
      MoveWindow(buttons_[static_cast<size_t>(i)], kGap + i * (button_width + kGap),
                 height - kGap - kButtonHeight, button_width, kButtonHeight, TRUE);
    }
  }

  // Posts the input box's text, as the client does, and logs what it held.
  // The line counts as posted when send is pressed: it is logged first, and
  // the display catches up after.
  void Send() {
    std::string held;
    std::wstring text;
    if (boxes_.size() >= 2) {
      text = WideText(boxes_[1]);
      held = g_ansi_boxes ? AnsiText(boxes_[1]) : standin::ToUtf8(text);
    }
    log_.Write(held);
    if (boxes_.size() >= 2) SetWindowTextW(boxes_[1], L"");
    const std::wstring line = text + L"\r\n";
    transcript_ += line;
    if (boxes_.empty()) return;
    // Appended, not the whole transcript set again: that slows with its length.
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(boxes_[0]));
    SendMessageW(boxes_[0], EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(boxes_[0], EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.c_str()));
  }

  void ShowTranscript() {
    if (boxes_.empty()) return;
    SetWindowTextW(boxes_[0], transcript_.c_str());
    const auto end = static_cast<WPARAM>(transcript_.size());
    SendMessageW(boxes_[0], EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(boxes_[0], EM_SCROLLCARET, 0, 0);
  }

  static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      SetWindowLongPtrW(
          window, GWLP_USERDATA,
          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<Room*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
      case WM_CREATE:
        return self->OnCreate(window) ? 0 : -1;
      case WM_SIZE:
        self->OnSize(LOWORD(lparam), HIWORD(lparam));
        return 0;
      case WM_COMMAND:
        if (LOWORD(wparam) == kSendButtonId && HIWORD(wparam) == BN_CLICKED) self->Send();
        return 0;
      case WM_CLOSE:  // Closed by hand: the program ends; the "close" command destroys only.
        DestroyWindow(window);
        PostQuitMessage(0);
        return 0;
      case WM_DESTROY:
        self->window_ = nullptr;
        self->boxes_.clear();
        self->buttons_.clear();
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
  }

  std::wstring title_;
  int box_count_;
  int button_count_;
  standin::LogFile& log_;
  std::wstring transcript_;
  HWND window_ = nullptr;
  std::vector<HWND> boxes_;
  std::vector<HWND> buttons_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const standin::Args args(argc, argv);
  standin::LogFile log(args.Text(L"log", L""));
  if (log.Failed()) return 2;
  if (!Room::RegisterClasses(args.Has(L"ansi"))) return 1;
  Room room(args.Text(L"title", L"Chat Room"), args.Number(L"boxes", 2), args.Number(L"buttons", 6),
            log);
  room.Open();
  if (!standin::StartCommandReader([&room](std::string_view word, std::string_view arg) {
        return room.OnCommand(word, arg);
      }))
    return 1;
  return standin::RunMessageLoop();
}
