#!/usr/bin/env bash
# Checks a Windows executable's imports: only Windows system DLLs, none of the
# functions that Windows XP lacks, and (with --xp) a subsystem version XP loads.
# Usage: check_pe.sh OBJDUMP EXE [--xp]
set -u
objdump=$1 exe=$2 xp=${3:-}
dump=$("$objdump" -p "$exe") || { echo "cannot read $exe"; exit 1; }
status=0

allowed_dlls='^(kernel32|user32|gdi32|shell32|advapi32|comctl32|msvcrt)\.dll$'
dlls=$(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p')
for dll in $dlls; do
  if ! printf '%s\n' "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed_dlls"; then
    echo "$exe imports $dll, which is not a Windows system DLL"
    status=1
  fi
done

# Functions that appeared after Windows XP SP3 and that a C++ toolchain or a
# careless call can pull in.
post_xp='GetTickCount64 InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared
ReleaseSRWLockExclusive ReleaseSRWLockShared TryAcquireSRWLockExclusive
InitializeConditionVariable SleepConditionVariableCS SleepConditionVariableSRW
WakeConditionVariable WakeAllConditionVariable InitOnceExecuteOnce InitOnceBeginInitialize
InitOnceComplete InitializeCriticalSectionEx CreateEventExA CreateEventExW CreateMutexExA
CreateMutexExW CreateSemaphoreExW FlsAlloc FlsFree FlsGetValue FlsSetValue GetThreadId
GetCurrentProcessorNumber GetSystemTimePreciseAsFileTime GetFileInformationByHandleEx
SetFileInformationByHandle GetFinalPathNameByHandleW GetFinalPathNameByHandleA
CreateSymbolicLinkW CancelIoEx QueryFullProcessImageNameW QueryFullProcessImageNameA
CompareStringEx LCMapStringEx GetLocaleInfoEx GetUserDefaultLocaleName
SetProcessDPIAware GetDpiForWindow GetDpiForSystem SetThreadDpiAwarenessContext
ChangeWindowMessageFilter ChangeWindowMessageFilterEx Shell_NotifyIconGetRect
AddDllDirectory SetDefaultDllDirectories RegGetValueA RegGetValueW
Wow64DisableWow64FsRedirection GetErrorMode SetThreadErrorMode'
imported=$(printf '%s\n' "$dump" | awk '/DLL Name:/ {in_dll = 1} in_dll && NF >= 3 && $1 ~ /^[0-9a-f]+$/ {print $NF}')
for fn in $post_xp; do
  if printf '%s\n' "$imported" | grep -qx "$fn"; then
    echo "$exe imports $fn, which Windows XP lacks"
    status=1
  fi
done

if [ "$xp" = --xp ]; then
  major=$(printf '%s\n' "$dump" | awk '/^MajorSubsystemVersion/ {print $2}')
  minor=$(printf '%s\n' "$dump" | awk '/^MinorSubsystemVersion/ {print $2}')
  if [ -z "$major" ] || [ $((major * 100 + minor)) -gt 501 ]; then
    echo "$exe has subsystem version $major.$minor; Windows XP needs 5.1 or lower"
    status=1
  fi
fi

[ $status -eq 0 ] && echo "$exe: $(echo $dlls | wc -w) system DLLs, $(echo "$imported" | wc -l) functions, nothing post-XP"
exit $status
