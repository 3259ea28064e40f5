#include "standins.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "protocol.h"

namespace zingel::driver {

namespace command = standin::command;

std::vector<LogLine> ReadLog(const std::string& path) {
  std::vector<LogLine> lines;
  // Shared: the stand-in keeps the log open for writing.
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return lines;
  std::string content;
  char chunk[4096];
  DWORD count = 0;
  while (ReadFile(file, chunk, sizeof chunk, &count, nullptr) && count > 0) {
    content.append(chunk, count);
  }
  CloseHandle(file);
  // A line still being written has no newline yet and is left for later.
  for (size_t start = 0, end; (end = content.find('\n', start)) != std::string::npos;
       start = end + 1) {
    LogLine& line = lines.emplace_back();
    line.text =
        standin::ReadLogLine(std::string_view(content).substr(start, end - start), &line.seconds);
  }
  return lines;
}

size_t TimesLogged(const std::string& path, const std::string& text) {
  const std::vector<LogLine> lines = ReadLog(path);
  return static_cast<size_t>(std::count_if(lines.begin(), lines.end(),
                                           [&](const LogLine& line) { return line.text == text; }));
}

std::string TempPath(const std::string& name) {
  char folder[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, folder)) folder[0] = '\0';
  std::string path =
      std::string(folder) + "zingel-" + std::to_string(GetCurrentProcessId()) + "-" + name;
  DeleteFileA(path.c_str());
  return path;
}

// Commands are read once the window is made, so the first answer means it is complete.
Standin::Standin(const std::string& exe, const std::vector<std::string>& args)
    : Program(exe, args, true), ready_(Started() && Command(command::kPing)) {
  if (Started() && !ready_) std::printf("%s did not answer\n", exe.c_str());
}

bool Standin::Command(const std::string& line, std::vector<std::string>* output, DWORD timeout_ms) {
  if (!WriteLine(line)) return false;
  const std::string ok = standin::CommandLine(standin::kOk, standin::Split(line).first);
  bool acknowledged = false;
  WaitUntil(
      [&] {
        const bool exited = Exited();  // before reading, so a last answer is not missed
        std::string reply;
        while (ReadLine(reply)) {
          if (reply == ok) {
            acknowledged = true;
            return true;
          }
          if (standin::Split(reply).first == standin::kError) return true;
          if (output) output->push_back(reply);
        }
        return exited;
      },
      timeout_ms);
  return acknowledged;
}

bool PlayerStandin::Show(const std::string& caption) {
  return Command(standin::CommandLine(command::kCaption, caption));
}

bool PlayerStandin::SetEvents(bool on) {
  return Command(standin::CommandLine(command::kEvents, on ? command::kOn : command::kOff));
}

bool PlayerStandin::Notify(int times) {
  return Command(standin::CommandLine(command::kNotify, std::to_string(times)));
}

unsigned long Standin::Reads() {
  const std::string word(command::kReads);
  std::vector<std::string> output;
  if (!Command(word, &output) || output.empty() || !output.back().starts_with(word + " ")) return 0;
  return std::strtoul(output.back().c_str() + word.size() + 1, nullptr, 10);
}

RoomStandin::RoomStandin(const std::string& exe, const std::string& log_name,
                         std::vector<std::string> args)
    : RoomStandin(exe, std::move(args), TempPath(log_name)) {}

RoomStandin::RoomStandin(const std::string& exe, std::vector<std::string> args,
                         std::string log_path)
    : Standin(exe,
              [&] {
                args.insert(args.begin(), {"--log", log_path});
                return args;
              }()),
      log_(std::move(log_path)) {}

RoomStandin::~RoomStandin() {
  Kill();
  DeleteFileA(log_.c_str());
}

std::vector<std::string> RoomStandin::Posted() const {
  std::vector<std::string> texts;
  for (const LogLine& line : ReadLog(log_)) texts.push_back(line.text);
  return texts;
}

bool RoomStandin::WaitForLines(size_t count, DWORD timeout_ms) const {
  return WaitUntil([&] { return Posted().size() >= count; }, timeout_ms);
}

std::vector<std::string> RoomStandin::Transcript() {
  std::vector<std::string> lines;
  if (!Command(command::kTranscript, &lines) || lines.empty() ||
      lines.back() != command::kTranscriptEnd)
    return {};
  lines.pop_back();
  return lines;
}

bool RoomStandin::Type(const std::string& draft) {
  return Command(standin::CommandLine(command::kType, draft));
}

bool RoomStandin::SendDraft() {
  return Command(command::kSend);
}

bool RoomStandin::Retype(const std::string& draft) {
  return Command(standin::CommandLine(command::kRetype, draft));
}

namespace {
// zingel's presence lines, written down here and not taken from zingel, so that the tests check
// zingel's own. "<b>Z</b>ìñ<b>G</b>èl 1.º": its name and version.
constexpr char16_t kPresenceLine[] = u"<b>Z</b>\u00EC\u00F1<b>G</b>\u00E8l 1.\u00BA";
// Its link to the download address the build was configured with.
constexpr char16_t kLinkLine[] = u"<A HREF=\"" ZINGEL_EXPECTED_DOWNLOAD_URL "\">get it here</a>";
}  // namespace

std::vector<std::string> PresenceUtf8() {
  return {Utf8(kPresenceLine), Utf8(kLinkLine)};
}

std::vector<std::string> PresenceBytes1252() {
  // Every character of both lines is ASCII or in U+00A0..U+00FF, where code page 1252 is
  // Latin-1: one byte each, its code.
  auto bytes = [](const std::u16string& text) {
    std::string out;
    for (const char16_t c : text) out += static_cast<char>(c);
    return out;
  };
  return {bytes(kPresenceLine), bytes(kLinkLine)};
}

}  // namespace zingel::driver
