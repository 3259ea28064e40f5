#include "playlist.h"

#include <charconv>
#include <cstdio>
#include <string_view>

#include "common.h"

namespace standin {

namespace {

// Adds the entry, or one per number when its caption holds "{FROM..TO}".
void AddEntries(UINT ms, std::string_view caption, std::vector<PlaylistEntry>& entries) {
  const size_t open = caption.find('{');
  const size_t close = caption.find('}', open);
  unsigned from = 0;
  unsigned to = 0;
  if (open != std::string_view::npos && close != std::string_view::npos) {
    const char* const end = caption.data() + close;
    const auto first = std::from_chars(caption.data() + open + 1, end, from);
    const std::string_view rest(first.ptr, static_cast<size_t>(end - first.ptr));
    if (first.ec == std::errc() && rest.starts_with("..") &&
        std::from_chars(rest.data() + 2, end, to).ptr == end && from <= to) {
      for (unsigned n = from; n <= to; ++n) {
        const std::string line = std::string(caption.substr(0, open)) + std::to_string(n) +
                                 std::string(caption.substr(close + 1));
        entries.push_back({ms, FromUtf8(line)});
      }
      return;
    }
  }
  entries.push_back({ms, FromUtf8(caption)});
}

}  // namespace

bool ReadPlaylist(const std::wstring& path, std::vector<PlaylistEntry>& entries) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (!file) {
    std::fprintf(stderr, "cannot open the playlist %s\n", ToUtf8(path).c_str());
    return false;
  }
  std::string text;
  char chunk[4096];
  for (size_t count; (count = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
    text.append(chunk, count);
  }
  std::fclose(file);
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);  // Notepad's byte order mark
  size_t number = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line = std::string_view(text).substr(start, end - start);
    start = end + 1;
    ++number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty() || line.starts_with('#')) continue;
    const size_t tab = line.find('\t');
    UINT ms = 0;
    const auto parsed = std::from_chars(line.data(), line.data() + line.size(), ms);
    if (tab == std::string_view::npos || parsed.ptr != line.data() + tab) {
      std::fprintf(stderr, "playlist line %zu: want MILLISECONDS<TAB>CAPTION\n", number);
      return false;
    }
    AddEntries(ms, line.substr(tab + 1), entries);
  }
  return true;
}

}  // namespace standin
