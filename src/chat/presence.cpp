#include "chat/presence.h"

namespace zingel {

std::u16string ChatLinkLine(const std::u16string& text, const std::u16string& url) {
  return u"<A HREF=\"" + url + u"\">" + text + u"</a>";
}

void AnnouncePresence(const LineSender& send_line, Clock& clock) {
  send_line(PresenceLine);
  BusyWait(clock, kPresencePause);
  send_line(ChatLinkLine(kLinkText, DownloadUrl));
}

}  // namespace zingel
