// The song lines' way into the room: a line the user's draft or a silent room keeps out is held,
// replaced by a newer song's, and goes out once the input box has been found empty twice, with
// the room looked at no more than 5 times a second, and not at all while nothing is held.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chat/song_poster.h"
#include "support/fake_window_system.h"

namespace zingel {
namespace {

class FakeClock final : public Clock {
 public:
  double now = 100;
  double Seconds() override { return now; }
};

// A room with its input box (the second rich-text box) and send button (the fifth icon button).
struct PosterRig {
  test::FakeWindowSystem windows;
  FakeClock clock;
  ChatRoomSender room{windows};
  SongPoster poster{room, clock};
  WindowHandle window = 0;
  WindowHandle box = 0;

  PosterRig() { Open(); }
  void Open() {
    window = windows.AddTopWindow(u"Aim_Chatwnd");
    for (int i = 0; i < 2; ++i) box = windows.AddChild(window, u"WndAte32Class");
    for (int i = 0; i < 5; ++i) windows.AddChild(window, u"_Oscar_IconBtn");
  }
  // The lines written into the box so far, and forgotten.
  std::vector<std::u16string> TakePosted() {
    std::vector<std::u16string> posted;
    for (const auto& event : windows.events)
      if (!event.press) posted.push_back(event.text);
    windows.events.clear();
    return posted;
  }
  // The poll's ticks while a line is held, 50 ms apart, for `seconds`.
  void Ticks(double seconds) {
    for (double end = clock.now + seconds; clock.now < end - 1e-9;) {
      clock.now += 0.05;
      poster.Retry();
    }
  }
};

// A session's steps: "song S" (the announcer's line for S), "type D" (the user's draft), "clear"
// (the user sends it), "silent" and "answer" (the room stops or goes on answering), "drop",
// "close" and "open" (the room), "wait S" (the poll ticks for S seconds); each with the lines it
// posts.
struct Step {
  const char16_t* action;
  std::vector<std::u16string> posted = {};
};
struct Session {
  const char* name;
  std::vector<Step> steps;
};

const Session kSessions[] = {
    {"a draft holds the line, kept; once it is sent, the song follows",
     {{u"song A", {u"A"}},
      {u"type hi"},
      {u"song B"},
      {u"wait 2"},
      {u"clear"},
      {u"wait 0.5", {u"B"}},
      {u"wait 2"}}},
    {"three changes while typing give one line, for the song playing",
     {{u"type hello"},
      {u"song A"},
      {u"song B"},
      {u"song C"},
      {u"wait 1"},
      {u"clear"},
      {u"wait 0.5", {u"C"}}}},
    {"the song the room got last, back while typing, is not posted again",
     {{u"song A", {u"A"}},
      {u"type x"},
      {u"song B"},
      {u"song A"},
      {u"clear"},
      {u"wait 2"},
      {u"song C", {u"C"}}}},
    {"a song back after the player closed, with nothing held, is announced again",
     {{u"song A", {u"A"}}, {u"song A", {u"A"}}}},
    {"dropped, the held line never goes",
     {{u"type x"}, {u"song A"}, {u"drop"}, {u"clear"}, {u"wait 2"}, {u"song B", {u"B"}}}},
    {"a room silent past the bound gets the song playing once it answers, once",
     {{u"silent"},
      {u"song A"},
      {u"song B"},
      {u"wait 1"},
      {u"answer"},
      {u"wait 0.5", {u"B"}},
      {u"wait 2"}}},
    {"a box emptied and typed in again within 0.1 s keeps the line waiting",
     {{u"type x"},
      {u"song A"},
      {u"wait 1"},
      {u"clear"},
      {u"wait 0.05"},
      {u"type y"},
      {u"wait 2"},
      {u"clear"},
      {u"wait 0.5", {u"A"}}}},
    {"with no room the line is lost, not held, and so is one held when the room closes",
     {{u"close"},
      {u"song A"},
      {u"open"},
      {u"wait 2"},
      {u"type x"},
      {u"song B"},
      {u"close"},
      {u"wait 1"},
      {u"open"},
      {u"wait 2"}}},
};

TEST(SongPoster, FollowsSessions) {
  for (const Session& session : kSessions) {
    PosterRig rig;
    for (std::size_t i = 0; i < session.steps.size(); ++i) {
      const std::u16string action = session.steps[i].action;
      const std::size_t space = std::min(action.find(u' '), action.size());
      const std::u16string word = action.substr(0, space);
      const std::u16string arg = action.substr(std::min(space + 1, action.size()));
      if (word == u"song") rig.poster.Send(arg);
      if (word == u"type") rig.windows.SetText(rig.box, arg);
      if (word == u"clear") rig.windows.SetText(rig.box, u"");
      if (word == u"silent") rig.windows.silent = rig.box;
      if (word == u"answer") rig.windows.silent = 0;
      if (word == u"drop") rig.poster.Drop();
      if (word == u"close") rig.windows.Close(rig.window);
      if (word == u"open") rig.Open();
      if (word == u"wait") rig.Ticks(std::stod(std::string(arg.begin(), arg.end())));
      EXPECT_EQ(rig.TakePosted(), session.steps[i].posted) << session.name << ", step " << i;
    }
  }
}

TEST(SongPoster, LooksAtTheRoomAtMostFiveTimesASecondAndOnlyWhileHolding) {
  PosterRig rig;
  rig.poster.Send(u"A");
  rig.Ticks(2);
  EXPECT_EQ(rig.windows.checks, 1);  // the send's own read
  rig.TakePosted();
  // A draft that stays, then one typed again after every look that found the box empty.
  rig.windows.SetText(rig.box, u"draft");
  rig.poster.Send(u"B");
  int before = rig.windows.checks;
  rig.Ticks(4);
  EXPECT_LE(rig.windows.checks - before, 4 * 5);
  before = rig.windows.checks;
  for (int tick = 0; tick < 80; ++tick) {
    rig.windows.SetText(rig.box, rig.windows.checks % 2 ? u"" : u"draft");
    rig.Ticks(0.05);
  }
  EXPECT_LE(rig.windows.checks - before, 4 * 5 + 1);
  EXPECT_TRUE(rig.TakePosted().empty());
}

TEST(SongPoster, AHeldLineGoesOutWithinHalfASecondOfTheDraftLeaving) {
  // Whenever the draft leaves between two ticks of the poll.
  for (double offset = 0; offset < 0.25; offset += 0.01) {
    PosterRig rig;
    rig.windows.SetText(rig.box, u"draft");
    rig.poster.Send(u"A");
    rig.Ticks(1 + offset);
    rig.windows.SetText(rig.box, u"");
    const double cleared = rig.clock.now;
    while (rig.TakePosted().empty() && rig.clock.now < cleared + 5) rig.Ticks(0.05);
    EXPECT_LE(rig.clock.now - cleared, 0.5 + 1e-9) << "offset " << offset;
  }
}

}  // namespace
}  // namespace zingel
