#include "zingel_app.h"

#include <shellapi.h>

#include "ui/identity.h"
#include "ui/module1.h"
#include "ui/resource.h"

namespace zingel::driver {
namespace {

constexpr wchar_t kTitle[] = L"zingel";
// Above any text limit an edit control starts with.
constexpr LRESULT kMarkerBase = 0x10000000;

// A message to another process that gives up after the deadline, 0 then.
LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, kDeadlineMs, &result))
    return 0;
  return static_cast<LRESULT>(result);
}

// A bare record naming zingel's icon.
NOTIFYICONDATAW TrayRecord(HWND main) {
  NOTIFYICONDATAW record = {};
  record.cbSize = NOTIFYICONDATAW_V1_SIZE;
  record.hWnd = main;
  record.uID = Module1::kTrayIconId;
  return record;
}

std::u16string FromWide(const std::wstring& text) {
  return std::u16string(text.begin(), text.end());
}

}  // namespace

HWND ZingelApp::FindWindowOf(const wchar_t* class_name, const wchar_t* title) const {
  return FindTopWindow([&](HWND window) {
    wchar_t found[256];
    return GetClassNameW(window, found, 256) && lstrcmpiW(found, class_name) == 0 &&
           IsWindowVisible(window) && (title == nullptr || Text(window) == FromWide(title));
  });
}

HWND ZingelApp::WaitForMessageBox(DWORD timeout_ms, DWORD step_ms) const {
  HWND box = nullptr;
  // A zingel that ended shows no box: no need to wait out the deadline.
  WaitUntil([&] { return (box = FindWindowOf(L"#32770", kTitle)) != nullptr || Exited(); },
            timeout_ms, step_ms);
  return box;
}

std::u16string ZingelApp::BoxText(HWND box) {
  // The icon is a Static child too, without text.
  for (HWND child = nullptr; (child = FindWindowExW(box, child, L"Static", nullptr));) {
    std::u16string text = Text(child);
    if (!text.empty()) return text;
  }
  return {};
}

bool ZingelApp::DismissBox(HWND box, DWORD timeout_ms, DWORD step_ms) {
  return PostMessageW(box, WM_COMMAND, IDOK, 0) &&
         WaitUntil([&] { return !IsWindow(box); }, timeout_ms, step_ms);
}

HWND ZingelApp::WaitForMainWindow(DWORD timeout_ms, DWORD step_ms) {
  WaitUntil(
      [&] { return (main_ = FindWindowOf(kMainWindowClass, nullptr)) != nullptr || Exited(); },
      timeout_ms, step_ms);
  return main_;
}

bool ZingelApp::Open() {
  const HWND box = WaitForMessageBox();
  return box != nullptr && DismissBox(box) && WaitForMainWindow() != nullptr;
}

HWND ZingelApp::Control(int id) const {
  return main_ ? GetDlgItem(main_, id) : nullptr;
}

bool ZingelApp::MainVisible() const {
  return main_ && IsWindowVisible(main_);
}

std::u16string ZingelApp::Text(HWND window) {
  if (!window) return {};
  const auto length = static_cast<size_t>(Send(window, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(length + 1, L'\0');
  const auto copied = static_cast<size_t>(
      Send(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data())));
  text.resize(copied <= length ? copied : 0);
  return FromWide(text);
}

bool ZingelApp::Enabled(int id) const {
  const HWND control = Control(id);
  return control && IsWindowEnabled(control);
}

std::vector<std::u16string> ZingelApp::Combo1Items() const {
  // The A form comes back truncated across processes under Wine.
  const HWND combo = Control(IDC_COMBO1);
  std::vector<std::u16string> items;
  const auto count = static_cast<int>(Send(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const auto index = static_cast<WPARAM>(i);
    const LRESULT length = Send(combo, CB_GETLBTEXTLEN, index, 0);
    if (length < 0) break;
    std::wstring item(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = Send(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item.data()));
    item.resize(copied >= 0 && copied <= length ? static_cast<size_t>(copied) : 0);
    items.push_back(FromWide(item));
  }
  return items;
}

int ZingelApp::Combo1Selection() const {
  return static_cast<int>(Send(Control(IDC_COMBO1), CB_GETCURSEL, 0, 0));
}

bool ZingelApp::SelectPrefix(int index) const {
  return Send(Control(IDC_COMBO1), CB_SETCURSEL, static_cast<WPARAM>(index), 0) == index;
}

bool ZingelApp::TypePrefix(const std::u16string& text) const {
  const std::wstring wide(text.begin(), text.end());
  return Send(Control(IDC_COMBO1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str())) != 0;
}

bool ZingelApp::Click(int id) const {
  const HWND button = Control(id);
  return button && PostMessageW(button, BM_CLICK, 0, 0);
}

bool ZingelApp::PostTrayMessage(UINT mouse_message) const {
  // As the shell does it: not queued but sent, so it reaches the window even
  // inside a popup menu's loop, which would take a queued mouse message for
  // its own.
  return main_ && SendNotifyMessageW(main_, WM_MOUSEMOVE, Module1::kTrayIconId,
                                     static_cast<LPARAM>(mouse_message));
}

HWND ZingelApp::PopupMenu() const {
  return FindWindowOf(L"#32768", nullptr);
}

HWND ZingelApp::WaitForPopupMenu(DWORD timeout_ms) const {
  HWND menu = nullptr;
  WaitUntil([&] { return (menu = PopupMenu()) != nullptr; }, timeout_ms);
  return menu;
}

bool ZingelApp::ChooseMenuItem(int index, DWORD timeout_ms) const {
  const HWND menu = PopupMenu();
  if (!menu) return false;
  // The menu's own loop reads the keys; nothing is highlighted at first.
  bool posted = true;
  for (int i = 0; i <= index; ++i) posted = posted && PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
  posted = posted && PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  return posted && WaitUntil([&] { return PopupMenu() == nullptr; }, timeout_ms);
}

bool ZingelApp::Sync(DWORD timeout_ms) {
  // Posted messages of one thread are handled in order, so a marker posted
  // last shows when all before it are done. The song box's text limit makes a
  // harmless marker: it binds typing only, and nobody types there.
  const HWND text1 = Control(IDC_TEXT1);
  const LRESULT marker = kMarkerBase + ++marker_;
  return text1 && PostMessageW(text1, EM_SETLIMITTEXT, static_cast<WPARAM>(marker), 0) &&
         WaitUntil([&] { return Send(text1, EM_GETLIMITTEXT, 0, 0) == marker; }, timeout_ms);
}

bool ZingelApp::TrayIconShown() const {
  // Changing nothing in an icon succeeds only if the shell has it.
  NOTIFYICONDATAW probe = TrayRecord(main_);
  return main_ && Shell_NotifyIconW(NIM_MODIFY, &probe);
}

bool ZingelApp::HoldTrayIcon(bool hold) const {
  // The shell knows an icon by window and id only, whichever process adds it.
  NOTIFYICONDATAW record = TrayRecord(main_);
  return main_ && Shell_NotifyIconW(hold ? NIM_ADD : NIM_DELETE, &record);
}

bool ZingelApp::PostClose() const {
  return main_ && PostMessageW(main_, WM_CLOSE, 0, 0);
}

bool ZingelApp::WaitForExit(DWORD timeout_ms) const {
  return WaitUntil([&] { return Exited(); }, timeout_ms);
}

}  // namespace zingel::driver
