// Held-line delay: the user types in the room as the song changes, so zingel holds the song's
// line; the user then sends the message, and the line follows. From the draft leaving the box (the
// room logs it as the user's line) to the song's line, with a player that raises the caption
// event and with one run --no-events.

#include <random>
#include <string>
#include <vector>

#include "bench.h"
#include "protocol.h"

namespace zingel::bench {
namespace {
constexpr int kRounds = 40;
constexpr double kGoalSeconds = 0.5;  // p95
}  // namespace

bool MeasureHeldLine(Lab& lab) {
  driver::Standin& room = lab.room();
  std::mt19937 random(1);
  // The draft leaves at any moment of zingel's looks at the room, which come 0.1-0.3 s apart.
  std::uniform_int_distribution<DWORD> typing_ms(0, 300);
  for (const bool events : {true, false}) {
    TestedZingel zingel(lab.options().zingel);
    std::vector<std::string> args{"--caption", "1. Bench - Held 0 - Winamp"};
    if (!events) args.push_back("--no-events");
    driver::Standin player(lab.options().player, args);
    if (!zingel.Started() || !player.Ready() || !zingel.Announce(true)) return false;
    std::vector<double> delays;
    for (int i = 1; i <= kRounds; ++i) {
      const std::string draft = Format("typing %d", i), song = Format("Bench - Held %d", i);
      const size_t before = lab.RoomLinesSince().size();
      const unsigned long looks = room.Reads();
      if (!room.Command(standin::CommandLine(standin::command::kType, draft)) ||
          !player.Command(
              standin::CommandLine(standin::command::kCaption, "1. " + song + " - Winamp")) ||
          !driver::WaitUntil([&] { return room.Reads() > looks; }))
        return false;
      Sleep(typing_ms(random));  // a random moment, not a condition
      if (!room.Command(standin::command::kSend) ||
          !driver::WaitUntil([&] { return lab.RoomLinesSince(before).size() >= 2; }))
        return false;
      const auto lines = lab.RoomLinesSince(before);
      if (lines[0].text != draft || lines[1].text.find(song) == std::string::npos) return false;
      delays.push_back(lines[1].seconds - lines[0].seconds);
    }
    if (!zingel.Close()) return false;
    const double p95 = Percentile(delays, 0.95);
    Row(Format("Held-line delay p50 / p95 / max, zingel with a player %s (%d songs changed while "
               "the user typed; the draft sent to the song's line posted)",
               events ? "raising caption events" : "run --no-events", kRounds),
        Format("%.0f / %.0f / %.0f ms", Median(delays) * 1e3, p95 * 1e3,
               Percentile(delays, 1) * 1e3),
        Format("p95 <= %.0f ms", kGoalSeconds * 1e3), Met(p95 <= kGoalSeconds));
  }
  return true;
}

}  // namespace zingel::bench
