// Drives the two stand-ins from another process the way zingel does: windows
// found with FindWindowExA, text and clicks sent with SendMessageA.

#include <cstdio>
#include <string>
#include <vector>

#include "standin_process.h"
#include "test_harness.h"

namespace {

using zingel::test::StandinProcess;
using zingel::test::WaitUntil;
using namespace std::string_literals;

std::string g_player_exe;
std::string g_chatroom_exe;

std::string Join(const std::vector<std::string>& parts) {
  std::string joined;
  for (size_t i = 0; i < parts.size(); ++i) joined += (i ? "|" : "") + parts[i];
  return joined;
}

// A file in the temporary folder, removed before and after the test.
class TempFile {
 public:
  explicit TempFile(const char* name) {
    char folder[MAX_PATH];
    if (!GetTempPathA(MAX_PATH, folder)) folder[0] = '\0';
    path_ = std::string(folder) + "zingel-standins-" + std::to_string(GetCurrentProcessId()) + "-" +
            name;
    DeleteFileA(path_.c_str());
  }
  ~TempFile() { DeleteFileA(path_.c_str()); }
  const std::string& path() const { return path_; }

  // The log's texts joined with "|".
  std::string LogTexts() const {
    std::vector<std::string> texts;
    for (const auto& line : StandinProcess::LogLines(path_)) texts.push_back(line.text);
    return Join(texts);
  }
  size_t LogSize() const { return StandinProcess::LogLines(path_).size(); }

 private:
  std::string path_;
};

// A window may be listed before its children exist; the stand-ins read their
// first command only once it is complete.
HWND ReadyWindow(StandinProcess& process, const char* class_name) {
  return process.Command("ping") ? process.FindWindowOfClass(class_name) : nullptr;
}

std::string WindowText(HWND window) {
  std::string text(static_cast<size_t>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
  text.resize(static_cast<size_t>(
      SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

void SetText(HWND window, const std::string& text) {
  SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Press(HWND button) {
  SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SendMessageA(button, WM_LBUTTONUP, 0, 0);
}

std::vector<std::string> ChildClasses(HWND parent) {
  std::vector<std::string> classes;
  for (HWND child = nullptr; (child = FindWindowExA(parent, child, nullptr, nullptr));) {
    char name[64];
    classes.emplace_back(name, static_cast<size_t>(GetClassNameA(child, name, sizeof name)));
  }
  return classes;
}

// The n-th child of the class, counted from 1, as FindWindowExA lists them.
HWND NthChild(HWND parent, const char* class_name, int n) {
  HWND child = nullptr;
  for (int i = 0; i < n; ++i) child = FindWindowExA(parent, child, class_name, nullptr);
  return child;
}

std::string ExpectedChildren(size_t boxes, size_t buttons) {
  std::vector<std::string> classes(boxes, "WndAte32Class");
  classes.insert(classes.end(), buttons, "_Oscar_IconBtn");
  return Join(classes);
}

WIN_TEST(ChatRoomChildrenComeInCreationOrder) {
  struct Layout {
    std::vector<std::string> args;
    const char* title;
    size_t boxes;
    size_t buttons;
  };
  const Layout layouts[] = {
      {{}, "Chat Room", 2, 6},
      {{"--boxes", "1", "--buttons", "3"}, "Chat Room", 1, 3},
      {{"--boxes", "3", "--buttons", "7", "--title", "R\xC3\xA4um"}, "R\xE4um", 3, 7},
      {{"--boxes", "0", "--buttons", "0"}, "Chat Room", 0, 0},
  };
  for (const Layout& layout : layouts) {
    StandinProcess room(g_chatroom_exe, layout.args);
    const HWND window = ReadyWindow(room, "Aim_Chatwnd");
    CHECK(window != nullptr);
    CHECK_EQ(Join(ChildClasses(window)), ExpectedChildren(layout.boxes, layout.buttons));
    CHECK_EQ(WindowText(window), std::string(layout.title));
    if (layout.buttons >= 5) CHECK_EQ(WindowText(NthChild(window, "_Oscar_IconBtn", 5)), "Send"s);
  }
}

WIN_TEST(SendButtonPostsTheInputBytesAndClearsTheInput) {
  TempFile log("send.log");
  StandinProcess room(g_chatroom_exe, {"--log", log.path()});
  const HWND window = ReadyWindow(room, "Aim_Chatwnd");
  const HWND input = NthChild(window, "WndAte32Class", 2);
  const HWND send = NthChild(window, "_Oscar_IconBtn", 5);
  CHECK(input != nullptr && send != nullptr);
  const std::vector<std::string> lines = {"<b>-=\xA4</b> x", "", "tab\there \\ back\r\nslash\x01"};
  for (size_t i = 0; i < lines.size(); ++i) {
    SetText(input, lines[i]);
    Press(send);
    CHECK(WaitUntil([&] { return log.LogSize() > i; }));
    CHECK_EQ(WindowText(input), std::string());
  }
  CHECK_EQ(log.LogTexts(), Join(lines));
  CHECK_EQ(WindowText(NthChild(window, "WndAte32Class", 1)),
           "<b>-=\xA4</b> x\r\n\r\ntab\there \\ back\r\nslash\x01\r\n"s);
  std::vector<std::string> transcript;
  CHECK(room.Command("transcript", &transcript));
  CHECK_EQ(Join(transcript), "<b>-=\xC2\xA4</b> x||tab\there \\ back|slash\x01|end transcript"s);
}

// SendMessageA returns only after the stand-in handled the click, so the log
// is complete when it returns.
WIN_TEST(OnlyAPressThenReleaseOfTheFifthButtonSends) {
  TempFile log("buttons.log");
  StandinProcess room(g_chatroom_exe, {"--log", log.path()});
  const HWND window = ReadyWindow(room, "Aim_Chatwnd");
  const HWND input = NthChild(window, "WndAte32Class", 2);
  const HWND send = NthChild(window, "_Oscar_IconBtn", 5);
  SetText(input, "stay");
  for (const int n : {1, 2, 3, 4, 6}) Press(NthChild(window, "_Oscar_IconBtn", n));
  SendMessageA(send, WM_LBUTTONUP, 0, 0);
  CHECK_EQ(WindowText(input), "stay"s);
  CHECK_EQ(log.LogSize(), size_t{0});
  SendMessageA(send, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  CHECK_EQ(log.LogSize(), size_t{0});
  SendMessageA(send, WM_LBUTTONUP, 0, 0);
  SendMessageA(send, WM_LBUTTONUP, 0, 0);  // a second release is no second click
  CHECK(WaitUntil([&] { return log.LogSize() > 0; }));
  CHECK_EQ(log.LogTexts(), "stay"s);
}

WIN_TEST(ChatRoomReopensWithItsTranscriptAndEndsWhenClosedByHand) {
  TempFile log("reopen.log");
  StandinProcess room(g_chatroom_exe, {"--log", log.path()});
  HWND window = ReadyWindow(room, "Aim_Chatwnd");
  SetText(NthChild(window, "WndAte32Class", 2), "before");
  Press(NthChild(window, "_Oscar_IconBtn", 5));
  CHECK(room.Command("close"));
  CHECK(room.FindWindowOfClass("Aim_Chatwnd") == nullptr);
  CHECK(room.Command("open"));
  window = room.FindWindowOfClass("Aim_Chatwnd");
  CHECK_EQ(Join(ChildClasses(window)), ExpectedChildren(2, 6));
  CHECK_EQ(WindowText(NthChild(window, "WndAte32Class", 1)), "before\r\n"s);
  CHECK(!room.Command("no-such-command"));
  PostMessageA(window, WM_CLOSE, 0, 0);
  CHECK(WaitUntil([&] { return room.Exited(); }));
}

WIN_TEST(PlayerCaptionFollowsCommandsAndIsLogged) {
  TempFile log("caption.log");
  StandinProcess player(g_player_exe, {"--log", log.path(), "--caption", "1. A - B - Winamp"});
  HWND window = ReadyWindow(player, "Winamp v1.x");
  CHECK_EQ(WindowText(window), "1. A - B - Winamp"s);
  CHECK(player.Command("caption 2. Bj\xC3\xB6rk - J\xC3\xB3ga - Winamp"));
  CHECK_EQ(WindowText(window), "2. Bj\xF6rk - J\xF3ga - Winamp"s);
  CHECK_EQ(log.LogTexts(), "1. A - B - Winamp|2. Bj\xC3\xB6rk - J\xC3\xB3ga - Winamp"s);
  CHECK(player.Command("close"));
  CHECK(player.FindWindowOfClass("Winamp v1.x") == nullptr);
  CHECK(player.Command("caption 3. C - D - Winamp"));
  CHECK(player.Command("open"));
  window = player.FindWindowOfClass("Winamp v1.x");
  CHECK_EQ(WindowText(window), "3. C - D - Winamp"s);
  CHECK(player.Command("quit"));
  CHECK(WaitUntil([&] { return player.Exited(); }));
}

WIN_TEST(PlayerPlaylistHoldsEachCaptionAndLoops) {
  TempFile playlist("playlist.txt");
  TempFile log("playlist.log");
  FILE* file = std::fopen(playlist.path().c_str(), "wb");
  CHECK(file != nullptr);
  if (!file) return;
  std::fputs("# comment\n\n150\tA - Winamp\r\n150\tB - Winamp\n", file);
  std::fclose(file);
  StandinProcess player(g_player_exe, {"--playlist", playlist.path(), "--loop", "--log", log.path(),
                                       "--caption", "unused"});
  CHECK(WaitUntil([&] { return log.LogSize() >= 5; }));
  const auto lines = StandinProcess::LogLines(log.path());
  std::vector<std::string> texts;
  for (size_t i = 0; i < lines.size() && i < 5; ++i) {
    texts.push_back(lines[i].text);
    if (i > 0) CHECK(lines[i].seconds - lines[i - 1].seconds >= 0.14);
  }
  CHECK_EQ(Join(texts), "A - Winamp|B - Winamp|A - Winamp|B - Winamp|A - Winamp"s);
}

// Acknowledged as the hang starts; the window answers again once it ends.
WIN_TEST(HangKeepsTheWindowFromAnsweringUntilItEnds) {
  StandinProcess player(g_player_exe, {});
  const HWND window = ReadyWindow(player, "Winamp v1.x");
  const DWORD start = GetTickCount();
  CHECK(player.Command("hang 1500"));
  DWORD_PTR result = 0;
  CHECK(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result) != 0);
  CHECK(GetTickCount() - start >= 1400);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::printf("usage: zingel_standins_test PLAYER_EXE CHATROOM_EXE\n");
    return 2;
  }
  g_player_exe = argv[1];
  g_chatroom_exe = argv[2];
  return zingel::test::RunAll();
}
