// The demo: starts the stand-in chat room and player and the real zingel,
// then plays a short session through zingel's windows as a user would,
// printing each step. At the end it prints the room's transcript and checks
// it. With --interactive it only starts the three programs and leaves zingel
// to the user.
//
// Usage: zingel_demo_driver ZINGEL PLAYER CHATROOM OUTDIR [--interactive]
// OUTDIR receives demo.log (what it prints, as it happens), zingel-demo.bmp
// (the desktop during the session) and demo-result (the exit code): a program
// the Wine desktop starts has no standard output and passes no exit code on.

#include <cstdio>
#include <string>
#include <vector>

#include "protocol.h"
#include "standins.h"
#include "ui/resource.h"
#include "zingel_app.h"

namespace {

using zingel::driver::PlayerStandin;
using zingel::driver::PresenceUtf8;
using zingel::driver::Program;
using zingel::driver::RoomStandin;
using zingel::driver::TempPath;
using zingel::driver::Utf8;
using zingel::driver::WaitUntil;
using zingel::driver::ZingelApp;

struct Song {
  const char* caption;  // the player's caption, UTF-8
  const char* line;     // the room's transcript line for it, UTF-8
};

// The prefix the session chooses: the fourth, "-=[¤".
constexpr int kPrefixIndex = 3;
constexpr Song kSongs[] = {
    {"1. Nina Tessel - Morning Static - Winamp", "<b>-=[\xC2\xA4</b> Nina Tessel - Morning Static"},
    {"2. The Polling Rate - Ten Milliseconds - Winamp",
     "<b>-=[\xC2\xA4</b> The Polling Rate - Ten Milliseconds"},
    // Greek, "Kaleidoscope - Minimised": a Unicode room gets every character.
    {"3. Καλειδοσκόπιο - Ελαχιστοποιημένο - Winamp",
     "<b>-=[\xC2\xA4</b> Καλειδοσκόπιο - Ελαχιστοποιημένο"},
    {"14. Se\xC3\xB1or Tick - D\xC3\xA9j\xC3\xA0 Vu - Winamp",
     "<b>-=[\xC2\xA4</b> Se\xC3\xB1or Tick - D\xC3\xA9j\xC3\xA0 Vu"},
};
// A radio stream: the caption while it connects and buffers, then the title.
constexpr const char* kStreamConnecting = "5. [Connecting] http://radio.example:8000/zed - Winamp";
constexpr const char* kStreamBuffering = "5. [Buffer: {}%] Radio Zed - Night Drive - Winamp";
constexpr const char* kStreamInterrupted =
    "5. [Stream temporarily interrupted] Radio Zed - Night Drive - Winamp";
constexpr Song kStream = {"5. Radio Zed - Night Drive - Winamp",
                          "<b>-=[\xC2\xA4</b> Radio Zed - Night Drive"};
// What the user types in the room while the next song starts: zingel holds that song's line.
constexpr const char* kDraft = "brb, making tea";
constexpr Song kHeld = {"6. Quiet Hours - Kettle Song - Winamp",
                        "<b>-=[\xC2\xA4</b> Quiet Hours - Kettle Song"};
// How long each song plays, for whoever watches.
constexpr DWORD kSongMs = 2000;
constexpr DWORD kInteractiveSongMs = 8000;
constexpr DWORD kInteractiveMs = 60 * 60 * 1000;
// How long the player shows each status of a stream.
constexpr DWORD kStatusMs = 20;
// The player's own scrolling period.
constexpr const char* kScrollMs = "200";

// The stream's status captions, in order: "{}" becomes each percentage.
std::vector<std::string> StreamStatuses() {
  std::vector<std::string> captions = {kStreamConnecting};
  const std::string buffering = kStreamBuffering;
  const size_t at = buffering.find("{}");
  for (int percent = 0; percent <= 100; ++percent)
    captions.push_back(buffering.substr(0, at) + std::to_string(percent) +
                       buffering.substr(at + 2));
  return captions;
}

const DWORD g_start = GetTickCount();
FILE* g_log = stdout;

void Print(const std::string& text) {
  std::fputs(text.c_str(), g_log);
  std::fflush(g_log);
}

void Step(const std::string& text) {
  char stamp[24];
  std::snprintf(stamp, sizeof stamp, "[%5.1f s] ", (GetTickCount() - g_start) / 1000.0);
  Print(stamp + text + "\n");
}

// Lets time pass while the programs run; this thread has no windows.
void Hold(DWORD ms) {
  const DWORD until = GetTickCount() + ms;
  WaitUntil([&] { return static_cast<LONG>(GetTickCount() - until) >= 0; }, ms + 1000);
}

// The player, the room and zingel side by side in the 800x500 desktop.
void Place(HWND window, int x, int y, int width, int height) {
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (width == 0 ? SWP_NOSIZE : 0);
  if (window) SetWindowPos(window, nullptr, x, y, width, height, flags);
}

// Painting, for the screenshot. A window restored from the tray is shown at once but painted in
// its program's own time, control by control: a picture taken too soon missed a button. So the
// picture waits until no visible window, nor any of its visible children, has a region left to
// paint, and each program has answered a message since: Wine copies what a program painted to the
// screen when its thread next waits for messages.
BOOL CALLBACK CheckPainted(HWND window, LPARAM unpainted) {
  if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE))
    ++*reinterpret_cast<int*>(unpainted);
  return TRUE;
}

BOOL CALLBACK CheckTopPainted(HWND window, LPARAM unpainted) {
  if (!IsWindowVisible(window)) return TRUE;
  CheckPainted(window, unpainted);
  EnumChildWindows(window, CheckPainted, unpainted);
  return TRUE;
}

BOOL CALLBACK Ping(HWND window, LPARAM) {
  DWORD_PTR answer = 0;
  if (IsWindowVisible(window))
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer);
  return TRUE;
}

bool AllPainted() {
  int unpainted = 0;
  EnumWindows(CheckTopPainted, reinterpret_cast<LPARAM>(&unpainted));
  if (unpainted > 0) return false;
  EnumWindows(Ping, 0);
  EnumWindows(CheckTopPainted, reinterpret_cast<LPARAM>(&unpainted));
  return unpainted == 0;
}

// The desktop as a 24-bit BMP, which the demo script turns into a PNG.
bool SaveScreenshot(const std::string& path) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  const HDC screen = GetDC(nullptr);
  if (!screen) return false;
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom-up, as BMP files hold it
  info.biPlanes = 1;
  info.biBitCount = 24;
  const DWORD row = static_cast<DWORD>((width * 3 + 3) & ~3);
  std::vector<char> pixels(row * static_cast<DWORD>(height));
  const bool copied = memory && bitmap && SelectObject(memory, bitmap) &&
                      BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) &&
                      GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == height;
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!copied) return false;

  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                       std::fwrite(&info, sizeof info, 1, out) == 1 &&
                       std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
  return std::fclose(out) == 0 && written;
}

struct Programs {
  std::string zingel, player, room, outdir;
};

struct Room : RoomStandin {
  explicit Room(const Programs& programs)
      : RoomStandin(programs.room, "room.log", {"--title", "#zingel"}) {}
};

void PrintTranscript(const std::vector<std::string>& lines) {
  Print("\nThe chat room's transcript:\n");
  for (const std::string& line : lines) Print("  | " + line + "\n");
  Print("\n");
}

// Fails the demo with a message; the programs are ended by their destructors.
int Failed(const std::string& what) {
  Step("FAILED: " + what);
  return 1;
}

int Scripted(const Programs& programs) {
  Step("starting the stand-in chat room and player");
  Room room(programs);
  PlayerStandin player(programs.player, {"--caption", kSongs[0].caption});
  if (!room.Ready() || !player.Ready()) return Failed("a stand-in did not start");
  Place(player.FindWindowOfClass(standin::kPlayerClass.ansi), 10, 10, 440, 110);
  Place(room.FindWindowOfClass(standin::kRoomClass.ansi), 10, 130, 440, 360);
  Step(std::string("the player shows \"") + kSongs[0].caption + "\"");

  Step("starting zingel");
  ZingelApp app(programs.zingel);
  const HWND welcome = app.WaitForMessageBox();
  if (!welcome) return Failed("no welcome box");
  if (!room.WaitForLines(2)) return Failed("zingel said nothing in the room");
  Step("zingel posted its name and download link in the room");
  Step("welcome box: \"" + Utf8(ZingelApp::BoxText(welcome)) + "\"; pressing OK");
  Hold(kSongMs / 2);
  if (!ZingelApp::DismissBox(welcome) || !app.WaitForMainWindow())
    return Failed("no main window after the welcome box");
  Place(app.Main(), 480, 10, 0, 0);

  std::string offered;
  for (const auto& prefix : app.Combo1Items()) offered += " " + Utf8(prefix);
  Step("the prefix box offers" + offered);
  if (!app.SelectPrefix(kPrefixIndex)) return Failed("cannot choose a prefix");
  Step("chose the prefix " + Utf8(app.ControlText(IDC_COMBO1)));
  Hold(kSongMs / 2);

  size_t lines = 2;
  auto announced = [&](const char* when) {
    if (!room.WaitForLines(++lines)) return false;
    Step(std::string(when) + ": zingel announced \"" + Utf8(app.ControlText(IDC_TEXT1)) + "\"");
    return true;
  };
  if (!app.Click(IDC_COMMAND1) || !announced("start")) return Failed("start announced nothing");
  Hold(kSongMs);
  if (!player.Show(kSongs[1].caption) || !announced("next song"))
    return Failed("the second song was not announced");
  Hold(kSongMs);
  if (!player.Command(std::string("scroll ") + kScrollMs))
    return Failed("the player does not scroll its title");
  Step("the player scrolls its title, a frame every " + std::string(kScrollMs) +
       " ms: the same song, nothing announced");
  Hold(kSongMs);

  if (!app.Click(IDC_COMMAND3) || !WaitUntil([&] { return !app.MainVisible(); }))
    return Failed("minimize to tray did not hide the window");
  Step("minimised to the tray");
  if (!player.Show(kSongs[2].caption) || !announced("still in the tray"))
    return Failed("the song played in the tray was not announced");
  Hold(kSongMs);
  if (!app.PostTrayMessage(WM_LBUTTONDOWN) || !app.WaitForPopupMenu())
    return Failed("a click on the tray icon opened no menu");
  Step("clicked the tray icon: the menu shows exit, restore, about; choosing restore");
  Hold(kSongMs / 2);
  if (!app.ChooseMenuItem(1) || !WaitUntil([&] { return app.MainVisible(); }))
    return Failed("restore did not bring the window back");
  Step("restored");

  if (!player.Show(kSongs[3].caption) || !announced("restored"))
    return Failed("the last song was not announced");
  const std::string shot = programs.outdir + "\\zingel-demo.bmp";
  if (!WaitUntil(AllPainted)) Step("the windows were still painting after 20 s");
  Step(SaveScreenshot(shot) ? "took a screenshot of the desktop" : "could not take a screenshot");
  Hold(kSongMs);

  Step("a radio stream starts: [Connecting], [Buffer: 0%] ... [Buffer: 100%], then its title");
  for (const std::string& status : StreamStatuses()) {
    if (!player.Show(status)) return Failed("the player did not show a stream's status");
    Hold(kStatusMs);
  }
  if (!player.Show(kStream.caption) || !announced("the stream's title"))
    return Failed("the stream's title was not announced");
  Hold(kSongMs);
  if (!player.Show(kStreamInterrupted)) return Failed("the player did not show an interruption");
  Hold(kSongMs / 2);
  if (!player.Show(kStream.caption)) return Failed("the stream did not resume");
  Step("the stream was interrupted and resumed: the same song, nothing announced");
  Hold(kSongMs);

  if (!room.Type(kDraft)) return Failed("could not type in the room");
  Step(std::string("the user types \"") + kDraft + "\" in the room");
  const unsigned long looks = room.Reads();
  // zingel looks at the room's input box again and again only while it holds a line.
  if (!player.Show(kHeld.caption) || !WaitUntil([&] { return room.Reads() >= looks + 3; }))
    return Failed("zingel did not hold the next song's line");
  Step("the next song starts: zingel holds its line and leaves the user's words alone");
  Hold(kSongMs);
  ++lines;  // the user's message, then the song
  if (!room.SendDraft() || !announced("the user sent the message, and then"))
    return Failed("the held song did not follow the user's message");
  Hold(kSongMs);

  if (!app.Click(IDC_COMMAND2) || !WaitUntil([&] { return app.Enabled(IDC_COMMAND1); }))
    return Failed("stop did not stop");
  Step("stopped");
  Hold(kSongMs / 2);
  if (!app.PostClose() || !app.WaitForExit()) return Failed("zingel did not end on close");
  Step("closed zingel (exit code " + std::to_string(app.ExitCode()) + ")");
  if (!room.WaitForLines(lines + 2)) return Failed("zingel said no goodbye in the room");

  const std::vector<std::string> transcript = room.Transcript();
  PrintTranscript(transcript);
  std::vector<std::string> expected = PresenceUtf8();
  for (const Song& song : kSongs) expected.push_back(song.line);
  expected.insert(expected.end(), {kStream.line, kDraft, kHeld.line});
  for (const std::string& line : PresenceUtf8()) expected.push_back(line);
  room.Command("quit");
  player.Command("quit");
  if (transcript != expected)
    return Failed("the transcript is not the presence lines and each song once, in order");
  Step("the transcript holds the presence lines and every song once, in order");
  return 0;
}

int Interactive(const Programs& programs) {
  const std::string playlist = TempPath("playlist.txt");
  if (FILE* file = std::fopen(playlist.c_str(), "wb")) {
    for (const Song& song : kSongs)
      std::fprintf(file, "%lu\t%s\n", kInteractiveSongMs, song.caption);
    // The stream's percentages as one range line of the playlist.
    std::string buffering = kStreamBuffering;
    buffering.replace(buffering.find("{}"), 2, "{0..100}");
    std::fprintf(file, "%lu\t%s\n%lu\t%s\n%lu\t%s\n", kStatusMs * 10, kStreamConnecting, kStatusMs,
                 buffering.c_str(), kInteractiveSongMs, kStream.caption);
    std::fclose(file);
  }
  Room room(programs);
  PlayerStandin player(programs.player, {"--playlist", playlist, "--loop", "--scroll", kScrollMs});
  if (!room.Ready() || !player.Ready()) return Failed("a stand-in did not start");
  Place(player.FindWindowOfClass(standin::kPlayerClass.ansi), 10, 10, 440, 110);
  Place(room.FindWindowOfClass(standin::kRoomClass.ansi), 10, 130, 440, 360);
  ZingelApp app(programs.zingel);
  Print("The player plays four songs and a radio stream in a loop, " +
        std::to_string(kInteractiveSongMs / 1000) +
        " s each, and scrolls its title. zingel is yours:\npress OK, pick a prefix, press start. "
        "Close zingel to end the demo.\n");
  // The user may close zingel before its window shows. An hour at most, then it is closed.
  const DWORD started = GetTickCount();
  app.WaitForMainWindow(kInteractiveMs);
  Place(app.Main(), 480, 10, 0, 0);
  const DWORD spent = GetTickCount() - started;
  if (!app.WaitForExit(spent < kInteractiveMs ? kInteractiveMs - spent : 0)) {
    Print("An hour is up: closing zingel.\n");
    app.PostClose();
    app.WaitForExit();
  }
  PrintTranscript(room.Transcript());
  room.Command("quit");
  player.Command("quit");
  DeleteFileA(playlist.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::printf("usage: %s ZINGEL PLAYER CHATROOM OUTDIR [--interactive]\n", argv[0]);
    return 2;
  }
  const Programs programs = {argv[1], argv[2], argv[3], Program::WindowsPath(argv[4])};
  const bool interactive = argc > 5 && std::string(argv[5]) == "--interactive";
  if (FILE* log = std::fopen((programs.outdir + "\\demo.log").c_str(), "wb")) g_log = log;
  const int code = interactive ? Interactive(programs) : Scripted(programs);
  if (FILE* result = std::fopen((programs.outdir + "\\demo-result").c_str(), "wb")) {
    std::fprintf(result, "%d\n", code);
    std::fclose(result);
  }
  return code;
}
