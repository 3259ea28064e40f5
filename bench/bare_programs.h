#pragma once
// What the bare programs and the benchmark that measures them agree on, as protocol.h is for the
// stand-ins: their windows' classes and the bare poller's one question.

#include <windows.h>

#include "protocol.h"

namespace zingel::bench {

// The bare poller's hidden window; sent kBareTicksMessage, it answers its timer's ticks so far.
inline constexpr standin::ClassName kBarePollerClass("ZingelBarePoller");
inline constexpr UINT kBareTicksMessage = WM_APP;

// The bare announcer's hidden window, there once it listens for the player's caption events.
inline constexpr standin::ClassName kBareAnnouncerClass("ZingelBareAnnouncer");

}  // namespace zingel::bench
