#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/announcer.h"
#include "player/winamp_api.h"
#include "support/cp1252.h"
#include "support/fake_window_system.h"

namespace zingel {
namespace {

using test::FakeWindowSystem;

// Records every view call and every line sent, in one sequence.
class RecordingView final : public AnnouncerView {
 public:
  std::vector<std::string> calls;
  std::u16string prefix = u"-=>";

  void ShowSong(const std::u16string& song) override {
    calls.push_back("ShowSong " + test::ToCp1252(song));
  }
  void SetPrefixBoxEnabled(bool on) override { Record("PrefixBox", on); }
  void SetStartEnabled(bool on) override { Record("Start", on); }
  void SetStopEnabled(bool on) override { Record("Stop", on); }
  void SetTimerEnabled(bool on) override { Record("Timer", on); }
  std::u16string ReadPrefixText() override { return prefix; }

 private:
  void Record(const std::string& what, bool on) { calls.push_back(what + (on ? " on" : " off")); }
};

// The announcer wired to a player window in the fake window system, as the
// program wires it to the real one.
class AnnouncerRig {
 public:
  FakeWindowSystem windows;
  RecordingView view;
  PlayerReader reader{windows};
  std::vector<std::string> lines;
  Announcer announcer{[this] { return reader.ReadSongTitle(); },
                      [this](const std::u16string& line) {
                        lines.push_back(test::ToCp1252(line));
                        view.calls.push_back("Send " + test::ToCp1252(line));
                      },
                      view};
  WindowHandle player = 0;

  void OpenPlayer(const std::u16string& caption) {
    player = windows.AddTopWindow(u"Winamp v1.x", caption);
  }
  void ClosePlayer() {
    windows.Close(player);
    player = 0;
  }
  void Caption(const std::u16string& caption) { windows.SetText(player, caption); }
};

TEST(Announcer, StartSendsTheCurrentSongBeforeTheTimerRuns) {
  AnnouncerRig rig;
  rig.OpenPlayer(u"12. Artist & Title - Winamp");
  rig.announcer.Start();
  // The song box shows the song as read; only the line escapes it.
  const std::vector<std::string> expected = {"PrefixBox off",
                                             "Start off",
                                             "Stop on",
                                             "ShowSong Artist & Title",
                                             "Send <b>-=></b> Artist &amp; Title",
                                             "Timer on"};
  EXPECT_EQ(rig.view.calls, expected);
  EXPECT_TRUE(rig.announcer.Running());
  EXPECT_EQ(rig.announcer.SongBox(), u"Artist & Title");
}

TEST(Announcer, TicksWithAnUnchangedSongDoNothing) {
  AnnouncerRig rig;
  rig.OpenPlayer(u"1. Same - Winamp");
  rig.announcer.Start();
  rig.view.calls.clear();
  for (int i = 0; i < 5; ++i) rig.announcer.Tick();
  EXPECT_TRUE(rig.view.calls.empty());
  EXPECT_EQ(rig.lines.size(), 1u);
}

TEST(Announcer, StopRestoresTheControlsAndKeepsTheSong) {
  AnnouncerRig rig;
  rig.OpenPlayer(u"1. Song - Winamp");
  rig.announcer.Start();
  rig.view.calls.clear();
  rig.announcer.Stop();
  const std::vector<std::string> expected = {"Start on", "Stop off", "Timer off", "PrefixBox on"};
  EXPECT_EQ(rig.view.calls, expected);
  EXPECT_FALSE(rig.announcer.Running());
  EXPECT_EQ(rig.announcer.SongBox(), u"Song");
}

// One step of a session: what happens, then the lines it must send.
struct Step {
  enum Kind { kStart, kStop, kTick, kCaption, kClosePlayer, kOpenPlayer, kPrefix } kind;
  const char16_t* text;
  std::vector<std::string> lines;
};

struct Session {
  const char* name;
  std::vector<Step> steps;
};

const std::vector<Session> kSessions = {
    {"a change sends one line on the first tick that sees it",
     {{Step::kOpenPlayer, u"1. A - Winamp", {}},
      {Step::kStart, nullptr, {"<b>-=></b> A"}},
      {Step::kCaption, u"2. B - Winamp", {}},
      {Step::kTick, nullptr, {"<b>-=></b> B"}},
      {Step::kTick, nullptr, {}},
      {Step::kCaption, u"2. B - Winamp [Paused]", {}},
      {Step::kTick, nullptr, {}}}},
    {"the player closing empties the box; the same song then comes back",
     {{Step::kOpenPlayer, u"1. A - Winamp", {}},
      {Step::kStart, nullptr, {"<b>-=></b> A"}},
      {Step::kClosePlayer, nullptr, {}},
      {Step::kTick, nullptr, {}},
      {Step::kTick, nullptr, {}},
      {Step::kOpenPlayer, u"1. A - Winamp", {}},
      {Step::kTick, nullptr, {"<b>-=></b> A"}}}},
    {"a caption without the marker sends nothing",
     {{Step::kOpenPlayer, u"Winamp 2.91", {}},
      {Step::kStart, nullptr, {}},
      {Step::kCaption, u"3. C - Winamp", {}},
      {Step::kTick, nullptr, {"<b>-=></b> C"}}}},
    {"stop then start with the song unchanged sends nothing",
     {{Step::kOpenPlayer, u"1. A - Winamp", {}},
      {Step::kStart, nullptr, {"<b>-=></b> A"}},
      {Step::kStop, nullptr, {}},
      {Step::kStart, nullptr, {}}}},
    {"a song changed while stopped is sent by start, with the new prefix",
     {{Step::kOpenPlayer, u"1. A - Winamp", {}},
      {Step::kStart, nullptr, {"<b>-=></b> A"}},
      {Step::kStop, nullptr, {}},
      {Step::kCaption, u"2. B - Winamp", {}},
      {Step::kPrefix, u"-=[\u00A4", {}},
      {Step::kStart, nullptr, {"<b>-=[\xA4</b> B"}}}},
    {"an empty prefix still frames the song",
     {{Step::kOpenPlayer, u"1. A - Winamp", {}},
      {Step::kPrefix, u"", {}},
      {Step::kStart, nullptr, {"<b></b> A"}}}},
    {"the initial song box text is announced only if the player shows it",
     {{Step::kOpenPlayer, u"1. Current Song - Winamp", {}},
      {Step::kStart, nullptr, {}},
      {Step::kCaption, u"2. Other - Winamp", {}},
      {Step::kTick, nullptr, {"<b>-=></b> Other"}}}},
    {"a change flickering back within one poll is not seen",
     {{Step::kOpenPlayer, u"1. A - Winamp", {}},
      {Step::kStart, nullptr, {"<b>-=></b> A"}},
      {Step::kCaption, u"2. B - Winamp", {}},
      {Step::kCaption, u"1. A - Winamp", {}},
      {Step::kTick, nullptr, {}}}},
    {"a song's markup characters are sent as text; the box compares the song as read",
     {{Step::kOpenPlayer, u"1. Tom & Jerry <3 - Winamp", {}},
      {Step::kStart, nullptr, {"<b>-=></b> Tom &amp; Jerry &lt;3"}},
      {Step::kCaption, u"1. <a href=x>y</a> - Winamp", {}},
      {Step::kTick, nullptr, {"<b>-=></b> &lt;a href=x&gt;y&lt;/a&gt;"}},
      {Step::kTick, nullptr, {}}}},
    {"case alone makes a different song",
     {{Step::kOpenPlayer, u"1. abc - Winamp", {}},
      {Step::kStart, nullptr, {"<b>-=></b> abc"}},
      {Step::kCaption, u"1. ABC - Winamp", {}},
      {Step::kTick, nullptr, {"<b>-=></b> ABC"}}}},
};

TEST(Announcer, SendsExactlyOneLinePerSongChange) {
  for (const Session& session : kSessions) {
    AnnouncerRig rig;
    for (std::size_t i = 0; i < session.steps.size(); ++i) {
      const Step& step = session.steps[i];
      rig.lines.clear();
      switch (step.kind) {
        case Step::kStart:
          rig.announcer.Start();
          break;
        case Step::kStop:
          rig.announcer.Stop();
          break;
        case Step::kTick:
          rig.announcer.Tick();
          break;
        case Step::kCaption:
          rig.Caption(step.text);
          break;
        case Step::kClosePlayer:
          rig.ClosePlayer();
          break;
        case Step::kOpenPlayer:
          rig.OpenPlayer(step.text);
          break;
        case Step::kPrefix:
          rig.view.prefix = step.text;
          break;
      }
      EXPECT_EQ(rig.lines, step.lines) << session.name << ", step " << i;
    }
  }
}

TEST(Announcer, ShowsEverySongBoxChangeIncludingTheEmptyOne) {
  AnnouncerRig rig;
  rig.OpenPlayer(u"1. A - Winamp");
  rig.announcer.Start();
  rig.ClosePlayer();
  rig.view.calls.clear();
  rig.announcer.Tick();
  EXPECT_EQ(rig.view.calls, std::vector<std::string>{"ShowSong "});
  EXPECT_EQ(rig.announcer.SongBox(), u"");
}

TEST(SongLine, KeepsThePrefixMarkupAndEscapesTheSong) {
  EXPECT_EQ(SongLine(u"<i>-=></i>", u"a&b<c>d"), u"<b><i>-=></i></b> a&amp;b&lt;c&gt;d");
}

}  // namespace
}  // namespace zingel
