#pragma once
// What the stand-ins and the driver that runs them agree on: the stand-ins' window classes, the
// command lines they read on standard input with their answers, and their log files' lines.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace standin {

// A class name in both forms, from one ASCII literal, for the A and the W functions.
template <std::size_t N>
struct ClassName {
  constexpr ClassName(const char (&name)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
      ansi[i] = name[i];
      wide[i] = static_cast<wchar_t>(name[i]);
    }
  }
  char ansi[N] = {};
  wchar_t wide[N] = {};
};

// The classes of the programs they stand in for, written down here and not taken from zingel,
// so that the stand-ins check zingel's own.
inline constexpr ClassName kPlayerClass("Winamp v1.x");
inline constexpr ClassName kRoomClass("Aim_Chatwnd");
inline constexpr ClassName kBoxClass("WndAte32Class");      // the room's rich-text boxes
inline constexpr ClassName kButtonClass("_Oscar_IconBtn");  // the room's icon buttons

// A command line is "WORD" or "WORD ARGUMENT". Each is answered by a line of the same form,
// "kOk WORD" once done or "kError WHY"; a command that reports prints its lines before that.
inline constexpr char kOk[] = "ok";
inline constexpr char kError[] = "error";
namespace command {
inline constexpr char kPing[] = "ping";
inline constexpr char kHang[] = "hang";  // MS: answers, then stops for that long
inline constexpr char kQuit[] = "quit";
// The player's.
inline constexpr char kCaption[] = "caption";  // TEXT, in UTF-8
inline constexpr char kScroll[] = "scroll";    // MS between frames; 0 stops
inline constexpr char kReads[] = "reads";    // reports "reads N": of the caption, or the input box
inline constexpr char kEvents[] = "events";  // kOn or kOff: raise the caption event, or not
inline constexpr char kOn[] = "on";
inline constexpr char kOff[] = "off";
inline constexpr char kNotify[] = "notify";  // N: raises it N times, on or off, no change
// N: raises N events 20 ms apart that are not the caption's, in turn: a name change of another
// top-level window of the player, of the window's client area, and of a child of the window.
inline constexpr char kStrangers[] = "strangers";
inline constexpr char kFlood[] = "flood";  // MS: raises the caption event every 1 ms for MS ms
// The room's: reports its lines, then kTranscriptEnd.
inline constexpr char kTranscript[] = "transcript";
inline constexpr char kTranscriptEnd[] = "end transcript";
// The room's user: TEXT (UTF-8) typed into the input box; the click on send; the input box
// emptied, then TEXT typed into it again 50 ms later.
inline constexpr char kType[] = "type";
inline constexpr char kSend[] = "send";
inline constexpr char kRetype[] = "retype";
}  // namespace command

// Text crosses in UTF-8: the command lines, the programs' arguments, a Unicode window's text in
// the logs. CP_ACP is the active ANSI code page, as a program of the A functions holds its text.
std::string ToCodePage(std::wstring_view text, unsigned code_page);
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

// The word of a command line and its argument, "" when there is none, and the line again.
std::pair<std::string_view, std::string_view> Split(std::string_view line);
std::string CommandLine(std::string_view word, std::string_view argument);

// A log line is "<seconds> <bytes>" and a newline, where the bytes are escaped: backslash as \\,
// LF as \n, CR as \r, other bytes below 0x20 as \xHH, the rest as they are.
std::string Escape(std::string_view bytes);
std::string Unescape(std::string_view text);
std::string LogLine(double seconds, std::string_view bytes);
// The bytes of a line without its newline, and its seconds in *seconds.
std::string ReadLogLine(std::string_view line, double* seconds);

}  // namespace standin
