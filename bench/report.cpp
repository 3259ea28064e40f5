#include "bench.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <utility>

namespace zingel::bench {

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
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

std::string Format(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

void Note(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

void Row(const std::string& what, const std::string& result, const std::string& target,
         const char* met) {
  std::printf("| %s | %s | %s | %s |\n", what.c_str(), result.c_str(), target.c_str(), met);
  std::fflush(stdout);
}

const char* Met(bool met) {
  return met ? "yes" : "**no**";
}

std::string Change(double before_kib, double after_kib) {
  return Format("%.0f -> %.0f KiB (%+.0f)", before_kib, after_kib, after_kib - before_kib);
}

}  // namespace zingel::bench
