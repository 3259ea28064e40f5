// The tray icon record as the shell gets it: every field of its first form after Fill, and nothing
// past it. The shell's Shell_NotifyIconA is this program's own: it keeps what it is handed.

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "test_harness.h"
#include "ui/module1.h"

namespace {

DWORD g_message = 0;
NOTIFYICONDATAA g_record{};  // the whole record, the bytes past its first form too

extern "C" BOOL WINAPI KeepRecord(DWORD message, PNOTIFYICONDATAA record) {
  g_message = message;
  g_record = *record;
  return TRUE;
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

WIN_TEST(TheShellGetsEveryFieldOfTheFirstFormAfterFill) {
  HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
  HICON icon = reinterpret_cast<HICON>(static_cast<INT_PTR>(0x5678));
  static constexpr std::string_view kLong =
      "0123456789012345678901234567890123456789012345678901234567890123456789";
  // Captions, and how many of their characters the tip shows; each after a longer one, so
  // leftovers of the tip before would show.
  for (const auto& [caption, shown] : {std::pair{kLong, 63},
                                       {kLong.substr(0, 64), 63},
                                       {kLong.substr(0, 63), 63},
                                       {std::string_view("zingel"), 6},
                                       {std::string_view(), 0}}) {
    zingel::Module1::Fill(window, icon, caption);
    CHECK(zingel::Module1::Add());
    CHECK_EQ(g_message, DWORD{NIM_ADD});
    CHECK_EQ(g_record.cbSize, DWORD{sizeof(void*) == 4 ? 88u : 104u});
    CHECK(g_record.hWnd == window && g_record.hIcon == icon);
    CHECK_EQ(g_record.uID, UINT{1});
    CHECK_EQ(g_record.uFlags, UINT{7});
    CHECK_EQ(g_record.uCallbackMessage, UINT{512});
    std::string tip(caption.substr(0, static_cast<std::size_t>(shown)));
    tip += '\0';
    tip.append(64 - tip.size(), ' ');
    CHECK_EQ(std::string(g_record.szTip, 64), tip);
    // Nothing past the first form is ever written.
    const auto* bytes = reinterpret_cast<const unsigned char*>(&g_record);
    CHECK(std::all_of(bytes + NOTIFYICONDATAA_V1_SIZE, bytes + sizeof g_record,
                      [](unsigned char byte) { return byte == 0; }));
  }
}

}  // namespace

WIN_TEST_MAIN()
