// The main window's life: creation, the message loop and its dispatch, and the
// handlers of loading, the buttons, the timer, activation and unloading.

#include "ui/main_window.h"

#include <utility>

#include "ui/module1.h"
#include "ui/own_messages.h"
#include "ui/resource.h"

namespace zingel {

namespace {

// The caption: the window's title, the message boxes' title and the tray tip.
constexpr wchar_t kCaption[] = L"zingel";
constexpr char kCaptionAnsi[] = "zingel";

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
// A tool window: narrow caption, no task bar button.
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;

// 7.8 points, in tenths of a point.
constexpr int kFontDecipoints = 78;
constexpr int kDecipointsPerInch = 720;

}  // namespace

bool Winamp::Create(HINSTANCE instance) {
  instance_ = instance;
  // Lengths are in twips, converted with the screen's own resolution.
  if (HDC screen = GetDC(nullptr)) {
    dpi_x_ = GetDeviceCaps(screen, LOGPIXELSX);
    dpi_y_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }

  // Missing icons, menu or font leave the defaults; the window still works.
  big_icon_.reset(
      static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ZINGEL), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
  small_icon_.reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ZINGEL),
                                                  IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                  GetSystemMetrics(SM_CYSMICON), 0)));
  menu_.reset(LoadMenuW(instance, MAKEINTRESOURCEW(IDM_SYSTEM)));
  font_.reset(CreateFontW(-MulDiv(kFontDecipoints, dpi_y_, kDecipointsPerInch), 0, 0, 0, FW_NORMAL,
                          FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_ROMAN,
                          L"Times New Roman"));

  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = big_icon_.get();
  window_class.hIconSm = small_icon_.get();
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = kMainWindowClass;
  if (!RegisterClassExW(&window_class)) return false;

  // Lengths in twips (1/1440 inch) keep the window's size in inches on any
  // screen.
  const SIZE client = ClientSize();
  RECT frame{0, 0, client.cx, client.cy};
  // On failure the window comes out a frame smaller; nothing else changes.
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  if (CreateWindowExW(kExStyle, kMainWindowClass, kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                      frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                      instance, this) == nullptr)
    return false;
  own_messages_ = ReceiveOwnMessages(window_);
  return true;
}

int Winamp::Run(int show_command, Parts parts) {
  parts_.emplace(std::move(parts));
  poll_platform_.Attach(window_, parts_->poll);
  ShowSong(parts_->announcer.SongBox());
  Form_Load();
  ShowWindow(window_, show_command);
  loaded_ = true;
  return MessageLoop();
}

int Winamp::MessageLoop() {
  MSG message;
  BOOL got;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
    // Tab and arrow keys move between the controls as in a dialog.
    if (IsDialogMessageW(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return got == 0 ? static_cast<int>(message.wParam) : 1;
}

LRESULT CALLBACK Winamp::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Winamp*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Winamp*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT Winamp::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (OwnMessages::Is(message, own_messages_.taskbar_created)) {
    Form_TaskbarCreated();
    return 0;
  }
  if (OwnMessages::Is(message, own_messages_.bring_back)) {
    Form_BringBack();
    return 0;
  }
  switch (message) {
    case WM_CREATE:
      return CreateControls() ? 0 : -1;
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_TIMER:
      if (Win32PollPlatform::IsTimer1(wparam) && parts_ && parts_->poll.OnTimer()) Timer1_Timer();
      return 0;
    case Win32PollPlatform::kReadMessage:
      // The read a caption event asked for is a tick of its own.
      if (parts_ && parts_->poll.OnReadMessage()) Timer1_Timer();
      return 0;
    case WM_SIZE:
      Form_Resize(wparam);
      return 0;
    case Module1::kTrayCallbackMessage:
      Form_MouseMove(lparam);
      return 0;
    case WM_ACTIVATE:
      Form_Activate(LOWORD(wparam) != WA_INACTIVE, HIWORD(wparam) != 0);
      return 0;
    case WM_CLOSE:
      Form_Unload();
      return 0;  // not reached: the program ends there
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wparam) Form_Unload();
      return 0;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

void Winamp::OnCommand(int id, UINT code) {
  // Menu items and button clicks both arrive with code 0.
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_COMMAND1:
      Command1_Click();
      break;
    case IDC_COMMAND2:
      Command2_Click();
      break;
    case IDC_COMMAND3:
      Command3_Click();
      break;
    case IDM_EXIT:
      mnuexit_Click();
      break;
    case IDM_RESTORE:
      mnurestore_Click();
      break;
    case IDM_ABOUT:
      mnuabout_Click();
      break;
  }
}

void Winamp::Form_Load() {
  parts_->announce_presence();
  ShowMessage("thank you for hosting teskin");
  FillCombo1();
}

void Winamp::Command1_Click() {
  parts_->announcer.Start();
}

void Winamp::Command2_Click() {
  parts_->announcer.Stop();
}

void Winamp::Timer1_Timer() {
  parts_->announcer.Tick();
  // A song line the user's draft or a silent room kept out goes in once the room can take it.
  parts_->poll.SetHolding(parts_->songs.Retry());
}

void Winamp::SetTimerEnabled(bool enabled) {
  if (enabled) {
    parts_->poll.Run();
  } else {
    parts_->poll.Stop();
  }
}

void Winamp::Form_Activate(bool active, bool minimized) {
  // Keyboard focus belongs to a control, not to the window itself.
  if (!active) {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(window_, focus)) focus_ = focus;
  } else if (!minimized) {
    HWND target = focus_ != nullptr ? focus_ : Command1();
    // A click from another program may have disabled it in the meantime.
    if (!IsWindowEnabled(target)) target = GetNextDlgTabItem(window_, target, FALSE);
    SetFocus(target);
  }
}

void Winamp::Form_Unload() {
  parts_->announce_presence();
  Module1::Delete();
  // At once: threads still waiting on another program are not waited for.
  ExitProcess(0);
}

void Winamp::ShowMessage(const char* text) {
  MessageBoxA(window_, text, kCaptionAnsi, MB_OK | MB_ICONINFORMATION);
}

}  // namespace zingel
