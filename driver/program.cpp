#include "program.h"

#include <cstdio>

#include "protocol.h"

namespace zingel::driver {
namespace {

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

struct TopWindowSearch {
  DWORD process_id;
  const std::function<bool(HWND)>& match;
  HWND found;
};

BOOL CALLBACK TakeTopWindow(HWND window, LPARAM param) {
  TopWindowSearch& search = *reinterpret_cast<TopWindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search.process_id || !search.match(window)) return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

std::string Utf8(const std::u16string& text) {
  return standin::ToUtf8(std::wstring(text.begin(), text.end()));
}

Program::Program(const std::string& exe, const std::vector<std::string>& args, bool talk) {
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  HANDLE child_input = nullptr;
  HANDLE child_output = nullptr;
  if (talk) {
    if (!CreatePipe(&child_input, &input_, &inheritable, 0)) return;
    if (!CreatePipe(&output_, &child_output, &inheritable, 0)) {
      CloseHandle(child_input);
      return;
    }
    // Only the child's ends are inherited: the pipes must close when it ends.
    SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
  }
  const std::wstring path = standin::FromUtf8(WindowsPath(exe));
  std::wstring command_line = Quoted(path);
  for (const std::string& arg : args) command_line += L" " + Quoted(standin::FromUtf8(arg));
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (talk) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = child_input;
    startup.hStdOutput = child_output;
  }
  PROCESS_INFORMATION info = {};
  if (CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, talk,
                     talk ? CREATE_NO_WINDOW : 0, nullptr, nullptr, &startup, &info)) {
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
  } else {
    std::printf("cannot start %s (error %lu)\n", exe.c_str(), GetLastError());
  }
  if (child_input) CloseHandle(child_input);
  if (child_output) CloseHandle(child_output);
}

Program::~Program() {
  Kill();
  if (input_) CloseHandle(input_);
  if (output_) CloseHandle(output_);
}

void Program::Kill() {
  if (!process_) return;
  if (!Exited()) TerminateProcess(process_, 1);
  WaitForSingleObject(process_, 20000);
  CloseHandle(process_);
  process_ = nullptr;
}

bool Program::Exited() const {
  return !process_ || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
}

bool Program::WaitForExit(DWORD timeout_ms) const {
  return !process_ || WaitForSingleObject(process_, timeout_ms) == WAIT_OBJECT_0;
}

DWORD Program::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_) GetExitCodeProcess(process_, &code);
  return code;
}

// One list from EnumWindows, not FindWindowEx from the window found last: under Wine 10 a
// FindWindowEx after a window that is out of the Z order (a popup menu that is opening or
// closing) loops for good in the Wine server, and every program of the session hangs with it.
HWND Program::FindTopWindow(const std::function<bool(HWND)>& match) const {
  TopWindowSearch search{id_, match, nullptr};
  EnumWindows(TakeTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND Program::FindWindowOfClass(const char* class_name, bool visible) const {
  return FindTopWindow([&](HWND window) {
    char found[256];
    return GetClassNameA(window, found, sizeof found) && lstrcmpiA(found, class_name) == 0 &&
           (!visible || IsWindowVisible(window));
  });
}

bool Program::WriteLine(const std::string& line) {
  const std::string text = line + "\n";
  DWORD written = 0;
  return process_ && input_ &&
         WriteFile(input_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

bool Program::ReadLine(std::string& line) {
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
    if (!output_ || !PeekNamedPipe(output_, nullptr, 0, nullptr, &available, nullptr) ||
        available == 0)
      return false;
    std::string chunk(available, '\0');
    DWORD count = 0;
    if (!ReadFile(output_, chunk.data(), available, &count, nullptr)) return false;
    pending_.append(chunk.data(), count);
  }
}

std::string Program::WindowsPath(const std::string& path) {
  if (!path.starts_with('/')) return path;
  std::string out = "Z:" + path;
  for (char& c : out) {
    if (c == '/') c = '\\';
  }
  return out;
}

}  // namespace zingel::driver
