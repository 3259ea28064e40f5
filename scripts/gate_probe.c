/* Whether this kernel takes 32-bit system calls, which Wine's WoW64 mode needs once in every
   process: the 32-bit getpid through int $0x80. Where 32-bit emulation is off, the gate is closed
   and the call ends this process with SIGSEGV. Prints "open" and exits 0 when it answers. */
#include <stdio.h>
#include <unistd.h>

int main(void) {
  long pid = 20; /* getpid in the 32-bit table */
  __asm__ volatile("int $0x80" : "+a"(pid) : : "r8", "r9", "r10", "r11", "memory");
  if (pid != (long)getpid()) return 1;
  puts("open");
  return 0;
}
