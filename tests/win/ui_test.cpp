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

// The message filter's functions as user32 gives them, on Windows 7 and later or on Vista, each
// call kept as "window HWND MESSAGE ACTION" or "program MESSAGE ACTION".
std::vector<std::string> g_filtered;
bool g_windows_7 = true;

BOOL WINAPI FilterForWindow(HWND window, UINT message, DWORD action, void*) {
  g_filtered.push_back("window " + std::to_string(reinterpret_cast<INT_PTR>(window)) + " " +
                       std::to_string(message) + " " + std::to_string(action));
  return TRUE;
}
BOOL WINAPI FilterForProgram(UINT message, DWORD action) {
  g_filtered.push_back("program " + std::to_string(message) + " " + std::to_string(action));
  return TRUE;
}
FARPROC LookUp(const char* name) {
  const auto found = [](auto function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
  };
  if (std::string_view(name) == "ChangeWindowMessageFilterEx" && g_windows_7)
    return found(&FilterForWindow);
  return std::string_view(name) == "ChangeWindowMessageFilter" ? found(&FilterForProgram) : nullptr;
}

WIN_TEST(ExplorersRestartAndASecondStartAreLetThroughToAnElevatedZingel) {
  // MSGFLT_ALLOW, and Vista's MSGFLT_ADD, are 1.
  const std::string restart = std::to_string(RegisterWindowMessageA("TaskbarCreated")) + " 1";
  const std::string second = std::to_string(RegisterWindowMessageA("zingel: bring back")) + " 1";
  for (const bool windows_7 : {true, false}) {
    g_windows_7 = windows_7;
    g_filtered.clear();
    zingel::ReceiveOwnMessages(kWindow, &LookUp);
    const std::string to = windows_7 ? "window 4660 " : "program ";
    CHECK(g_filtered == (std::vector<std::string>{to + restart, to + second}));
  }
}

}  // namespace

WIN_TEST_MAIN()
