// The tray icon record as the shell gets it: every field of its first form after Fill, and nothing
// past it; and the balloon that comes with the first icon the shell takes in a run, and with no
// other. The shell's Shell_NotifyIconA is this program's own: it keeps what it is handed. And the
// messages an elevated zingel lets through from programs below it.

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "test_harness.h"
#include "ui/module1.h"
#include "ui/own_messages.h"

namespace {

struct ShellCall {
  DWORD message;
  NOTIFYICONDATAA record;  // the whole record, the bytes past its own size too
};
std::vector<ShellCall> g_calls;
BOOL g_answer = TRUE;

extern "C" BOOL WINAPI KeepRecord(DWORD message, PNOTIFYICONDATAA record) {
  g_calls.push_back({message, *record});
  return g_answer;
}

}  // namespace

// Module1's calls reach the shell through this pointer, which the import library would define.
extern "C" {
#ifdef _WIN64
decltype(&KeepRecord) shell_notify_icon __asm__("__imp_Shell_NotifyIconA") = &KeepRecord;
#else
decltype(&KeepRecord) shell_notify_icon __asm__("__imp__Shell_NotifyIconA@8") = &KeepRecord;
#endif
}

namespace {

const HWND kWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
const HICON kIcon = reinterpret_cast<HICON>(static_cast<INT_PTR>(0x5678));

// Runs first: the balloon is shown once in a run.
WIN_TEST(TheFirstIconTakenComesWithABalloonAndOnlyIt) {
  zingel::Module1::Fill(kWindow, kIcon, "zingel");
  // Whether the shell takes the icon, and what it is then asked: a refused icon spends no
  // balloon, the first one taken gets it, a later one none.
  for (const auto& [takes, messages] : {std::pair{FALSE, std::vector<DWORD>{NIM_ADD}},
                                        {TRUE, {NIM_ADD, NIM_MODIFY}},
                                        {TRUE, {NIM_ADD}}}) {
    g_answer = takes;
    g_calls.clear();
    CHECK_EQ(zingel::Module1::Add(), takes != FALSE);
    std::vector<DWORD> asked;
    for (const ShellCall& call : g_calls) asked.push_back(call.message);
    CHECK(asked == messages);
    if (asked.size() < 2) continue;
    // Only NIF_INFO, in a record with room for it: the tip, the icon and the callback stay.
    const NOTIFYICONDATAA& balloon = g_calls[1].record;
    CHECK_EQ(balloon.cbSize, DWORD{NOTIFYICONDATAA_V2_SIZE});
    CHECK(balloon.hWnd == kWindow);
    CHECK_EQ(balloon.uID, UINT{1});
    CHECK_EQ(balloon.uFlags, UINT{NIF_INFO});
    CHECK_EQ(std::string(balloon.szInfoTitle), std::string("zingel"));
    CHECK(std::string(balloon.szInfo).find("announcing") != std::string::npos);
    CHECK_EQ(balloon.dwInfoFlags, DWORD{NIIF_INFO});
  }
  g_answer = TRUE;
  zingel::Module1::Delete();
}

WIN_TEST(TheShellGetsEveryFieldOfTheFirstFormAfterFill) {
  static constexpr std::string_view kLong =
      "0123456789012345678901234567890123456789012345678901234567890123456789";
  // Captions, and how many of their characters the tip shows; each after a longer one, so
  // leftovers of the tip before would show.
  for (const auto& [caption, shown] : {std::pair{kLong, 63},
                                       {kLong.substr(0, 64), 63},
                                       {kLong.substr(0, 63), 63},
                                       {std::string_view("zingel"), 6},
                                       {std::string_view(), 0}}) {
    zingel::Module1::Fill(kWindow, kIcon, caption);
    g_calls.clear();
    CHECK(zingel::Module1::Add());
    CHECK_EQ(g_calls.size(), std::size_t{1});
    const NOTIFYICONDATAA& record = g_calls.at(0).record;
    CHECK_EQ(g_calls[0].message, DWORD{NIM_ADD});
    CHECK_EQ(record.cbSize, DWORD{sizeof(void*) == 4 ? 88u : 104u});
    CHECK(record.hWnd == kWindow && record.hIcon == kIcon);
    CHECK_EQ(record.uID, UINT{1});
    CHECK_EQ(record.uFlags, UINT{7});
    CHECK_EQ(record.uCallbackMessage, UINT{512});
    std::string tip(caption.substr(0, static_cast<std::size_t>(shown)));
    tip += '\0';
    tip.append(64 - tip.size(), ' ');
    CHECK_EQ(std::string(record.szTip, 64), tip);
    // Nothing past the first form is ever written.
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    CHECK(std::all_of(bytes + NOTIFYICONDATAA_V1_SIZE, bytes + sizeof record,
                      [](unsigned char byte) { return byte == 0; }));
  }
}

// The message filter's functions as user32 would give them, each call kept: "window" for the one
// of Windows 7 and later, "program" for Vista's.
struct FilterCall {
  std::string function;
  HWND window;
  UINT message;
  DWORD action;
  bool operator==(const FilterCall&) const = default;
};
std::vector<FilterCall> g_filter_calls;
bool g_windows_7 = true;

BOOL WINAPI FilterForWindow(HWND window, UINT message, DWORD action, void*) {
  g_filter_calls.push_back({"window", window, message, action});
  return TRUE;
}
BOOL WINAPI FilterForProgram(UINT message, DWORD action) {
  g_filter_calls.push_back({"program", nullptr, message, action});
  return TRUE;
}
template <typename Function>
FARPROC AsFound(Function function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}
FARPROC LookUp(const char* name) {
  const std::string_view wanted = name;
  if (wanted == "ChangeWindowMessageFilterEx")
    return g_windows_7 ? AsFound(&FilterForWindow) : nullptr;
  if (wanted == "ChangeWindowMessageFilter") return AsFound(&FilterForProgram);
  return nullptr;
}

WIN_TEST(ExplorersRestartAndASecondStartAreLetThroughToAnElevatedZingel) {
  constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW, and Vista's MSGFLT_ADD
  const UINT taskbar_created = RegisterWindowMessageA("TaskbarCreated");
  const UINT bring_back = RegisterWindowMessageA("zingel: bring back");
  for (const bool windows_7 : {true, false}) {
    g_windows_7 = windows_7;
    g_filter_calls.clear();
    const zingel::OwnMessages messages = zingel::ReceiveOwnMessages(kWindow, &LookUp);
    CHECK(messages.taskbar_created == taskbar_created && messages.bring_back == bring_back);
    const std::string function = windows_7 ? "window" : "program";
    const HWND window = windows_7 ? kWindow : nullptr;
    CHECK(g_filter_calls == (std::vector<FilterCall>{{function, window, taskbar_created, kAllow},
                                                     {function, window, bring_back, kAllow}}));
  }
}

}  // namespace

WIN_TEST_MAIN()
