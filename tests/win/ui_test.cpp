// The tray icon record: every field of its first form after Fill.

#include <windows.h>

#include <string>
#include <string_view>

#include "test_harness.h"
#include "ui/module1.h"

namespace {

using zingel::Module1::TrayIcon;

WIN_TEST(FillSetsEveryFieldOfTheFirstForm) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&TrayIcon());
  const auto untouched = [&] {
    // Nothing past the first form is ever written.
    for (std::size_t i = NOTIFYICONDATAA_V1_SIZE; i < sizeof(zingel::TrayIconRecord); ++i) {
      if (bytes[i] != 0) return false;
    }
    return true;
  };
  HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
  HICON icon = reinterpret_cast<HICON>(static_cast<INT_PTR>(0x5678));
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
    zingel::Module1::Fill(window, icon, c.caption);
    const zingel::TrayIconRecord& record = TrayIcon();
    CHECK_EQ(record.cbSize, DWORD{sizeof(void*) == 4 ? 88u : 104u});
    CHECK(record.hWnd == window && record.hIcon == icon);
    CHECK_EQ(record.uID, UINT{1});
    CHECK_EQ(record.uFlags, UINT{7});
    CHECK_EQ(record.uCallbackMessage, UINT{512});
    std::string tip(c.caption.substr(0, c.shown));
    tip += '\0';
    tip.append(64 - tip.size(), ' ');
    CHECK_EQ(std::string(record.szTip, 64), tip);
    CHECK(untouched());
  }
}

}  // namespace

WIN_TEST_MAIN()
