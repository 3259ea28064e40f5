#include <windows.h>

#include "ui/main_window.h"
#include "ui/single_instance.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  // Before anything reaches the chat room: a second zingel only hands over.
  const zingel::InstanceLock lock;
  if (lock.HeldElsewhere()) {
    zingel::BringBackFirstInstance();
    return 0;
  }
  zingel::Winamp window;
  if (!window.Create(instance)) return 1;
  window.Load(show_command);
  return window.Run();
}
