#include "process_usage.h"

// After windows.h, which it needs.
#include <winternl.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>
#include <utility>
#include <vector>

#include "bench.h"
#include "wait.h"

namespace zingel::bench {
namespace {

// The whole of a small file; "" if it cannot be read.
std::string ReadWhole(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The names in a folder of /proc that are numbers: processes, or a process's threads.
std::vector<int> ProcNumbers(const std::string& folder) {
  std::vector<int> numbers;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") == std::string::npos)
      numbers.push_back(std::atoi(name.c_str()));
  }
  return numbers;
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

// Threads and handles, as Wine's server counts them; none if the process is not found.
std::pair<ULONG, ULONG> ThreadsAndHandles(DWORD process_id) {
  // Room for every process of a prefix, many times over.
  std::vector<char> buffer(1 << 20);
  if (NtQuerySystemInformation(SystemProcessInformation, buffer.data(),
                               static_cast<ULONG>(buffer.size()), nullptr) != 0)
    return {};
  for (size_t offset = 0;;) {
    const auto* process =
        reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
    if (reinterpret_cast<ULONG_PTR>(process->UniqueProcessId) == process_id)
      return {process->NumberOfThreads, process->HandleCount};
    if (process->NextEntryOffset == 0) return {};
    offset += process->NextEntryOffset;
  }
}

// The process's windows under `parent` (the desktop: its top-level ones) and all their
// descendants: the USER objects we can count.
int CountWindows(DWORD process_id, HWND parent = nullptr) {
  int count = 0;
  for (HWND window = nullptr; (window = FindWindowExA(parent, window, nullptr, nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == process_id) count += 1 + CountWindows(process_id, window);
  }
  return count;
}

}  // namespace

int FindLinuxProcess(const std::string& program) {
  char prefix[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  if (length == 0 || length >= sizeof prefix) return 0;
  const std::string environment_entry = std::string("WINEPREFIX=") + prefix + '\0';
  for (const int pid : ProcNumbers("Z:\\proc")) {
    // Wine shows a Windows program's path as its Linux process's first argument.
    const std::string command = ReadWhole(ProcPath(pid, "cmdline"));
    if (command.starts_with(program) &&
        ReadWhole(ProcPath(pid, "environ")).find(environment_entry) != std::string::npos)
      return pid;
  }
  return 0;
}

int WaitLinuxProcess(const std::string& exe) {
  const std::string path = driver::Program::WindowsPath(exe);
  int pid = 0;
  driver::WaitUntil([&] { return (pid = FindLinuxProcess(path)) != 0; });
  if (pid == 0) Note("no Linux process for %s", path.c_str());
  return pid;
}

// From the scheduler's nanoseconds per thread.
double LinuxCpuSeconds(int pid) {
  double seconds = 0;
  for (const int task : ProcNumbers(ProcPath(pid, "task"))) {
    const std::string schedstat = ReadWhole(Format("Z:\\proc\\%d\\task\\%d\\schedstat", pid, task));
    seconds += std::strtod(schedstat.c_str(), nullptr) / 1e9;
  }
  return seconds;
}

Usage Measure(const driver::Program& program, int linux_pid) {
  const HANDLE process = program.process();
  Usage usage;
  const std::string status = ReadWhole(ProcPath(linux_pid, "status"));
  usage.working_set_kib = StatusKib(status, "VmRSS");
  usage.private_kib = StatusKib(status, "RssAnon") + StatusKib(status, "VmSwap");
  usage.virtual_kib = StatusKib(status, "VmSize");
  usage.user_objects = GetGuiResources(process, GR_USEROBJECTS);
  usage.gdi_objects = GetGuiResources(process, GR_GDIOBJECTS);
  std::tie(usage.threads, usage.handles) = ThreadsAndHandles(program.id());
  usage.windows = CountWindows(program.id());
  return usage;
}

}  // namespace zingel::bench
