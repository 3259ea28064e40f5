// zingel_bench: measures the real zingel.exe against the stand-in player and
// chat room: start-up time, polling cost beside a bare poller, announce
// latency, and memory and object counts over many song changes. Prints a
// Markdown table on standard output and its progress on standard error.
//
//   zingel_bench --zingel EXE --player EXE --room EXE --bare EXE --work DIR
//                [--quick] [--phase all|run|start] [--songs N] [--changes N]
//                [--cpu-seconds S] [--starts N] [--rounds N] [--seed N]
//
// Phase "start" times zingel's start-ups only; "run" starts it once and runs
// the rest; "all" does both. Only "start" leaves out the table's header.
//
// Paths may be Unix paths (Wine's Z: drive). DIR holds the logs and playlists;
// on a RAM disk the stand-ins' flushed log writes cost nothing.
//
// Wine runs each Windows process as a Linux process. For another process,
// Wine's GetProcessTimes returns the caller's own times and its private bytes
// and handle count read 0, so CPU time and private bytes come from Linux's
// /proc (drive Z:), where Wine's processes show with their Windows command line
// and the prefix in their environment. The handle count comes from
// NtQuerySystemInformation, which Wine's server fills.

#include <windows.h>
// After windows.h, which they need.
#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "standin_process.h"

namespace {

using zingel::test::LogLine;
using zingel::test::StandinProcess;

constexpr char kZingelClass[] = "zingel";
constexpr char kZingelTitle[] = "zingel";
constexpr char kBoxClass[] = "#32770";
constexpr char kPlayerClass[] = "Winamp v1.x";
constexpr char kBareClass[] = "ZingelBarePoller";
constexpr UINT kBareTicks = WM_APP;
constexpr UINT kBareReads = WM_APP + 1;
constexpr int kCommand1 = 201;  // start
constexpr int kCommand2 = 202;  // stop
// zingel's busy wait between its two presence lines, before the welcome box.
constexpr double kPresenceWait = 0.1;
constexpr int kPeriodTicks = 200;
constexpr char kSteadyTitle[] = "Bench - Steady";

struct Options {
  std::string zingel, player, room, bare, work;
  int songs = 300;      // latency: song changes at random moments
  int changes = 10000;  // footprint: song changes in a row
  int first = 100;      // footprint: changes before the first snapshot
  double cpu_seconds = 6;
  int starts = 5;
  int rounds = 5;  // zingel then the bare poller, this many times
  unsigned seed = 1;
  std::string phase = "all";
};

void Note(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

std::string Format(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Checks `done` every `step_ms` until it holds or `seconds` pass.
bool WaitFor(const std::function<bool()>& done, double seconds, DWORD step_ms = 1) {
  const double end = Now() + seconds;
  while (!done()) {
    if (Now() > end) return done();
    Sleep(step_ms);
  }
  return true;
}

std::wstring Wide(const std::string& text) {
  std::wstring out(text.size(), L'\0');
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       out.data(), static_cast<int>(out.size()));
  out.resize(static_cast<size_t>(size > 0 ? size : 0));
  return out;
}

// The mean interval of a 1 ms timer of this thread over `ticks` ticks.
double TimerPeriod(int ticks) {
  const UINT_PTR timer = SetTimer(nullptr, 0, 1, nullptr);
  if (!timer) return 0;
  std::vector<double> times;
  MSG message;
  while (times.size() <= static_cast<size_t>(ticks) && GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && message.wParam == timer) times.push_back(Now());
  }
  KillTimer(nullptr, timer);
  return times.size() > 1 ? (times.back() - times.front()) / static_cast<double>(times.size() - 1)
                          : 0;
}

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

// The Linux process of this Wine prefix whose program file is named `name`
// (or starts with it, unless `whole`); the newest if several; 0 if none.
int FindLinuxProcess(const std::string& name, bool whole = true) {
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

// CPU time of all the process's threads, from the scheduler's nanoseconds.
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

// One look at a process: CPU, memory and object counts.
struct Usage {
  double cpu = 0;  // seconds
  double working_set_kib = 0;
  double private_kib = 0;  // resident anonymous memory and swap
  double virtual_kib = 0;
  DWORD user_objects = 0;
  DWORD gdi_objects = 0;
  ULONG threads = 0;
  ULONG handles = 0;
  int windows = 0;
};

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

Usage Measure(HANDLE process, DWORD process_id, int linux_pid) {
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
  ProcessCounts(process_id, usage.threads, usage.handles);
  usage.windows = CountWindows(process_id);
  return usage;
}

// The Linux process behind a Windows one just started; 0 if it does not show.
int WaitLinuxProcess(const std::string& exe) {
  const std::string name = Lower(exe.substr(exe.find_last_of("\\/") + 1));
  int pid = 0;
  WaitFor([&] { return (pid = FindLinuxProcess(name)) != 0; }, 20, 10);
  if (pid == 0) Note("no Linux process for %s", name.c_str());
  return pid;
}

// A process of ours that is not a stand-in: zingel or the bare poller.
class Process {
 public:
  Process() = default;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process() {
    if (!handle_) return;
    if (WaitForSingleObject(handle_, 0) != WAIT_OBJECT_0) TerminateProcess(handle_, 1);
    CloseHandle(handle_);
  }

  bool Start(const std::string& exe) {
    exe_ = exe;
    std::wstring command = L"\"" + Wide(StandinProcess::WindowsPath(exe)) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
      Note("cannot start %s (error %lu)", exe.c_str(), GetLastError());
      return false;
    }
    CloseHandle(info.hThread);
    handle_ = info.hProcess;
    id_ = info.dwProcessId;
    return true;
  }

  // Its top-level window of that class (and title, if given), or nullptr.
  HWND Window(const char* class_name, const char* title = nullptr) const {
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, class_name, title));) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner == id_) return window;
    }
    return nullptr;
  }

  bool WaitExit(double seconds) const {
    return WaitForSingleObject(handle_, static_cast<DWORD>(seconds * 1000)) == WAIT_OBJECT_0;
  }

  HANDLE handle() const { return handle_; }
  // Looked up once, when first needed, so as not to slow the start.
  int LinuxPid() {
    if (linux_pid_ == 0) linux_pid_ = WaitLinuxProcess(exe_);
    return linux_pid_;
  }
  Usage Measure() { return ::Measure(handle_, id_, LinuxPid()); }

 private:
  std::string exe_;
  HANDLE handle_ = nullptr;
  DWORD id_ = 0;
  int linux_pid_ = 0;
};

struct StartTimes {
  double to_box = 0;    // process start to the welcome box shown
  double to_ready = 0;  // process start to the main window shown
};

class Zingel : public Process {
 public:
  // Starts it, dismisses the welcome box as soon as it shows and waits for the
  // main window to show.
  bool Launch(const std::string& exe, StartTimes& times) {
    const double start = Now();
    if (!Start(exe)) return false;
    HWND box = nullptr;
    if (!WaitFor(
            [&] {
              box = Window(kBoxClass, kZingelTitle);
              return box && IsWindowVisible(box);
            },
            60)) {
      Note("no welcome box");
      return false;
    }
    times.to_box = Now() - start;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    if (!WaitFor(
            [&] {
              window_ = Window(kZingelClass, kZingelTitle);
              return window_ && IsWindowVisible(window_);
            },
            60)) {
      Note("no main window");
      return false;
    }
    times.to_ready = Now() - start;
    return true;
  }

  // Clicks start or stop as the button would, and waits until it took effect.
  bool Click(int id) {
    const HWND start = GetDlgItem(window_, kCommand1);
    PostMessageA(window_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window_, id)));
    const bool want_enabled = id != kCommand1;
    if (WaitFor([&] { return (IsWindowEnabled(start) != FALSE) == want_enabled; }, 20)) return true;
    Note("the click on %d did not take effect", id);
    return false;
  }

  // As the user closes it: the goodbye lines, then the end.
  bool Close() {
    PostMessageA(window_, WM_CLOSE, 0, 0);
    return WaitExit(20);
  }

 private:
  HWND window_ = nullptr;
};

// The song in a line "<b>PREFIX</b> SONG"; "" for the presence lines.
std::string SongOfLine(const std::string& line) {
  const size_t at = line.rfind("</b> ");
  return at == std::string::npos ? std::string() : line.substr(at + 5);
}

std::string Caption(const std::string& title) {
  // One-digit playlist number: the caption form zingel takes apart exactly.
  return "1. " + title + " - Winamp";
}

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const auto rank = static_cast<size_t>(std::ceil(fraction * static_cast<double>(values.size())));
  return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

double Median(std::vector<double> values) {
  return Percentile(std::move(values), 0.5);
}

// Each song change matched to its line in the chat room.
struct Matching {
  int songs = 0;
  int once = 0;
  int missed = 0;
  int repeated = 0;               // announced more than once
  int other = 0;                  // lines naming no song of the run
  std::vector<double> latencies;  // seconds, in playlist order
};

Matching Match(const std::vector<std::string>& titles, const std::vector<LogLine>& changes,
               const std::vector<LogLine>& lines) {
  std::map<std::string, double> changed;
  for (const LogLine& change : changes) changed.emplace(change.text, change.seconds);
  std::map<std::string, std::vector<double>> announced;
  Matching result;
  for (const LogLine& line : lines) {
    const std::string song = SongOfLine(line.text);
    if (std::find(titles.begin(), titles.end(), song) == titles.end()) {
      ++result.other;
    } else {
      announced[song].push_back(line.seconds);
    }
  }
  // The first title is the lead-in: it shows as the player's window is made.
  for (size_t i = 1; i < titles.size(); ++i) {
    ++result.songs;
    const auto& times = announced[titles[i]];
    const auto change = changed.find(Caption(titles[i]));
    if (times.empty() || change == changed.end()) {
      ++result.missed;
      continue;
    }
    ++(times.size() == 1 ? result.once : result.repeated);
    result.latencies.push_back(times.front() - change->second);
  }
  return result;
}

struct SongRun {
  Matching matching;
  Usage first;  // after `first_count` song changes
  int first_count = 0;
  Usage last;
  int shown = 0;  // captions the player showed
  double seconds = 0;
};

// CPU seconds of the three processes a poll involves, over one interval.
struct PollCost {
  double seconds = 0;
  double poller = 0;
  double player = 0;
  double server = 0;  // wineserver: it carries every message between processes
  double ticks = 0;   // counted by the bare poller; estimated for zingel
  double reads = 0;

  void Add(const PollCost& other) {
    seconds += other.seconds;
    poller += other.poller;
    player += other.player;
    server += other.server;
    ticks += other.ticks;
    reads += other.reads;
  }
};

class Bench {
 public:
  explicit Bench(Options options) : options_(std::move(options)), random_(options_.seed) {}

  int Run();

 private:
  std::string WorkPath(const std::string& name) const {
    return StandinProcess::WindowsPath(options_.work + "/" + name);
  }
  std::vector<LogLine> RoomLinesSince(size_t first) const;
  // Song holds: whole milliseconds, at least `count` timer periods.
  int Periods(int count) const { return static_cast<int>(std::ceil(count * period_ * 1e3 - 0.05)); }
  bool Startup(int starts);
  bool RoomCost();
  bool PollingCost();
  bool PlaySongs(const char* name, int count, int min_ms, int max_ms, int first, SongRun& run);
  void PrintRunRows() const;
  void PrintStartRows(bool timed) const;

  Options options_;
  std::mt19937 random_;
  std::string room_log_;
  std::unique_ptr<StandinProcess> room_;
  std::unique_ptr<Zingel> zingel_;
  int server_pid_ = 0;
  double period_ = 0;
  std::vector<StartTimes> starts_;
  Usage gui_probe_;
  std::vector<double> room_times_;  // the room's own time per line
  PollCost zingel_cost_, bare_cost_;
  std::vector<double> round_ratios_;  // zingel's CPU over the bare poller's, per round
  Usage steady_before_, steady_after_;
  SongRun latency_, footprint_;
};

std::vector<LogLine> Bench::RoomLinesSince(size_t first) const {
  auto lines = StandinProcess::LogLines(room_log_);
  lines.erase(lines.begin(),
              lines.begin() + static_cast<std::ptrdiff_t>(std::min(first, lines.size())));
  return lines;
}

bool Bench::Startup(int starts) {
  for (int i = 0; i < starts; ++i) {
    auto zingel = std::make_unique<Zingel>();
    StartTimes times;
    if (!zingel->Launch(options_.zingel, times)) return false;
    starts_.push_back(times);
    Note("start %d: welcome box after %.3f s, ready after %.3f s", i + 1, times.to_box,
         times.to_ready);
    if (i + 1 == starts) {
      zingel_ = std::move(zingel);
    } else if (!zingel->Close()) {
      Note("zingel did not end when closed");
      return false;
    }
  }
  return true;
}

// What the room itself takes to post a line, sent as zingel sends it: the
// text into the second box, a press and release of the fifth button. zingel
// waits for all of it, so it is part of every announce latency.
bool Bench::RoomCost() {
  constexpr int kLines = 30;
  const size_t first = StandinProcess::LogLines(room_log_).size();
  std::vector<double> sent;
  for (int i = 0; i < kLines; ++i) {
    const HWND room = FindWindowA("Aim_Chatwnd", nullptr);
    HWND box = nullptr, button = nullptr;
    for (int n = 0; n < 2; ++n) box = FindWindowExA(room, box, "WndAte32Class", nullptr);
    for (int n = 0; n < 5; ++n) button = FindWindowExA(room, button, "_Oscar_IconBtn", nullptr);
    if (!box || !button) return false;
    const std::string line = Format("<b></b> Bench - Room %02d", i + 1);
    sent.push_back(Now());
    SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageA(button, WM_LBUTTONDOWN, 0, 0);
    SendMessageA(button, WM_LBUTTONUP, 0, 0);
    Sleep(50);
  }
  const auto lines = RoomLinesSince(first);
  if (lines.size() != sent.size()) return false;
  for (size_t i = 0; i < lines.size(); ++i) room_times_.push_back(lines[i].seconds - sent[i]);
  Note("room: %.1f ms per line (median)", Median(room_times_) * 1e3);
  return true;
}

bool Bench::PollingCost() {
  StandinProcess player(options_.player, {"--caption", Caption(kSteadyTitle)});
  if (!player.Command("ping")) return false;
  const int player_pid = WaitLinuxProcess(options_.player);
  // Lets each poller reach its steady state first.
  const DWORD settle_ms = 1000;
  const auto wait_ms = static_cast<DWORD>(options_.cpu_seconds * 1000);
  const auto sample = [&](PollCost& cost, int poller_pid) {
    cost.seconds = Now();
    cost.poller = LinuxCpuSeconds(poller_pid);
    cost.player = LinuxCpuSeconds(player_pid);
    cost.server = LinuxCpuSeconds(server_pid_);
  };
  const auto since = [&](const PollCost& start, int poller_pid) {
    PollCost end;
    sample(end, poller_pid);
    end.seconds -= start.seconds;
    end.poller -= start.poller;
    end.player -= start.player;
    end.server -= start.server;
    return end;
  };
  for (int round = 0; round < options_.rounds; ++round) {
    if (!zingel_->Click(kCommand1)) return false;
    Sleep(settle_ms);
    const int zingel_pid = zingel_->LinuxPid();
    const Usage before = zingel_->Measure();
    PollCost start;
    sample(start, zingel_pid);
    Sleep(wait_ms);
    PollCost cost = since(start, zingel_pid);
    cost.ticks = cost.seconds / period_;
    const Usage after = zingel_->Measure();
    if (round == 0) steady_before_ = before;
    steady_after_ = after;
    zingel_cost_.Add(cost);
    const double zingel_rate = cost.poller / cost.seconds;
    if (!zingel_->Click(kCommand2)) return false;
    Note("round %d: zingel %.1f ms of CPU in %.1f s", round + 1, cost.poller * 1e3, cost.seconds);

    Process bare;
    HWND window = nullptr;
    if (!bare.Start(options_.bare) ||
        !WaitFor([&] { return (window = bare.Window(kBareClass)) != nullptr; }, 60))
      return false;
    const int bare_pid = bare.LinuxPid();
    Sleep(settle_ms);
    const LRESULT ticks = SendMessageA(window, kBareTicks, 0, 0);
    const LRESULT reads = SendMessageA(window, kBareReads, 0, 0);
    sample(start, bare_pid);
    Sleep(wait_ms);
    cost = since(start, bare_pid);
    cost.ticks = static_cast<double>(SendMessageA(window, kBareTicks, 0, 0) - ticks);
    cost.reads = static_cast<double>(SendMessageA(window, kBareReads, 0, 0) - reads);
    bare_cost_.Add(cost);
    round_ratios_.push_back(zingel_rate / (cost.poller / cost.seconds));
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (!bare.WaitExit(20)) return false;
    Note("round %d: bare poller %.1f ms of CPU in %.1f s", round + 1, cost.poller * 1e3,
         cost.seconds);
  }
  return true;
}

// The player shows a lead-in, then `count` distinct songs, each held a random
// min_ms to max_ms; the last one stays. zingel announces while it plays.
bool Bench::PlaySongs(const char* name, int count, int min_ms, int max_ms, int first,
                      SongRun& run) {
  const std::string playlist = WorkPath(std::string(name) + ".playlist");
  const std::string player_log = WorkPath(std::string(name) + "-player.log");
  std::vector<std::string> titles{std::string("Bench - ") + name + " lead-in"};
  std::uniform_int_distribution<int> hold(min_ms, max_ms);
  std::string text = "500\t" + Caption(titles[0]) + "\n";
  double total_ms = 500;
  for (int i = 1; i <= count; ++i) {
    titles.push_back(Format("Bench - %s %05d", name, i));
    const int ms = hold(random_);
    total_ms += ms;
    text += std::to_string(ms) + "\t" + Caption(titles.back()) + "\n";
  }
  FILE* file = std::fopen(playlist.c_str(), "wb");
  if (!file) return false;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);

  const size_t before = StandinProcess::LogLines(room_log_).size();
  if (!zingel_->Click(kCommand1)) return false;
  const double start = Now();
  StandinProcess player(options_.player, {"--playlist", playlist, "--log", player_log});
  if (!player.Command("ping")) return false;
  // Done once the last song is posted or, should its line be lost, once the
  // player has shown every caption and the room has been quiet for 5 s.
  size_t posted = 0;
  double quiet_since = Now();
  bool last_posted = false;
  const bool done = WaitFor(
      [&] {
        const auto lines = RoomLinesSince(before);
        const auto changes = StandinProcess::LogLines(player_log);
        // The lead-in is no change.
        const int shown = static_cast<int>(changes.size()) - 1;
        if (first > 0 && run.first_count == 0 && shown >= first) {
          run.first = zingel_->Measure();
          run.first_count = shown;
        }
        if (lines.size() != posted) {
          if (lines.size() / 1000 > posted / 1000) Note("%s: %zu lines", name, lines.size());
          posted = lines.size();
          quiet_since = Now();
        }
        last_posted = !lines.empty() && SongOfLine(lines.back().text) == titles.back();
        return last_posted || (shown == count && Now() - quiet_since > 5);
      },
      total_ms / 1000 + 300, 200);
  run.seconds = Now() - start;
  run.last = zingel_->Measure();
  const auto changes = StandinProcess::LogLines(player_log);
  run.shown = static_cast<int>(changes.size()) - 1;
  run.matching = Match(titles, changes, RoomLinesSince(before));
  player.Kill();
  if (!zingel_->Click(kCommand2)) return false;
  Note("%s: %d songs in %.1f s, %d announced once, %d missed, %d more than once", name, count,
       run.seconds, run.matching.once, run.matching.missed, run.matching.repeated);
  if (!last_posted) Note("%s: the last song was not posted", name);
  return done;
}

int Bench::Run() {
  room_log_ = WorkPath("room.log");
  DeleteFileA(room_log_.c_str());
  server_pid_ = FindLinuxProcess("wineserver", false);
  if (server_pid_ == 0) {
    Note("no wineserver of this prefix in /proc: run under Wine, with WINEPREFIX set");
    return 1;
  }
  const bool timed_starts = options_.phase != "run";
  const bool run = options_.phase != "start";
  if (run) {
    period_ = TimerPeriod(kPeriodTicks);
    Note("timer period: %.2f ms", period_ * 1e3);
  }
  room_ =
      std::make_unique<StandinProcess>(options_.room, std::vector<std::string>{"--log", room_log_});
  if (!room_->Command("ping")) return 1;
  bool ok = Startup(timed_starts ? options_.starts : 1);
  if (ok && run) {
    gui_probe_ = zingel_->Measure();
    ok = RoomCost() && PollingCost() &&
         PlaySongs("Latency", options_.songs, Periods(3), Periods(12), 0, latency_) &&
         PlaySongs("Load", options_.changes, Periods(2), Periods(3), options_.first, footprint_);
  }
  if (zingel_ && !zingel_->Close()) Note("zingel did not end when closed");
  if (!ok) {
    Note("the benchmark did not complete");
    return 1;
  }
  if (run) PrintRunRows();
  PrintStartRows(timed_starts);
  return 0;
}

const char* Met(bool met) {
  return met ? "yes" : "**no**";
}

std::string Change(double before, double after) {
  return Format("%.0f -> %.0f KiB (%+.0f)", before, after, after - before);
}

void Row(const std::string& what, const std::string& result, const char* target = "",
         const char* met = "") {
  std::printf("| %s | %s | %s | %s |\n", what.c_str(), result.c_str(), target, met);
}

void Bench::PrintRunRows() const {
  const double ms = 1e3;
  std::printf("| Measure | Result | Target | Met |\n|---|---|---|---|\n");
  Row(Format("Timer period: 1 ms SetTimer, mean of %d ticks", kPeriodTicks),
      Format("%.2f ms", period_ * ms), "", "");

  // Announce latency.
  const Matching& m = latency_.matching;
  const double p50 = Percentile(m.latencies, 0.5), p95 = Percentile(m.latencies, 0.95);
  const double worst = Percentile(m.latencies, 1);
  const auto periods = [&](double seconds) {
    return Format("%.1f ms = %.2f periods", seconds * ms, seconds / period_);
  };
  Row(Format("Announce latency p50 (%d songs held %d-%d ms; caption change to line posted)",
             m.songs, Periods(3), Periods(12)),
      periods(p50), "", "");
  Row("Announce latency p95", periods(p95), "<= 1.5 periods", Met(p95 <= 1.5 * period_));
  Row("Announce latency max", periods(worst), "", "");
  Row("Songs announced once / missed / more than once / stray lines",
      Format("%d / %d / %d / %d", m.once, m.missed, m.repeated, m.other), "all once",
      Met(m.once == m.songs && m.other == 0));
  Row("Room stand-in's own time per line, sent directly (p50 / p95; in every latency)",
      Format("%.1f / %.1f ms", Median(room_times_) * ms, Percentile(room_times_, 0.95) * ms), "",
      "");

  // Polling cost.
  const PollCost& z = zingel_cost_;
  const PollCost& b = bare_cost_;
  const double zingel_rate = z.poller / z.seconds, bare_rate = b.poller / b.seconds;
  Row(Format("CPU: zingel announcing, song unchanged (%d x %.0f s)", options_.rounds,
             options_.cpu_seconds),
      Format("%.2f ms/s, %.0f us/tick (%.0f ticks, from the period)", zingel_rate * ms,
             z.poller / z.ticks * 1e6, z.ticks),
      "", "");
  Row("CPU: bare poller (FindWindowA + WM_GETTEXTLENGTH + WM_GETTEXT per tick)",
      Format("%.2f ms/s, %.0f us/tick (%.0f ticks counted, %.0f read the caption)", bare_rate * ms,
             b.poller / b.ticks * 1e6, b.ticks, b.reads),
      "", "");
  // Rounds are paired, zingel then the bare poller; the median of their
  // ratios shrugs off a round slowed by other work on the machine.
  const double ratio = Median(round_ratios_);
  Row("CPU ratio zingel / bare",
      Format("%.2f: median of %zu paired rounds (range %.2f-%.2f; %.2f over all rounds)", ratio,
             round_ratios_.size(), Percentile(round_ratios_, 0), Percentile(round_ratios_, 1),
             zingel_rate / bare_rate),
      "<= 1.2", Met(ratio <= 1.2));
  Row("CPU of player / wineserver meanwhile (zingel; bare)",
      Format("%.2f / %.2f ms/s; %.2f / %.2f ms/s", z.player / z.seconds * ms,
             z.server / z.seconds * ms, b.player / b.seconds * ms, b.server / b.seconds * ms),
      "", "");
  // Resident pages grow in 4 KiB steps as code first touches them; a leak of
  // even the smallest heap block (16 bytes) on every tick would show as more.
  const double growth = (steady_after_.private_kib - steady_before_.private_kib) * 1024 / z.ticks;
  Row("Private bytes while polling an unchanged song, first to last sample",
      Format("%s = %.1f bytes per tick",
             Change(steady_before_.private_kib, steady_after_.private_kib).c_str(), growth),
      "< 16 bytes per tick", Met(growth < 16));

  // Footprint.
  const Usage& x = footprint_.first;
  const Usage& y = footprint_.last;
  const Matching& f = footprint_.matching;
  const std::string span =
      Format("after %d and %d song changes", footprint_.first_count, footprint_.shown);
  Row("Working set " + span, Change(x.working_set_kib, y.working_set_kib), "no growth",
      Met(y.working_set_kib <= x.working_set_kib));
  Row("Private bytes " + span, Change(x.private_kib, y.private_kib), "no growth",
      Met(y.private_kib <= x.private_kib));
  Row("Virtual size " + span, Change(x.virtual_kib, y.virtual_kib), "no growth",
      Met(y.virtual_kib <= x.virtual_kib));
  const bool gui_reported = gui_probe_.user_objects != 0 || gui_probe_.gdi_objects != 0;
  Row("USER / GDI objects (GetGuiResources) " + span,
      gui_reported ? Format("%lu / %lu -> %lu / %lu", x.user_objects, x.gdi_objects, y.user_objects,
                            y.gdi_objects)
                   : std::string("0 / 0 even with windows open: Wine does not count them"),
      "no growth",
      gui_reported ? Met(y.user_objects <= x.user_objects && y.gdi_objects <= x.gdi_objects)
                   : "n/a");
  Row("Windows (all levels) / threads / handles " + span,
      Format("%d / %lu / %lu -> %d / %lu / %lu", x.windows, x.threads, x.handles, y.windows,
             y.threads, y.handles),
      "no growth", Met(y.windows <= x.windows && y.threads <= x.threads && y.handles <= x.handles));
  Row(Format("Load run: %d captions shown, %d-%d ms each", footprint_.shown, Periods(2),
             Periods(3)),
      Format("%d announced once, %d skipped, %d more than once, in %.0f s; latency p50 %.0f ms, "
             "p95 %.0f ms",
             f.once, f.missed, f.repeated, footprint_.seconds, Median(f.latencies) * ms,
             Percentile(f.latencies, 0.95) * ms),
      "", "");
}

void Bench::PrintStartRows(bool timed) const {
  const double ms = 1e3;
  if (!timed) {
    Row("Start-up in this display, 1 start: welcome box shown / main window shown",
        Format("%.0f / %.0f ms", starts_.front().to_box * ms, starts_.front().to_ready * ms));
    return;
  }
  std::vector<double> to_box, to_ready;
  for (const StartTimes& start : starts_) {
    to_box.push_back(start.to_box);
    to_ready.push_back(start.to_ready);
  }
  const auto spread = [&](const std::vector<double>& values, double minus) {
    return Format("%.0f ms (min %.0f, max %.0f; %zu starts)", (Median(values) - minus) * ms,
                  (Percentile(values, 0) - minus) * ms, (Percentile(values, 1) - minus) * ms,
                  values.size());
  };
  Row("Start-up: process start to welcome box shown", spread(to_box, 0), "", "");
  Row("Start-up: process start to main window shown (box dismissed at once)", spread(to_ready, 0),
      "", "");
  Row("Start-up to main window, excluding the 0.1 s presence wait", spread(to_ready, kPresenceWait),
      "", "");
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "--quick") {
      options.songs = 60;
      options.changes = 300;
      options.cpu_seconds = 3;
      options.starts = 2;
      options.rounds = 1;
      continue;
    }
    if (i + 1 == argc) return false;
    const std::string value = argv[++i];
    if (name == "--zingel") {
      options.zingel = value;
    } else if (name == "--player") {
      options.player = value;
    } else if (name == "--room") {
      options.room = value;
    } else if (name == "--bare") {
      options.bare = value;
    } else if (name == "--work") {
      options.work = value;
    } else if (name == "--songs") {
      options.songs = std::atoi(value.c_str());
    } else if (name == "--changes") {
      options.changes = std::atoi(value.c_str());
    } else if (name == "--cpu-seconds") {
      options.cpu_seconds = std::atof(value.c_str());
    } else if (name == "--starts") {
      options.starts = std::atoi(value.c_str());
    } else if (name == "--rounds") {
      options.rounds = std::atoi(value.c_str());
    } else if (name == "--phase") {
      options.phase = value;
    } else if (name == "--seed") {
      options.seed = static_cast<unsigned>(std::strtoul(value.c_str(), nullptr, 10));
    } else {
      return false;
    }
  }
  return !options.zingel.empty() && !options.player.empty() && !options.room.empty() &&
         !options.bare.empty() && !options.work.empty() && options.songs > 0 &&
         options.changes >= options.first && options.cpu_seconds > 0 && options.starts > 0 &&
         options.rounds > 0 &&
         (options.phase == "all" || options.phase == "run" || options.phase == "start");
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: %s --zingel EXE --player EXE --room EXE --bare EXE --work DIR [--quick]\n"
                 "       [--phase all|run|start] [--songs N] [--changes N>=100] [--cpu-seconds S]\n"
                 "       [--starts N] [--rounds N] [--seed N]\n",
                 argv[0]);
    return 2;
  }
  return Bench(options).Run();
}
