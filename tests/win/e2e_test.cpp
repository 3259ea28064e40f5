// The real zingel.exe, driven from another program through its windows, with
// the stand-in player and chat room.

#include <string>
#include <vector>

#include "standin_process.h"
#include "test_harness.h"
#include "zingel_app.h"

namespace {

using zingel::test::StandinProcess;
using zingel::test::WaitUntil;
using zingel::test::ZingelApp;

std::string g_zingel_exe;
std::string g_player_exe;
std::string g_chatroom_exe;

WIN_TEST(Smoke) {
  ZingelApp app(g_zingel_exe);
  HWND box = app.WaitForMessageBox();
  CHECK(box != nullptr);
  CHECK_EQ(ZingelApp::BoxText(box), std::u16string(u"thank you for hosting teskin"));
  CHECK(ZingelApp::DismissBox(box));
  CHECK(app.WaitForMainWindow() != nullptr);
  const auto items = app.Combo1Items();
  for (auto& i : items) std::printf("item %s\n", zingel::test::Printable(i).c_str());
  std::printf("sel %d text1 %s\n", app.Combo1Selection(),
              zingel::test::Printable(app.ControlText(200)).c_str());
  CHECK(app.SelectPrefix(3));
  CHECK(app.Click(201));
  CHECK(WaitUntil([&] { return app.Enabled(202); }));
  CHECK(app.WaitIdle());
  CHECK(app.Click(204));
  CHECK(WaitUntil([&] { return !app.MainVisible(); }));
  CHECK(app.PostTrayMessage(513));
  CHECK(app.WaitForPopupMenu() != nullptr);
  CHECK(app.ChooseMenuItem(2));
  box = app.WaitForMessageBox();
  CHECK(box != nullptr);
  CHECK_EQ(ZingelApp::BoxText(box), std::u16string(u"have any questions IM me S/N: Brask2261"));
  CHECK(ZingelApp::DismissBox(box));
  CHECK(app.PostTrayMessage(513));
  CHECK(app.WaitForPopupMenu() != nullptr);
  CHECK(app.ChooseMenuItem(1));
  CHECK(WaitUntil([&] { return app.MainVisible(); }));
  CHECK(app.PostClose());
  CHECK(app.WaitForExit());
  CHECK_EQ(app.ExitCode(), DWORD{0});
  CHECK(!app.HasWindows());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::printf("usage: %s ZINGEL_EXE PLAYER_EXE CHATROOM_EXE\n", argv[0]);
    return 2;
  }
  g_zingel_exe = argv[1];
  g_player_exe = argv[2];
  g_chatroom_exe = argv[3];
  return zingel::test::RunAll();
}
