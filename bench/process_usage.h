#pragma once
// Another process's CPU time, memory and object counts, as far as Wine lets us see them.
//
// Wine runs each Windows process as a Linux process. For another process, Wine's
// GetProcessTimes returns the caller's own times and its private bytes and handle count read 0,
// so CPU time and memory come from Linux's /proc (drive Z:), where Wine's processes show with
// their Windows program path and the prefix in their environment. Threads and handles come from
// NtQuerySystemInformation, which Wine's server fills.

#include <windows.h>

#include <string>

#include "program.h"

namespace zingel::bench {

// One look at a process: CPU, memory and object counts.
struct Usage {
  // Private: resident anonymous memory and swap.
  double working_set_kib = 0, private_kib = 0, virtual_kib = 0;
  DWORD user_objects = 0, gdi_objects = 0;
  ULONG threads = 0, handles = 0;
  int windows = 0;  // top-level windows and all their descendants
};

// The Linux process of this Wine prefix whose program path starts with `program`: a Windows path
// as the program was started by, or a Unix one for Wine's own programs; 0 if none.
int FindLinuxProcess(const std::string& program);
// The Linux process behind a Windows one just started from `exe`; 0 if it does not show.
int WaitLinuxProcess(const std::string& exe);
// CPU seconds of all the Linux process's threads; 0 for pid 0.
double LinuxCpuSeconds(int pid);

Usage Measure(const driver::Program& program, int linux_pid);

}  // namespace zingel::bench
