#pragma once

#include <string>

#include "core/clock.h"
#include "core/line_sender.h"

namespace zingel {

// "<b>Z</b>ìñ<b>G</b>èl 1.º": the program's name and version.
inline constexpr const char16_t* PresenceLine = u"<b>Z</b>\u00EC\u00F1<b>G</b>\u00E8l 1.\u00BA";
inline constexpr const char16_t* kLinkText = u"get it here";
inline constexpr double kPresencePause = 0.1;
// Where the program can be downloaded; fixed when it is built.
extern const char16_t* const DownloadUrl;

// The hyperlink markup the chat client understands; nothing is escaped.
std::u16string ChatLinkLine(const std::u16string& text, const std::u16string& url);

// The presence line, a tenth of a second, then the download link.
void AnnouncePresence(const LineSender& send_line, Clock& clock);

}  // namespace zingel
