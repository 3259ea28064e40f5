#include "core/song_line.h"

namespace zingel {

std::u16string SongLine(const std::u16string& prefix, const std::u16string& song) {
  std::u16string line;
  line.reserve(prefix.size() + song.size() + 8);
  line += u"<b>";
  line += prefix;
  line += u"</b> ";
  // Tags and stream titles are anyone's text: in the chat it must read as
  // text, not as markup posted under the user's name.
  for (const char16_t c : song) {
    switch (c) {
      case u'&':
        line += u"&amp;";
        break;
      case u'<':
        line += u"&lt;";
        break;
      case u'>':
        line += u"&gt;";
        break;
      default:
        line += c;
    }
  }
  return line;
}

}  // namespace zingel
