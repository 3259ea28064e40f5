// The announcer wired to the player reader over the fake window system, as the program wires it to
// the real one: what start, stop and the poll's ticks show and send, session by session.

#include <gtest/gtest.h>

#include <algorithm>
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
  void SetPrefixBoxEnabled(bool on) override {
    calls.push_back(on ? u"PrefixBox on" : u"PrefixBox off");
  }
  void SetStartEnabled(bool on) override { calls.push_back(on ? u"Start on" : u"Start off"); }
  void SetStopEnabled(bool on) override { calls.push_back(on ? u"Stop on" : u"Stop off"); }
  void SetTimerEnabled(bool on) override { calls.push_back(on ? u"Timer on" : u"Timer off"); }
  std::u16string ReadPrefixText() override { return prefix; }
};

// Records the lines sent, and every call in the view's sequence.
class RecordingLines final : public SongLines {
 public:
  explicit RecordingLines(Calls& calls) : calls_(calls) {}
  Calls lines;
  void Send(const std::u16string& line) override {
    lines.push_back(line);
    calls_.push_back(u"Send " + line);
  }
  void Drop() override { calls_.push_back(u"Drop"); }

 private:
  Calls& calls_;
};

struct AnnouncerRig {
  test::FakeWindowSystem windows;
  RecordingView view;
  PlayerReader reader{windows};
  RecordingLines song_lines{view.calls};
  Calls& lines = song_lines.lines;
  Announcer announcer{[this] { return reader.Read().song; }, song_lines, view};
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
  // Stop drops a line still waiting for the room, and so does a song box emptied.
  rig.announcer.Stop();
  EXPECT_EQ(rig.view.calls,
            (Calls{u"Start on", u"Stop off", u"Timer off", u"Drop", u"PrefixBox on"}));
  EXPECT_EQ(rig.announcer.SongBox(), u"Artist & Title");
  rig.view.calls.clear();
  rig.windows.Close(rig.player);
  rig.announcer.Tick();
  EXPECT_EQ(rig.view.calls, (Calls{u"ShowSong ", u"Drop"}));
}

// A session's steps: "open CAPTION", "caption CAPTION", "close" (the player's window), "prefix
// TEXT", "noprefix" (an empty one), "fail" (reads fail from now on, or again succeed), and "start",
// "stop" and "tick", each followed by the line it must send, if any.
struct Session {
  const char* name;
  std::vector<std::u16string> steps;
};

const Session kSessions[] = {
    {"a change sends one line on the first tick that sees it; one flickering back before it, none",
     {u"open 1. A - Winamp", u"start <b>-=></b> A", u"caption 2. B - Winamp", u"tick <b>-=></b> B",
      u"tick", u"caption 2. B - Winamp [Paused]", u"tick", u"caption 3. C - Winamp",
      u"caption 2. B - Winamp", u"tick"}},
    {"the player closing empties the box, shown; the same song then comes back",
     {u"open 1. A - Winamp", u"start <b>-=></b> A", u"close", u"tick", u"tick",
      u"open 1. A - Winamp", u"tick <b>-=></b> A"}},
    {"a read that fails is no song, not no news, and throws nothing",
     {u"open 1. A - Winamp", u"start <b>-=></b> A", u"fail", u"tick", u"fail",
      u"tick <b>-=></b> A"}},
    {"a caption without the marker sends nothing",
     {u"open Winamp 2.91", u"start", u"caption 3. C - Winamp", u"tick <b>-=></b> C"}},
    {"stop then start sends nothing for the same song, and a song changed meanwhile with the new "
     "prefix, an empty one too",
     {u"open 1. A - Winamp", u"start <b>-=></b> A", u"stop", u"start", u"stop",
      u"caption 2. B - Winamp", u"prefix -=[\u00A4", u"start <b>-=[\u00A4</b> B", u"stop",
      u"caption 3. C - Winamp", u"noprefix", u"start <b></b> C"}},
    {"the initial song box text is announced only if the player shows it",
     {u"open 1. Current Song - Winamp", u"start", u"caption 2. Other - Winamp",
      u"tick <b>-=></b> Other"}},
    {"a stream's statuses keep the song: a song after them is news if it differs",
     {u"open 1. [Connecting] http://host:8000/stream - Winamp", u"start", u"caption 1. A - Winamp",
      u"tick <b>-=></b> A", u"caption 1. [Stream temporarily interrupted] A - Winamp", u"tick",
      u"caption 1. A - Winamp", u"tick", u"caption 1. [Buffer: 42%] B - Winamp", u"tick",
      u"caption 2. B - Winamp", u"tick <b>-=></b> B"}},
    {"case alone makes a different song, even at the end of a long title",
     {u"open 1. Sigur R\u00F3s - Hopp\u00EDpolla (live) - Winamp",
      u"start <b>-=></b> Sigur R\u00F3s - Hopp\u00EDpolla (live)",
      u"caption 1. Sigur R\u00F3s - Hopp\u00EDpolla (LIVE) - Winamp",
      u"tick <b>-=></b> Sigur R\u00F3s - Hopp\u00EDpolla (LIVE)"}},
    {"a song's markup is sent as text, and only its markup; the prefix's is kept",
     {u"open 1. <3 - Winamp", u"prefix <i>-=></i>", u"start <b><i>-=></i></b> &lt;3",
      u"caption 1. <a href=\"x\">y&z's</a> - Winamp",
      u"tick <b><i>-=></i></b> &lt;a href=\"x\"&gt;y&amp;z's&lt;/a&gt;", u"tick"}},
};

TEST(Announcer, SendsExactlyOneLinePerSongChange) {
  for (const Session& session : kSessions) {
    AnnouncerRig rig;
    for (std::size_t i = 0; i < session.steps.size(); ++i) {
      const std::u16string& step = session.steps[i];
      const std::size_t space = std::min(step.find(u' '), step.size());
      const std::u16string word = step.substr(0, space);
      const std::u16string text = step.substr(std::min(space + 1, step.size()));
      rig.lines.clear();
      if (word == u"start") rig.announcer.Start();
      if (word == u"stop") rig.announcer.Stop();
      if (word == u"tick") rig.announcer.Tick();
      if (word == u"open") rig.player = rig.windows.AddTopWindow(u"Winamp v1.x", text);
      if (word == u"caption") rig.windows.SetText(rig.player, text);
      if (word == u"close") rig.windows.Close(rig.player);
      if (word == u"prefix") rig.view.prefix = text;
      if (word == u"noprefix") rig.view.prefix.clear();
      if (word == u"fail") rig.windows.fail_reads = !rig.windows.fail_reads;
      const bool input = word == u"open" || word == u"caption" || word == u"prefix";
      EXPECT_EQ(rig.lines, input || text.empty() ? Calls{} : Calls{text})
          << session.name << ", step " << i;
      // Every change of the song box is shown, "" included.
      EXPECT_EQ(rig.view.shown, rig.announcer.SongBox()) << session.name << ", step " << i;
    }
  }
}

}  // namespace
}  // namespace zingel
