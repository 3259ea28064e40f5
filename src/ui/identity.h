#pragma once
// What other programs know zingel by: its main window's class and the message a second start
// posts to it. The driver of the tests uses them too.

namespace zingel {

inline constexpr wchar_t kMainWindowClass[] = L"zingel";

// Posted by a second start to the first one's main window.
inline constexpr char kBringBackMessage[] = "zingel: bring back";

}  // namespace zingel
