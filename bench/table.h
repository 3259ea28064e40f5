#pragma once
// The Markdown table on standard output: one row per figure, with its target and whether it
// was met.

#include <string>

namespace zingel::bench {

void PrintHeader();
void Row(const std::string& what, const std::string& result, const char* target = "",
         const char* met = "");
const char* Met(bool met);
// A size before and after, in KiB, with the difference.
std::string Change(double before_kib, double after_kib);

}  // namespace zingel::bench
