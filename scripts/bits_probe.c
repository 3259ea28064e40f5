/* Started by scripts/probe-32bit under Wine: its answer, from the 32-bit build, proves that this
   machine runs 32-bit Windows code. */
#include <stdio.h>

int main(void) {
  printf("zingel probe: %u-bit\n", (unsigned)(sizeof(void*) * 8));
  return 0;
}
