#include "standin_process.h"

#include <cstdlib>
#include <utility>

#include "chat/presence.h"
#include "test_harness.h"

namespace zingel::test {
namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  std::wstring out(utf8.size(), L'\0');
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                       out.data(), static_cast<int>(out.size()));
  out.resize(static_cast<size_t>(size > 0 ? size : 0));
  return out;
}

// Quoted so that the C runtime's argument parser gives back `arg` unchanged.
std::wstring Quoted(const std::wstring& arg) {
  std::wstring out = L"\"";
  size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char code = text[++i];
    if (code == 'n') {
      out += '\n';
    } else if (code == 'r') {
      out += '\r';
    } else if (code == 'x' && i + 2 < text.size()) {
      out += static_cast<char>(std::strtoul(text.substr(i + 1, 2).c_str(), nullptr, 16));
      i += 2;
    } else {
      out += code;
    }
  }
  return out;
}

}  // namespace

StandinProcess::StandinProcess(const std::string& exe, const std::vector<std::string>& args) {
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  HANDLE child_input = nullptr;
  HANDLE child_output = nullptr;
  if (!CreatePipe(&child_input, &input_, &inheritable, 0)) return;
  if (!CreatePipe(&output_, &child_output, &inheritable, 0)) {
    CloseHandle(child_input);
    return;
  }
  // Only the child's ends are inherited: the pipe must close when it ends.
  SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);

  const std::wstring path = Wide(WindowsPath(exe));
  std::wstring command_line = Quoted(path);
  for (const std::string& arg : args) command_line += L" " + Quoted(Wide(arg));
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = child_input;
  startup.hStdOutput = child_output;
  PROCESS_INFORMATION info = {};
  if (CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                     nullptr, nullptr, &startup, &info)) {
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    process_id_ = info.dwProcessId;
  } else {
    std::printf("cannot start %s (error %lu)\n", exe.c_str(), GetLastError());
  }
  CloseHandle(child_input);
  CloseHandle(child_output);
}

StandinProcess::~StandinProcess() {
  Kill();
  if (input_) CloseHandle(input_);
  if (output_) CloseHandle(output_);
}

void StandinProcess::Kill() {
  if (!process_) return;
  if (!Exited()) TerminateProcess(process_, 1);
  WaitForSingleObject(process_, 20000);
  CloseHandle(process_);
  process_ = nullptr;
}

bool StandinProcess::Exited() const {
  return !process_ || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
}

bool StandinProcess::ReadLine(std::string& line) {
  for (;;) {
    const size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return true;
    }
    // Anonymous pipes have no timeouts: read only what is there.
    DWORD available = 0;
    if (!PeekNamedPipe(output_, nullptr, 0, nullptr, &available, nullptr) || available == 0)
      return false;
    std::string chunk(available, '\0');
    DWORD count = 0;
    if (!ReadFile(output_, chunk.data(), available, &count, nullptr)) return false;
    pending_.append(chunk.data(), count);
  }
}

bool StandinProcess::Command(const std::string& line, std::vector<std::string>* output,
                             DWORD timeout_ms) {
  const std::string text = line + "\n";
  DWORD written = 0;
  if (!process_ ||
      !WriteFile(input_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
    return false;
  }
  const std::string ok = "ok " + line.substr(0, line.find(' '));
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
          if (reply.starts_with("error")) return true;
          if (output) output->push_back(reply);
        }
        return exited;
      },
      timeout_ms);
  return acknowledged;
}

HWND StandinProcess::FindWindowOfClass(const char* class_name) const {
  for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, class_name, nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == process_id_) return window;
  }
  return nullptr;
}

std::vector<LogLine> StandinProcess::LogLines(const std::string& path) {
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
    const std::string line = content.substr(start, end - start);
    const size_t space = line.find(' ');
    lines.push_back({std::strtod(line.c_str(), nullptr), space == std::string::npos
                                                             ? std::string()
                                                             : Unescape(line.substr(space + 1))});
  }
  return lines;
}

std::string StandinProcess::WindowsPath(const std::string& path) {
  if (!path.starts_with('/')) return path;
  std::string out = "Z:" + path;
  for (char& c : out) {
    if (c == '/') c = '\\';
  }
  return out;
}

std::string TempPath(const std::string& name) {
  char folder[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, folder)) folder[0] = '\0';
  std::string path =
      std::string(folder) + "zingel-test-" + std::to_string(GetCurrentProcessId()) + "-" + name;
  DeleteFileA(path.c_str());
  return path;
}

ChatRoomStandin::ChatRoomStandin(const std::string& exe, const std::string& log_name,
                                 std::vector<std::string> args)
    : ChatRoomStandin(exe, std::move(args), TempPath(log_name)) {}

ChatRoomStandin::ChatRoomStandin(const std::string& exe, std::vector<std::string> args,
                                 std::string log_path)
    : StandinProcess(exe,
                     [&] {
                       args.insert(args.begin(), {"--log", log_path});
                       return args;
                     }()),
      log_(std::move(log_path)) {
  if (!Command("ping")) Fail(__FILE__, __LINE__, "the stand-in chat room did not start");
}

ChatRoomStandin::~ChatRoomStandin() {
  Kill();
  DeleteFileA(log_.c_str());
}

std::vector<std::string> ChatRoomStandin::Posted() const {
  std::vector<std::string> texts;
  for (const LogLine& line : LogLines(log_)) texts.push_back(line.text);
  return texts;
}

std::vector<std::string> PresenceBytes() {
  // Every character of both lines is below U+0100: code page 1252 keeps it as one byte.
  auto bytes = [](const std::u16string& text) {
    std::string out;
    for (const char16_t c : text) out += static_cast<char>(c);
    return out;
  };
  return {bytes(PresenceLine), bytes(ChatLinkLine(kLinkText, DownloadUrl))};
}

}  // namespace zingel::test
