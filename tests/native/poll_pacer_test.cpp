// When the player is read: the full rate until a window proves its caption events, then
// safety polls, and back on a lost event or another window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/poll_pacer.h"

namespace zingel {
namespace {

using Rate = PollPacer::Rate;

// One step: an event (and whether it asks for a read), or a read by a tick or an event at a
// time, finding a window and a caption, and the rate it leaves.
struct Step {
  enum Kind { kEvent, kRead } kind;
  bool expected_ask_or_asked;
  WindowHandle window = 0;
  const char16_t* caption = u"";
  Rate rate = Rate::kFull;
};

struct Session {
  const char* name;
  std::vector<Step> steps;
};

constexpr WindowHandle kPlayer = 7;
constexpr WindowHandle kRestarted = 8;

const Session kSessions[] = {
    {"a change that a tick finds proves nothing",
     {{Step::kRead, false, kPlayer, u"B", Rate::kFull}, {Step::kRead, false, kPlayer, u"B"}}},
    {"an event that finds no change proves nothing",
     {{Step::kEvent, true}, {Step::kRead, true, kPlayer, u"A", Rate::kFull}}},
    {"the event of a change a tick read first proves the window",
     {{Step::kRead, false, kPlayer, u"B", Rate::kFull},
      {Step::kRead, false, kPlayer, u"B", Rate::kFull},
      {Step::kEvent, true},
      {Step::kRead, true, kPlayer, u"B", Rate::kSafety},
      {Step::kEvent, true},
      {Step::kRead, true, kPlayer, u"B", Rate::kSafety}}},
    {"an event read that finds a new caption proves the window; no change keeps it proven",
     {{Step::kEvent, true},
      {Step::kRead, true, kPlayer, u"B", Rate::kSafety},
      {Step::kRead, false, kPlayer, u"B", Rate::kSafety},
      {Step::kEvent, true},
      {Step::kRead, true, kPlayer, u"C", Rate::kSafety}}},
    {"a change that no event announced goes back to the full rate",
     {{Step::kEvent, true},
      {Step::kRead, true, kPlayer, u"B", Rate::kSafety},
      {Step::kRead, false, kPlayer, u"C", Rate::kFull},
      {Step::kRead, false, kPlayer, u"D", Rate::kFull},
      {Step::kEvent, true},
      {Step::kRead, true, kPlayer, u"E", Rate::kSafety}}},
    {"the window gone, or another one with the same caption, must prove itself again",
     {{Step::kEvent, true},
      {Step::kRead, true, kPlayer, u"B", Rate::kSafety},
      {Step::kRead, false, 0, u"", Rate::kFull},
      {Step::kRead, false, kPlayer, u"B", Rate::kFull},
      {Step::kEvent, true},
      {Step::kRead, true, kPlayer, u"C", Rate::kSafety},
      {Step::kEvent, true},
      {Step::kRead, true, kRestarted, u"C", Rate::kFull}}},
    {"a burst asks once; the events after a read begins ask again",
     {{Step::kEvent, true},
      {Step::kEvent, false},
      {Step::kEvent, false},
      {Step::kRead, true, kPlayer, u"B", Rate::kSafety},
      {Step::kRead, false, kPlayer, u"B", Rate::kSafety},
      {Step::kEvent, true},
      {Step::kEvent, false}}},
};

TEST(PollPacer, FollowsSessions) {
  for (const Session& session : kSessions) {
    PollPacer pacer(0.01);
    // The read that starts announcing.
    pacer.ReadEnds(pacer.ReadBegins(0), kPlayer, u"A");
    double now = 0;
    for (std::size_t i = 0; i < session.steps.size(); ++i) {
      const Step& step = session.steps[i];
      SCOPED_TRACE(std::string(session.name) + ", step " + std::to_string(i));
      if (step.kind == Step::kEvent) {
        EXPECT_EQ(pacer.CaptionEvent(), step.expected_ask_or_asked);
        continue;
      }
      now += 1;
      const bool asked = pacer.ReadBegins(now);
      EXPECT_EQ(asked, step.expected_ask_or_asked);
      EXPECT_EQ(pacer.ReadEnds(asked, step.window, step.caption), step.rate);
    }
  }
}

TEST(PollPacer, EventReadsKeepTheirGapAndTheTimerTakesOneThatWaits) {
  PollPacer pacer(0.01);
  pacer.ReadEnds(pacer.ReadBegins(4.0), kPlayer, u"A");
  ASSERT_TRUE(pacer.CaptionEvent());
  EXPECT_TRUE(pacer.EventReadDue(5.0));
  ASSERT_EQ(pacer.ReadEnds(pacer.ReadBegins(5.0), kPlayer, u"B"), Rate::kSafety);
  ASSERT_TRUE(pacer.CaptionEvent());
  EXPECT_FALSE(pacer.EventReadDue(5.009));
  // While the read waits, the timer must run at the full rate to take it.
  EXPECT_EQ(pacer.CurrentRate(), Rate::kFull);
  EXPECT_TRUE(pacer.EventReadDue(5.011));
  // A stop forgets the proof, and a read asked for before it.
  pacer.Reset();
  EXPECT_EQ(pacer.ReadEnds(pacer.ReadBegins(6.0), kPlayer, u"B"), Rate::kFull);
  EXPECT_EQ(pacer.CurrentRate(), Rate::kFull);
}

}  // namespace
}  // namespace zingel
