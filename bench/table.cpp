#include "table.h"

#include <cstdio>

#include "common.h"

namespace zingel::bench {

void PrintHeader() {
  std::printf("| Measure | Result | Target | Met |\n|---|---|---|---|\n");
}

void Row(const std::string& what, const std::string& result, const char* target, const char* met) {
  std::printf("| %s | %s | %s | %s |\n", what.c_str(), result.c_str(), target, met);
}

const char* Met(bool met) {
  return met ? "yes" : "**no**";
}

std::string Change(double before_kib, double after_kib) {
  return Format("%.0f -> %.0f KiB (%+.0f)", before_kib, after_kib, after_kib - before_kib);
}

}  // namespace zingel::bench
