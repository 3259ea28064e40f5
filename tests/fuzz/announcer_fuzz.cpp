// Fuzzes the announcer with sequences of captions, prefixes and start, stop
// and tick: at most one line per change of the song box, none for "", and
// every line exactly the prefix markup and the song, its markup characters
// written as entities.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

#include "core/announcer.h"
#include "player/player_reader.h"
#include "support/fake_window_system.h"

namespace {

class FuzzView final : public zingel::AnnouncerView {
 public:
  std::u16string prefix;
  void ShowSong(const std::u16string&) override {}
  void SetPrefixBoxEnabled(bool) override {}
  void SetStartEnabled(bool) override {}
  void SetStopEnabled(bool) override {}
  void SetTimerEnabled(bool) override {}
  std::u16string ReadPrefixText() override { return prefix; }
};

// Reads a short UTF-16 text from the input: a length byte, then units.
std::u16string TakeText(const std::uint8_t*& data, const std::uint8_t* end) {
  std::u16string text;
  if (data == end) return text;
  std::size_t length = *data++ % 24;
  while (length-- > 0 && end - data >= 2) {
    text += static_cast<char16_t>(data[0] | (data[1] << 8));
    data += 2;
  }
  return text;
}

// The song a line's text stands for, or "?" when it holds a bare "<" or ">".
std::u16string Unescape(const std::u16string& text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'<' || text[i] == u'>') return u"?";
    bool entity = false;
    for (const auto& [name, c] : {std::pair{u"&amp;", u'&'}, {u"&lt;", u'<'}, {u"&gt;", u'>'}}) {
      const std::u16string_view view(name);
      if (!entity && text.compare(i, view.size(), view) == 0) {
        out += c;
        i += view.size() - 1;
        entity = true;
      }
    }
    if (!entity) out += text[i];
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zingel::test::FakeWindowSystem windows;
  zingel::PlayerReader reader(windows);
  FuzzView view;
  int lines = 0;
  std::u16string last_line;
  zingel::Announcer announcer([&] { return reader.ReadSongTitle(); },
                              [&](const std::u16string& line) {
                                ++lines;
                                last_line = line;
                              },
                              view);
  zingel::WindowHandle player = 0;
  const std::uint8_t* end = data + size;
  while (data != end) {
    const std::uint8_t op = *data++ % 6;
    const std::u16string before = announcer.SongBox();
    lines = 0;
    switch (op) {
      case 0: {  // the player shows a caption, opening if needed
        std::u16string caption = u"1. " + TakeText(data, end) + u" - Winamp";
        if (player == 0) player = windows.AddTopWindow(u"Winamp v1.x");
        windows.SetText(player, caption);
        break;
      }
      case 1:
        if (player != 0) windows.Close(player);
        player = 0;
        break;
      case 2:
        view.prefix = TakeText(data, end);
        break;
      case 3:
        announcer.Start();
        break;
      case 4:
        announcer.Stop();
        break;
      case 5:
        announcer.Tick();
        break;
    }
    const std::u16string& after = announcer.SongBox();
    const bool changed = after != before;
    const int expected = changed && !after.empty() ? 1 : 0;
    if (lines != expected) std::abort();
    const std::u16string head = u"<b>" + view.prefix + u"</b> ";
    if (lines == 1 && (last_line.compare(0, head.size(), head) != 0 ||
                       Unescape(last_line.substr(head.size())) != after))
      std::abort();
  }
  return 0;
}
