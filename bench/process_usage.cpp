#include "process_usage.h"

// After windows.h, which they need.
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common.h"
#include "wait.h"

namespace zingel::bench {
namespace {

// The whole of a small file; "" if it cannot be read.
std::string ReadWhole(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string content;
  char chunk[4096];
  DWORD count = 0;
  while (ReadFile(file, chunk, sizeof chunk, &count, nullptr) && count > 0)
    content.append(chunk, count);
  CloseHandle(file);
  return content;
}

std::vector<std::string> DirectoryNames(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  const HANDLE find = FindFirstFileA(pattern.c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    names.push_back(entry.cFileName);
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return names;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string ProcPath(int pid, const char* file) {
  return Format("Z:\\proc\\%d\\%s", pid, file);
}

// A "Name:   N kB" line of /proc/PID/status, in KiB.
double StatusKib(const std::string& status, const char* name) {
  const size_t at = status.find(std::string("\n") + name + ":");
  return at == std::string::npos
             ? 0
             : std::strtod(status.c_str() + at + std::strlen(name) + 2, nullptr);
}

// Threads and handles, as Wine's server counts them.
bool ProcessCounts(DWORD process_id, ULONG& threads, ULONG& handles) {
  using Query = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return false;
  constexpr int kSystemProcessInformation = 5;
  std::vector<char> buffer(1 << 16);
  ULONG needed = 0;
  LONG status;
  while ((status = query(kSystemProcessInformation, buffer.data(),
                         static_cast<ULONG>(buffer.size()), &needed)) != 0) {
    if (buffer.size() > (64u << 20)) return false;
    buffer.resize(std::max<size_t>(buffer.size() * 2, needed));
  }
  for (size_t offset = 0;;) {
    const auto* process =
        reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
    if (reinterpret_cast<ULONG_PTR>(process->UniqueProcessId) == process_id) {
      threads = process->NumberOfThreads;
      handles = process->HandleCount;
      return true;
    }
    if (process->NextEntryOffset == 0) return false;
    offset += process->NextEntryOffset;
  }
}

struct WindowCount {
  DWORD process_id;
  int count;
};

BOOL CALLBACK CountChild(HWND, LPARAM data) {
  ++reinterpret_cast<WindowCount*>(data)->count;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM data) {
  auto* windows = reinterpret_cast<WindowCount*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == windows->process_id) {
    ++windows->count;
    EnumChildWindows(window, CountChild, data);
  }
  return TRUE;
}

// Top-level windows and all their descendants: the USER objects we can count.
int CountWindows(DWORD process_id) {
  WindowCount windows{process_id, 0};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
  return windows.count;
}

}  // namespace

int FindLinuxProcess(const std::string& name, bool whole) {
  char prefix[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  if (length == 0 || length >= sizeof prefix) return 0;
  const std::string environment_entry = std::string("WINEPREFIX=") + prefix;
  int found = 0;
  unsigned long long found_start = 0;
  for (const std::string& entry : DirectoryNames("Z:\\proc\\*")) {
    if (entry.empty() || entry.find_first_not_of("0123456789") != std::string::npos) continue;
    const int pid = std::atoi(entry.c_str());
    const std::string command = ReadWhole(ProcPath(pid, "cmdline"));
    const std::string program = Lower(command.substr(0, command.find('\0')));
    const std::string base = program.substr(program.find_last_of("\\/") + 1);
    if (!(whole ? base == name : base.starts_with(name))) continue;
    const std::string environment = ReadWhole(ProcPath(pid, "environ"));
    if (environment.find(environment_entry + '\0') == std::string::npos) continue;
    // The start time, field 22 of stat, counted after the command in parentheses.
    const std::string stat = ReadWhole(ProcPath(pid, "stat"));
    const size_t close = stat.rfind(')');
    unsigned long long start = 0;
    if (close != std::string::npos) {
      const char* field = stat.c_str() + close + 1;
      for (int i = 3; i < 22 && field; ++i) field = std::strchr(field + 1, ' ');
      if (field) start = std::strtoull(field, nullptr, 10);
    }
    if (!found || start >= found_start) {
      found = pid;
      found_start = start;
    }
  }
  return found;
}

int WaitLinuxProcess(const std::string& exe) {
  const std::string name = Lower(exe.substr(exe.find_last_of("\\/") + 1));
  int pid = 0;
  driver::WaitUntil([&] { return (pid = FindLinuxProcess(name)) != 0; });
  if (pid == 0) Note("no Linux process for %s", name.c_str());
  return pid;
}

// From the scheduler's nanoseconds per thread.
double LinuxCpuSeconds(int pid) {
  if (pid == 0) return 0;
  double seconds = 0;
  for (const std::string& task : DirectoryNames(Format("Z:\\proc\\%d\\task\\*", pid))) {
    if (task.empty() || !std::isdigit(static_cast<unsigned char>(task[0]))) continue;
    const std::string schedstat =
        ReadWhole(Format("Z:\\proc\\%d\\task\\%s\\schedstat", pid, task.c_str()));
    seconds += std::strtod(schedstat.c_str(), nullptr) / 1e9;
  }
  return seconds;
}

Usage Measure(const driver::Program& program, int linux_pid) {
  const HANDLE process = program.process();
  Usage usage;
  usage.cpu = LinuxCpuSeconds(linux_pid);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof memory)) {
    usage.working_set_kib = static_cast<double>(memory.WorkingSetSize) / 1024;
    usage.private_kib = static_cast<double>(memory.PrivateUsage) / 1024;
  }
  if (usage.private_kib == 0 && linux_pid != 0) {
    const std::string status = ReadWhole(ProcPath(linux_pid, "status"));
    usage.private_kib = StatusKib(status, "RssAnon") + StatusKib(status, "VmSwap");
    usage.virtual_kib = StatusKib(status, "VmSize");
  }
  usage.user_objects = GetGuiResources(process, GR_USEROBJECTS);
  usage.gdi_objects = GetGuiResources(process, GR_GDIOBJECTS);
  ProcessCounts(program.id(), usage.threads, usage.handles);
  usage.windows = CountWindows(program.id());
  return usage;
}

}  // namespace zingel::bench
