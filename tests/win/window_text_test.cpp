// The window messaging primitives' text, against ANSI and Unicode windows on other threads of this
// process: reads, and what each kind of window gets written, in the active code page (1252, or 932
// when run under a Japanese locale), and the click.

#include <windows.h>

#include <cstdio>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "peer_windows.h"
#include "platform/ansi_text.h"
#include "platform/win32_window_system.h"
#include "test_harness.h"

namespace zingel {
namespace {

using test::AnsiPeer;
using test::UnicodePeer;

constexpr unsigned kBoundMs = 300;

WIN_TEST(ReadWindowTextGivesWholeTextsUpTo65535Units) {
  const std::u16string longest(65535, u'x');
  const std::u16string guitar = u"\U0001F3B8";  // two units
  struct Case {
    std::u16string text;
    std::u16string text_after_length;
    LRESULT reported_length;
    std::u16string expected;
  };
  const Case cases[] = {
      {u"Artist - Title", u"", -1, u"Artist - Title"},
      {u"\u5742\u672C\u9F8D\u4E00 - \u041A\u0438\u043D\u043E " + guitar, u"", -1,
       u"\u5742\u672C\u9F8D\u4E00 - \u041A\u0438\u043D\u043E " + guitar},
      {u"", u"", -1, u""},
      // Changed between the two messages: the text as it was copied, when the read's room
      // holds it; when it fills the room it may be cut, and a window never read gives "".
      {u"Hello world", u"Hi", -1, u"Hi"},
      {u"Hi", u"Hello world", -1, u"Hello world"},
      {u"Hi", std::u16string(1000, u'y'), -1, u""},
      {longest, u"", -1, longest},
      // A length no caption has: read as far as any caption goes.
      {longest + u"yz", u"", 200000000, longest},
      // Cut between the halves of a surrogate pair: no text.
      {std::u16string(65534, u'x') + guitar, u"", -1, u""},
  };
  std::vector<UnicodePeer> peers(std::size(cases));  // all alive: no window's handle used twice
  Win32WindowSystem windows(kBoundMs);
  for (std::size_t i = 0; i < peers.size(); ++i) {
    peers[i].state.text = cases[i].text;
    peers[i].state.text_after_length = cases[i].text_after_length;
    peers[i].state.reported_length = cases[i].reported_length;
    const std::u16string text = windows.ReadWindowText(peers[i].handle());
    CHECK_EQ(text.size(), cases[i].expected.size());
    CHECK(text == cases[i].expected);
  }
  // A read that may be cut leaves the last whole answer standing.
  peers[0].state.text_after_length = std::u16string(200, u'y');
  CHECK(windows.ReadWindowText(peers[0].handle()) == cases[0].expected);
  CHECK(windows.ReadWindowText(peers[0].handle()) == std::u16string(200, u'y'));
  CHECK_EQ(windows.ReadWindowText(0), std::u16string());
}

// A text, and what an ANSI window holds of it in code page 1252 and in 932 (Japanese): the
// characters the code page lacks as "?", never as a look-alike.
struct CodePageCase {
  std::u16string text;
  std::string in_1252;
  std::string in_932;
};

const CodePageCase kCodePageCases[] = {
    {u"<b>-=></b> Artist - Title", "<b>-=></b> Artist - Title", "<b>-=></b> Artist - Title"},
    {u"\u5742\u672C\u9F8D\u4E00 - Merry Christmas Mr. Lawrence",
     "???? - Merry Christmas Mr. Lawrence",
     "\x8D\xE2\x96{\x97\xB4\x88\xEA - Merry Christmas Mr. Lawrence"},
    {u"\u041A\u0438\u043D\u043E - \U0001F3B8", "???? - ??", "\x84K\x84y\x84~\x84\x80 - ??"},
    {u"Caf\u00E9 \u2013 \u201CQuoted\u201D \u2026 \u2014 \u20AC \u00A4",
     "Caf\xE9 \x96 \x93Quoted\x94 \x85 \x97 \x80 \xA4",
     "Caf? ? \x81gQuoted\x81h \x81"
     "c ? ? ?"},
    // Windows' own conversion would make markup of fullwidth brackets.
    {u"\uFF1Cb\uFF1E \u2264 \u0101", "?b? ? ?",
     "\x81\x83"
     "b\x81\x84 ? ?"},
    {u"", "", ""},
};

// Each text written to a Unicode window arrives whole, and to an ANSI window in its code page;
// read back from either kind it is the text again, where the code page holds it.
WIN_TEST(TextReachesEachKindOfWindowAsItCanHoldIt) {
  const UINT code_page = GetACP();
  CHECK(code_page == 1252 || code_page == 932);
  std::printf("ANSI code page %u\n", code_page);
  UnicodePeer unicode;
  AnsiPeer ansi;
  Win32WindowSystem windows(kBoundMs);
  for (const CodePageCase& c : kCodePageCases) {
    const std::string& bytes = code_page == 932 ? c.in_932 : c.in_1252;
    windows.WriteWindowText(unicode.handle(), c.text);
    windows.WriteWindowText(ansi.handle(), c.text);
    CHECK(unicode.state.text == c.text);
    CHECK_EQ(ansi.state.text, bytes);
    CHECK(windows.ReadWindowText(unicode.handle()) == c.text);
    if (bytes.find('?') == std::string::npos)
      CHECK(windows.ReadWindowText(ansi.handle()) == c.text);
  }
  // One message a write; a press is a click at the button's origin, no keys held.
  CHECK(unicode.state.events.size() == std::size(kCodePageCases) &&
        ansi.state.events.size() == std::size(kCodePageCases));
  unicode.state.events.clear();
  ansi.state.events.clear();
  windows.PressButton(unicode.handle());
  windows.PressButton(ansi.handle());
  for (const auto* events : {&unicode.state.events, &ansi.state.events})
    CHECK(*events == (std::vector<std::string>{"down 0 0", "up 0 0"}));
}

// Code pages that take "no best fit" convert without look-alikes; those that refuse it (UTF-7
// here) still convert, where asking for it would give every text as nothing.
WIN_TEST(EveryCodePageConvertsWithoutBestFit) {
  // Code pages and the bytes of "-=(¤ ＜" in each.
  for (const auto& [code_page, bytes] : {std::pair<unsigned, std::string>{1252, "-=(\xA4 ?"},
                                         {65001, "-=(\xC2\xA4 \xEF\xBC\x9C"},
                                         {65000, "-+AD0-(+AKQ- +/xw-"}})
    CHECK_EQ(ToCodePage(u"-=(\u00A4 \uFF1C", code_page), bytes);
}

}  // namespace
}  // namespace zingel

WIN_TEST_MAIN()
