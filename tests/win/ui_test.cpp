// The tray icon record of Module1, and its Add and Delete against the shell.

#include <windows.h>

#include <cstring>
#include <string>
#include <string_view>

#include "test_harness.h"
#include "ui/module1.h"

namespace {

using zingel::Module1::TrayIcon;

std::string TipBytes() {
  return std::string(TrayIcon().szTip, zingel::Module1::kTipSize);
}

bool AllZero(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) {
    if (bytes[i] != 0) return false;
  }
  return true;
}

// A hidden window that owns the icons these tests add.
HWND MakeOwnerWindow() {
  return CreateWindowExA(0, "STATIC", "tray owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// NIM_MODIFY succeeds only for an icon the shell knows, so it tells whether
// the record's icon is shown.
bool IconShown() {
  zingel::TrayIconRecord probe = TrayIcon();
  return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

}  // namespace

// Must run first: it sees the record as the program starts.
WIN_TEST(RecordStartsZeroAndDeleteOnItReturns) {
  CHECK(AllZero(&TrayIcon(), sizeof(zingel::TrayIconRecord)));
  zingel::Module1::Delete();
  CHECK(AllZero(&TrayIcon(), sizeof(zingel::TrayIconRecord)));
}

WIN_TEST(FillSetsEveryFieldOfTheFirstForm) {
  HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
  HICON icon = reinterpret_cast<HICON>(static_cast<INT_PTR>(0x5678));
  zingel::Module1::Fill(window, icon, "zingel");
  const zingel::TrayIconRecord& record = TrayIcon();
#ifdef _WIN64
  CHECK_EQ(record.cbSize, DWORD{104});
#else
  CHECK_EQ(record.cbSize, DWORD{88});
#endif
  CHECK(record.hWnd == window);
  CHECK_EQ(record.uID, UINT{1});
  CHECK_EQ(record.uFlags, UINT{7});
  CHECK_EQ(record.uCallbackMessage, UINT{512});
  CHECK(record.hIcon == icon);
  CHECK_EQ(TipBytes(), std::string("zingel") + '\0' + std::string(57, ' '));
  // Nothing past the first form is touched.
  const auto* tail = reinterpret_cast<const unsigned char*>(&record) + record.cbSize;
  CHECK(AllZero(tail, sizeof record - record.cbSize));
}

WIN_TEST(TipHoldsCaptionNulAndSpacesWhateverCameBefore) {
  struct Case {
    std::string_view caption;
    std::size_t shown;  // caption characters in the tip
  };
  static constexpr std::string_view kLong =
      "0123456789012345678901234567890123456789012345678901234567890123456789";
  static constexpr Case kCases[] = {
      {"zingel", 6}, {"", 0},  {kLong.substr(0, 63), 63}, {kLong.substr(0, 64), 63},
      {kLong, 63},   {"a", 1},
  };
  // Each fill follows a longer one, so leftovers of the previous tip show.
  zingel::Module1::Fill(nullptr, nullptr, kLong);
  for (const Case& test : kCases) {
    zingel::Module1::Fill(nullptr, nullptr, test.caption);
    std::string want(test.caption.substr(0, test.shown));
    want += '\0';
    want.append(zingel::Module1::kTipSize - want.size(), ' ');
    CHECK_EQ(TipBytes(), want);
  }
}

WIN_TEST(AddShowsTheIconAndDeleteRemovesIt) {
  HWND window = MakeOwnerWindow();
  CHECK(window != nullptr);
  zingel::Module1::Fill(window, LoadIcon(nullptr, IDI_APPLICATION), "zingel");
  CHECK(!IconShown());
  CHECK(zingel::Module1::Add());
  CHECK(IconShown());
  zingel::Module1::Delete();
  CHECK(!IconShown());
  // Deleting again, with no icon shown, returns normally.
  zingel::Module1::Delete();
  CHECK(!IconShown());
  DestroyWindow(window);
}

WIN_TEST_MAIN()
