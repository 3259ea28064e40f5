#include <windows.h>

#include "ui/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  zingel::Winamp window;
  if (!window.Create(instance)) return 1;
  window.Load(show_command);
  return window.Run();
}
