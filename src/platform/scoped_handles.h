#pragma once
// Owners for the few kernel, GDI and user handles the program creates.

#include <windows.h>

#include <memory>
#include <type_traits>

namespace zingel {

struct HandleDeleter {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct IconDeleter {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct MenuDeleter {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct FontDeleter {
  void operator()(HFONT font) const { DeleteObject(font); }
};
struct WinEventHookDeleter {
  void operator()(HWINEVENTHOOK hook) const { UnhookWinEvent(hook); }
};

using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleDeleter>;
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;
using UniqueWinEventHook =
    std::unique_ptr<std::remove_pointer_t<HWINEVENTHOOK>, WinEventHookDeleter>;

}  // namespace zingel
