// The tray icon record as the shell gets it: every field of its first form after Fill, and the
// balloon that comes with the first icon the shell takes in a run, and with no other.

#include <windows.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "test_harness.h"
#include "ui/module1.h"

namespace {

namespace Module1 = zingel::Module1;

struct ShellCall {
  DWORD message;
  NOTIFYICONDATAA record;
};
std::vector<ShellCall> calls;
BOOL shell_answer = TRUE;

BOOL WINAPI RecordShellCall(DWORD message, NOTIFYICONDATAA* record) {
  // Only the record's own size is the caller's to give.
  ShellCall call{message, {}};
  std::memcpy(&call.record, record, record->cbSize);
  calls.push_back(call);
  return shell_answer;
}

const HWND kWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
const HICON kIcon = reinterpret_cast<HICON>(static_cast<INT_PTR>(0x5678));

WIN_TEST(FillSetsEveryFieldOfTheFirstForm) {
  Module1::UseShell(RecordShellCall);
  static constexpr std::string_view kLong =
      "0123456789012345678901234567890123456789012345678901234567890123456789";
  struct Case {
    std::string_view caption;
    std::size_t shown;  // caption characters in the tip
  };
  // Each after a longer one, so leftovers of the tip before would show.
  static constexpr Case kCases[] = {
      {kLong, 63}, {kLong.substr(0, 64), 63}, {kLong.substr(0, 63), 63}, {"zingel", 6}, {"", 0}};
  for (const Case& c : kCases) {
    Module1::Fill(kWindow, kIcon, c.caption);
    calls.clear();
    Module1::Delete();
    CHECK_EQ(calls.size(), std::size_t{1});
    const NOTIFYICONDATAA& record = calls.at(0).record;
    CHECK_EQ(calls[0].message, DWORD{NIM_DELETE});
    CHECK_EQ(record.cbSize, DWORD{sizeof(void*) == 4 ? 88u : 104u});
    CHECK(record.hWnd == kWindow && record.hIcon == kIcon);
    CHECK_EQ(record.uID, UINT{1});
    CHECK_EQ(record.uFlags, UINT{7});
    CHECK_EQ(record.uCallbackMessage, UINT{512});
    std::string tip(c.caption.substr(0, c.shown));
    tip += '\0';
    tip.append(64 - tip.size(), ' ');
    CHECK_EQ(std::string(record.szTip, 64), tip);
  }
}

WIN_TEST(TheFirstIconTakenComesWithABalloonOnce) {
  Module1::UseShell(RecordShellCall);
  Module1::Fill(kWindow, kIcon, "zingel");
  struct Case {
    BOOL shell_takes_it;
    std::vector<DWORD> messages;
  };
  // A refused icon spends no balloon; the first icon taken gets it, a later one none.
  const Case kCases[] = {
      {FALSE, {NIM_ADD}}, {TRUE, {NIM_ADD, NIM_MODIFY}}, {TRUE, {NIM_ADD}}, {TRUE, {NIM_ADD}}};
  for (const Case& c : kCases) {
    shell_answer = c.shell_takes_it;
    calls.clear();
    CHECK_EQ(Module1::Add(), c.shell_takes_it != FALSE);
    std::vector<DWORD> messages;
    for (const ShellCall& call : calls) messages.push_back(call.message);
    CHECK(messages == c.messages);
    if (messages.size() < 2) continue;
    // Only NIF_INFO, in a record with room for it: the tip, icon and callback stay as they are.
    const NOTIFYICONDATAA& balloon = calls[1].record;
    CHECK_EQ(balloon.cbSize, DWORD{NOTIFYICONDATAA_V2_SIZE});
    CHECK(balloon.hWnd == kWindow);
    CHECK_EQ(balloon.uID, UINT{1});
    CHECK_EQ(balloon.uFlags, UINT{NIF_INFO});
    CHECK_EQ(std::string(balloon.szInfoTitle), std::string("zingel"));
    CHECK(std::string(balloon.szInfo).find("announcing") != std::string::npos);
    CHECK_EQ(balloon.dwInfoFlags, DWORD{NIIF_INFO});
  }
}

}  // namespace

WIN_TEST_MAIN()
