#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/announcer.h"
#include "player/player_reader.h"
#include "support/fake_window_system.h"

namespace zingel {
namespace {

using Calls = std::vector<std::u16string>;

// Records every view call and every line sent, in one sequence.
class RecordingView final : public AnnouncerView {
 public:
  Calls calls;
  std::u16string prefix = u"-=>";
  std::u16string shown = Announcer::kInitialSong;  // what the song box shows

  void ShowSong(const std::u16string& song) override {
    shown = song;
    calls.push_back(u"ShowSong " + song);
  }
  void SetPrefixBoxEnabled(bool on) override { Record(u"PrefixBox", on); }
  void SetStartEnabled(bool on) override { Record(u"Start", on); }
  void SetStopEnabled(bool on) override { Record(u"Stop", on); }
  void SetTimerEnabled(bool on) override { Record(u"Timer", on); }
  std::u16string ReadPrefixText() override { return prefix; }

 private:
  void Record(const std::u16string& what, bool on) {
    calls.push_back(what + (on ? u" on" : u" off"));
  }
};

// The announcer wired to a player window in the fake window system, as the program wires it to
// the real one.
struct AnnouncerRig {
  test::FakeWindowSystem windows;
  RecordingView view;
  PlayerReader reader{windows};
  Calls lines;
  Announcer announcer{[this] { return reader.ReadSongTitle(); },
                      [this](const std::u16string& line) {
                        lines.push_back(line);
                        view.calls.push_back(u"Send " + line);
                      },
                      view};
  WindowHandle player = 0;
};

TEST(Announcer, StartShowsAndSendsTheSongBeforeTheTimerRunsAndStopUndoesIt) {
  AnnouncerRig rig;
  rig.player = rig.windows.AddTopWindow(u"Winamp v1.x", u"12. Artist & Title - Winamp");
  rig.announcer.Start();
  // The song box shows the song as read; only the line escapes it.
  EXPECT_EQ(rig.view.calls,
            (Calls{u"PrefixBox off", u"Start off", u"Stop on", u"ShowSong Artist & Title",
                   u"Send <b>-=></b> Artist &amp; Title", u"Timer on"}));
  rig.view.calls.clear();
  for (int i = 0; i < 3; ++i) rig.announcer.Tick();
  EXPECT_TRUE(rig.view.calls.empty());
  rig.announcer.Stop();
  EXPECT_EQ(rig.view.calls, (Calls{u"Start on", u"Stop off", u"Timer off", u"PrefixBox on"}));
  EXPECT_EQ(rig.announcer.SongBox(), u"Artist & Title");
}

// One step of a session: what happens, then the lines it must send.
struct Step {
  enum Kind { kStart, kStop, kTick, kCaption, kClosePlayer, kOpenPlayer, kPrefix } kind;
  const char16_t* text;
  Calls lines;
};

struct Session {
  const char* name;
  std::vector<Step> steps;
};

const std::vector<Session> kSessions = {
    {"a change sends one line on the first tick that sees it",
     {{Step::kOpenPlayer, u"1. A - Winamp", {}},
      {Step::kStart, nullptr, {u"<b>-=></b> A"}},
      {Step::kCaption, u"2. B - Winamp", {}},
      {Step::kTick, nullptr, {u"<b>-=></b> B"}},
      {Step::kTick, nullptr, {}},
      {Step::kCaption, u"2. B - Winamp [Paused]", {}},
      {Step::kTick, nullptr, {}}}},
    {"the player closing empties the box, shown; the same song then comes back",
     {{Step::kOpenPlayer, u"1. A - Winamp", {}},
      {Step::kStart, nullptr, {u"<b>-=></b> A"}},
      {Step::kClosePlayer, nullptr, {}},
      {Step::kTick, nullptr, {}},
      {Step::kTick, nullptr, {}},
      {Step::kOpenPlayer, u"1. A - Winamp", {}},
      {Step::kTick, nullptr, {u"<b>-=></b> A"}}}},
    {"a caption without the marker sends nothing",
     {{Step::kOpenPlayer, u"Winamp 2.91", {}},
      {Step::kStart, nullptr, {}},
      {Step::kCaption, u"3. C - Winamp", {}},
      {Step::kTick, nullptr, {u"<b>-=></b> C"}}}},
    {"stop then start with the song unchanged sends nothing",
     {{Step::kOpenPlayer, u"1. A - Winamp", {}},
      {Step::kStart, nullptr, {u"<b>-=></b> A"}},
      {Step::kStop, nullptr, {}},
      {Step::kStart, nullptr, {}}}},
    {"a song changed while stopped is sent by start, with the new prefix",
     {{Step::kOpenPlayer, u"1. A - Winamp", {}},
      {Step::kStart, nullptr, {u"<b>-=></b> A"}},
      {Step::kStop, nullptr, {}},
      {Step::kCaption, u"2. B - Winamp", {}},
      {Step::kPrefix, u"-=[\u00A4", {}},
      {Step::kStart, nullptr, {u"<b>-=[\u00A4</b> B"}}}},
    {"an empty prefix still frames the song",
     {{Step::kOpenPlayer, u"1. A - Winamp", {}},
      {Step::kPrefix, u"", {}},
      {Step::kStart, nullptr, {u"<b></b> A"}}}},
    {"the initial song box text is announced only if the player shows it",
     {{Step::kOpenPlayer, u"1. Current Song - Winamp", {}},
      {Step::kStart, nullptr, {}},
      {Step::kCaption, u"2. Other - Winamp", {}},
      {Step::kTick, nullptr, {u"<b>-=></b> Other"}}}},
    {"a change flickering back within one poll is not seen",
     {{Step::kOpenPlayer, u"1. A - Winamp", {}},
      {Step::kStart, nullptr, {u"<b>-=></b> A"}},
      {Step::kCaption, u"2. B - Winamp", {}},
      {Step::kCaption, u"1. A - Winamp", {}},
      {Step::kTick, nullptr, {}}}},
    {"a stream's statuses keep the song: a song after them is news if it differs",
     {{Step::kOpenPlayer, u"1. [Connecting] http://host:8000/stream - Winamp", {}},
      {Step::kStart, nullptr, {}},
      {Step::kCaption, u"1. A - Winamp", {}},
      {Step::kTick, nullptr, {u"<b>-=></b> A"}},
      {Step::kCaption, u"1. [Stream temporarily interrupted] A - Winamp", {}},
      {Step::kTick, nullptr, {}},
      {Step::kCaption, u"1. A - Winamp", {}},
      {Step::kTick, nullptr, {}},
      {Step::kCaption, u"1. [Buffer: 42%] B - Winamp", {}},
      {Step::kTick, nullptr, {}},
      {Step::kCaption, u"2. B - Winamp", {}},
      {Step::kTick, nullptr, {u"<b>-=></b> B"}}}},
    {"case alone makes a different song",
     {{Step::kOpenPlayer, u"1. abc - Winamp", {}},
      {Step::kStart, nullptr, {u"<b>-=></b> abc"}},
      {Step::kCaption, u"1. ABC - Winamp", {}},
      {Step::kTick, nullptr, {u"<b>-=></b> ABC"}}}},
    {"a song's markup is sent as text; the prefix's is kept",
     {{Step::kOpenPlayer, u"1. <3 - Winamp", {}},
      {Step::kPrefix, u"<i>-=></i>", {}},
      {Step::kStart, nullptr, {u"<b><i>-=></i></b> &lt;3"}},
      {Step::kCaption, u"1. <a href=x>y&z</a> - Winamp", {}},
      {Step::kTick, nullptr, {u"<b><i>-=></i></b> &lt;a href=x&gt;y&amp;z&lt;/a&gt;"}},
      {Step::kTick, nullptr, {}}}},
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
          rig.windows.SetText(rig.player, step.text);
          break;
        case Step::kClosePlayer:
          rig.windows.Close(rig.player);
          break;
        case Step::kOpenPlayer:
          rig.player = rig.windows.AddTopWindow(u"Winamp v1.x", step.text);
          break;
        case Step::kPrefix:
          rig.view.prefix = step.text;
          break;
      }
      EXPECT_EQ(rig.lines, step.lines) << session.name << ", step " << i;
      // Every change of the song box is shown, "" included.
      EXPECT_EQ(rig.view.shown, rig.announcer.SongBox()) << session.name << ", step " << i;
    }
  }
}

}  // namespace
}  // namespace zingel
