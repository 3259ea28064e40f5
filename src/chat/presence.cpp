#include "chat/presence.h"

namespace zingel {

namespace {
constexpr double kPresencePause = 0.1;
}  // namespace

std::u16string ChatLinkLine(const std::u16string& text, const std::u16string& url) {
  return u"<A HREF=\"" + url + u"\">" + text + u"</a>";
}

void SendChatLink(const LineSender& send_line, const std::u16string& text,
                  const std::u16string& url) {
  send_line(ChatLinkLine(text, url));
}

// A spin on the clock rather than a sleep: this code knows only the Clock, so
// the pause is measured on the very clock the tests drive, and a test of it
// takes no real time. Twice a tenth of a second in a run is cheap, and, as a
// sleep would, it handles no window messages in between.
void BusyWait(Clock& clock, double seconds) {
  const double start = clock.Seconds();
  while (clock.Seconds() - start < seconds) {
  }
}

void AnnouncePresence(const LineSender& send_line, Clock& clock) {
  send_line(PresenceLine);
  BusyWait(clock, kPresencePause);
  SendChatLink(send_line, kLinkText, DownloadUrl);
}

}  // namespace zingel
