// The least a start-up to a message box can cost: a program that shows one box and ends when it
// is dismissed. Its box carries zingel's title, so the benchmark finds and times it exactly as it
// does zingel's welcome box; zingel's start-up is measured against this program's.

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return MessageBoxA(nullptr, "bare start-up", "zingel", MB_OK | MB_ICONINFORMATION) ? 0 : 1;
}
