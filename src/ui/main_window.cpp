#include "ui/main_window.h"

#include <windowsx.h>

#include "chat/presence.h"
#include "ui/module1.h"
#include "ui/resource.h"
#include "ui/single_instance.h"

namespace zingel {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 crosses to the W API as is");

const wchar_t* Wide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}

// The caption: the window's title, the message boxes' title and the tray tip.
constexpr wchar_t kCaption[] = L"zingel";
constexpr char kCaptionAnsi[] = "zingel";

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
// A tool window: narrow caption, no task bar button.
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;

constexpr int kTwipsPerInch = 1440;
constexpr int kClientWidth = 3468;
constexpr int kClientHeight = 672;
// 7.8 points, in tenths of a point.
constexpr int kFontDecipoints = 78;
constexpr int kDecipointsPerInch = 720;
constexpr UINT kTimer1Interval = 1;
constexpr int kCombo1ListItems = 5;

// The controls in tab order; lengths in twips.
struct ControlLayout {
  int id;
  const wchar_t* class_name;
  const wchar_t* text;
  DWORD style;
  DWORD ex_style;
  int left, top, width, height;
};

constexpr ControlLayout kControls[] = {
    // The song box: disabled for good, so nobody types into it and it never
    // takes the focus.
    {IDC_TEXT1, L"EDIT", L"", ES_AUTOHSCROLL | WS_DISABLED, WS_EX_CLIENTEDGE, 960, 0, 2412, 264},
    {IDC_COMMAND1, L"BUTTON", L"start", BS_PUSHBUTTON, 0, 120, 360, 852, 252},
    {IDC_COMMAND2, L"BUTTON", L"stop", BS_PUSHBUTTON | WS_DISABLED, 0, 1080, 360, 852, 252},
    // The height is the edit field's; the drop-down list is added below it.
    {IDC_COMBO1, L"COMBOBOX", L"", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0, 120, 0, 852,
     276},
    {IDC_COMMAND3, L"BUTTON", L"minimize to tray", BS_PUSHBUTTON, 0, 2040, 360, 1332, 252},
};
constexpr const ControlLayout& kCombo1Layout = kControls[3];

// The item index that stands for a combo box's edit field.
constexpr int kEditField = -1;

// windowsx's ComboBox_GetItemHeight asks only for the first item.
int ComboItemHeight(HWND combo, int index) {
  return static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(index), 0));
}

// A closed combo box's window is its edit field; 0 when it cannot be read.
int FieldHeight(HWND combo) {
  RECT rect;
  return GetWindowRect(combo, &rect) ? rect.bottom - rect.top : 0;
}

}  // namespace

Winamp::Winamp()
    : reader_(windows_),
      sender_(windows_),
      send_line_([this](const std::u16string& line) { sender_.SendChatLine(line); }),
      announcer_([this] { return reader_.ReadSongTitle(); }, send_line_, *this) {}

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
  // Explorer broadcasts this when it restarts; 0 (failure) never matches.
  taskbar_created_ = RegisterWindowMessageA("TaskbarCreated");
  bring_back_ = RegisterWindowMessageA(kBringBackMessage);

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

  RECT frame{0, 0, TwipsToPixelsX(kClientWidth), TwipsToPixelsY(kClientHeight)};
  // On failure the window comes out a frame smaller; nothing else changes.
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  return CreateWindowExW(kExStyle, kMainWindowClass, kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                         frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                         instance, this) != nullptr;
}

void Winamp::Load(int show_command) {
  Form_Load();
  ShowWindow(window_, show_command);
  loaded_ = true;
}

int Winamp::Run() {
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
  if (message == taskbar_created_ && message != 0) {
    Form_TaskbarCreated();
    return 0;
  }
  if (message == bring_back_ && message != 0) {
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
      if (wparam == IDC_TIMER1) Timer1_Timer();
      return 0;
    case WM_SIZE:
      Form_Resize(wparam);
      return 0;
    case WM_MOUSEMOVE:
      Form_MouseMove(lparam);
      return 0;
    case WM_ACTIVATE:
      Form_Activate(LOWORD(wparam) != WA_INACTIVE, HIWORD(wparam) != 0);
      return 0;
    case WM_CLOSE:
      Form_Unload();  // never returns
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
  AnnouncePresence(send_line_, clock_);
  ShowMessage("thank you for hosting teskin");
  // The W message keeps the prefixes' U+00A4 intact. A prefix that cannot be
  // added is simply not offered.
  for (const char16_t* prefix : PrefixChoices) ComboBox_AddString(Combo1(), Wide(prefix));
}

void Winamp::Command1_Click() {
  announcer_.Start();
}

void Winamp::Command2_Click() {
  announcer_.Stop();
}

void Winamp::Timer1_Timer() {
  // A tick may run inside another handler's modal loop (a message box, the
  // popup menu); Tick itself never pumps messages, so it cannot re-enter.
  // KillTimer leaves a tick already queued; the flag drops it.
  if (timer_enabled_) announcer_.Tick();
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
  AnnouncePresence(send_line_, clock_);
  Module1::Delete();
  // At once: threads still waiting on another program are not waited for.
  ExitProcess(0);
}

bool Winamp::CreateControls() {
  for (const ControlLayout& layout : kControls) {
    HWND control = CreateWindowExW(
        layout.ex_style, layout.class_name, layout.text,
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | layout.style, TwipsToPixelsX(layout.left),
        TwipsToPixelsY(layout.top), TwipsToPixelsX(layout.width), TwipsToPixelsY(layout.height),
        window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance_, nullptr);
    if (control == nullptr) return false;
    SetWindowFont(control, font_.get(), FALSE);
  }
  FitCombo1();
  ShowSong(announcer_.SongBox());
  focus_ = Command1();
  return true;
}

void Winamp::FitCombo1() {
  // A drop-down combo box's window height is its edit field and its list
  // together; the field's own height follows the font unless set.
  HWND combo = Combo1();
  const int field = TwipsToPixelsY(kCombo1Layout.height);
  // The list's border takes a pixel above and below its items. The list gets
  // what the window has below the field as the font sized it.
  const int list = kCombo1ListItems * ComboItemHeight(combo, 0) + 2;
  SetWindowPos(combo, nullptr, 0, 0, TwipsToPixelsX(kCombo1Layout.width), FieldHeight(combo) + list,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Last, since Wine recomputes the field on resizing. The field's frame
  // around the item height set for it differs between Windows versions: set
  // once, measure the frame, set again.
  ComboBox_SetItemHeight(combo, kEditField, field);
  const int frame = FieldHeight(combo) - field;
  if (frame > 0 && frame < field) ComboBox_SetItemHeight(combo, kEditField, field - frame);
}

void Winamp::ShowMessage(const char* text) {
  MessageBoxA(window_, text, kCaptionAnsi, MB_OK | MB_ICONINFORMATION);
}

void Winamp::ReleaseFocus(HWND control) {
  // A disabled control would keep the keyboard focus; pass it on as a dialog
  // does.
  HWND focus = GetFocus();
  if (focus == control || (focus != nullptr && IsChild(control, focus)))
    SetFocus(GetNextDlgTabItem(window_, control, FALSE));
}

int Winamp::TwipsToPixelsX(int twips) const {
  return MulDiv(twips, dpi_x_, kTwipsPerInch);
}

int Winamp::TwipsToPixelsY(int twips) const {
  return MulDiv(twips, dpi_y_, kTwipsPerInch);
}

HWND Winamp::Text1() const {
  return GetDlgItem(window_, IDC_TEXT1);
}
HWND Winamp::Command1() const {
  return GetDlgItem(window_, IDC_COMMAND1);
}
HWND Winamp::Command2() const {
  return GetDlgItem(window_, IDC_COMMAND2);
}
HWND Winamp::Combo1() const {
  return GetDlgItem(window_, IDC_COMBO1);
}

void Winamp::ShowSong(const std::u16string& song) {
  Edit_SetText(Text1(), Wide(song.c_str()));
}

void Winamp::SetPrefixBoxEnabled(bool enabled) {
  if (!enabled) ReleaseFocus(Combo1());
  ComboBox_Enable(Combo1(), enabled);
}

void Winamp::SetStartEnabled(bool enabled) {
  if (!enabled) ReleaseFocus(Command1());
  Button_Enable(Command1(), enabled);
}

void Winamp::SetStopEnabled(bool enabled) {
  if (!enabled) ReleaseFocus(Command2());
  Button_Enable(Command2(), enabled);
}

void Winamp::SetTimerEnabled(bool enabled) {
  timer_enabled_ = enabled;
  // Should SetTimer fail, nothing polls; as everywhere, no failure is shown.
  if (enabled) {
    SetTimer(window_, IDC_TIMER1, kTimer1Interval, nullptr);
  } else {
    KillTimer(window_, IDC_TIMER1);
  }
}

std::u16string Winamp::ReadPrefixText() {
  HWND combo = Combo1();
  const int length = ComboBox_GetTextLength(combo);
  if (length <= 0) return {};
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  const int copied = ComboBox_GetText(combo, reinterpret_cast<wchar_t*>(text.data()), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

}  // namespace zingel
