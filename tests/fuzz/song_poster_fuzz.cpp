// Fuzzes the song lines' way into the room with any order of songs, drafts typed and sent, a
// room silent or gone, time passing and stops, against properties stated here: nothing posted
// over a draft; the line posted after a wait is the song playing, never the line the room got
// last; nothing after a stop until the next song; a held line out within 0.5 s of a room that
// answers with an empty box; and the room looked at about 5 times a second meanwhile.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chat/song_poster.h"
#include "fuzz/fuzz_support.h"
#include "support/fake_window_system.h"

namespace {

using zingel::WindowHandle;
using zingel::fuzz::Check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zingel::test::FakeWindowSystem windows;
  zingel::fuzz::SetClock clock;
  zingel::ChatRoomSender room(windows);
  zingel::SongPoster poster(room, clock);
  WindowHandle window = 0, box = 0;
  const auto open = [&] {
    window = windows.AddTopWindow(u"Aim_Chatwnd");
    for (int i = 0; i < 2; ++i) box = windows.AddChild(window, u"WndAte32Class");
    for (int i = 0; i < 5; ++i) windows.AddChild(window, u"_Oscar_IconBtn");
  };
  open();
  std::u16string draft;                   // what the user has typed
  std::optional<std::u16string> playing;  // the line of the song playing, while announcing
  std::u16string last_posted;             // the last line the room got
  double free_since = clock.now;          // the room open, answering, its box empty, since
  std::vector<double> looks;              // when the poll looked at the room for a held line
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t op = data[i] % 9, arg = data[i] / 9;
    const std::size_t events = windows.events.size();
    const std::u16string draft_before = draft;
    bool waited = false;
    switch (op) {
      case 0: {  // a new song, or one back: with nothing held, into a room that can take it, at
                 // once
        const bool at_once = !poster.Holding() && box != 0 && windows.silent == 0 && draft.empty();
        playing = u"song " + std::u16string(1, static_cast<char16_t>(u'A' + arg % 4));
        poster.Send(*playing);
        Check(!at_once || windows.events.size() > events);
        break;
      }
      case 1:  // the song box emptied, or a stop
        poster.Drop();
        playing.reset();
        break;
      case 2:
        draft = u"typing";
        break;
      case 3:
        draft.clear();
        break;  // sent by the user, or deleted
      case 4:
        windows.silent = windows.silent != 0 ? 0 : box;
        break;
      case 5:
        if (window != 0) {
          windows.Close(window);
          window = box = 0;
          windows.silent = 0;
        } else {
          open();
        }
        break;
      default:  // the poll ticks, 50 ms apart
        for (int tick = 0; tick <= arg % 8; ++tick) {
          clock.now += 0.05;
          waited = true;
          const int before = windows.checks;
          poster.Retry();
          if (windows.checks > before) looks.push_back(clock.now);
          // About 5 a second: no more than 11 in any 2 s, nor 4 in under 0.45 s.
          const std::size_t n = looks.size();
          Check((n < 12 || looks[n - 12] <= clock.now - 2) &&
                (n < 4 || looks[n - 4] <= clock.now - 0.45));
        }
    }
    if (box != 0) windows.SetText(box, draft);
    // What the room got in this step.
    for (std::size_t e = events; e < windows.events.size(); ++e) {
      if (windows.events[e].press) continue;
      const std::u16string& line = windows.events[e].text;
      Check(draft_before.empty());         // never over the user's words
      Check(playing && line == *playing);  // only the song playing, nothing after a stop
      Check(!waited || line != last_posted);
      last_posted = line;
      draft.clear();  // the room's send empties the box
    }
    if (box == 0 || windows.silent != 0 || !draft.empty()) free_since = clock.now;
    if (!poster.Holding()) looks.clear();  // the rate is a held line's
    // A line still held while the room could have taken it for 0.5 s.
    Check(!(poster.Holding() && clock.now - free_since > 0.5 + 1e-9));
  }
  return 0;
}
