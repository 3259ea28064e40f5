#include "ui/single_instance.h"

#include <lmcons.h>

#include <string>

#include "ui/identity.h"

namespace zingel {

InstanceLock::InstanceLock() {
  // The session's own namespace, since each logged-on user runs a zingel of
  // their own; the user name keeps apart programs started as another user.
  std::string name = "Local\\zingel-";
  char user[UNLEN + 1] = {};
  DWORD size = sizeof user;
  // Without the name all users share one claim, which still stops doubles.
  if (GetUserNameA(user, &size)) name += user;
  HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
  // Failing to make the mutex at all is no reason not to run.
  held_elsewhere_ = mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
  mutex_.reset(mutex);
}

void BringBackFirstInstance() {
  const UINT message = RegisterWindowMessageA(kBringBackMessage);
  // No window yet (or any more): the first is starting or ending, and shows
  // itself or goes on its own.
  const HWND first = FindWindowW(kMainWindowClass, nullptr);
  if (message == 0 || first == nullptr) return;
  // The user just started us, so we may hand the first the foreground.
  DWORD process = 0;
  if (GetWindowThreadProcessId(first, &process) != 0) AllowSetForegroundWindow(process);
  PostMessageW(first, message, 0, 0);
}

}  // namespace zingel
