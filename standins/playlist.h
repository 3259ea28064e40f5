#pragma once
// The stand-in player's playlist file.

#include <windows.h>

#include <string>
#include <vector>

namespace standin {

struct PlaylistEntry {
  UINT ms;  // how long the caption shows
  std::wstring caption;
};

// Lines "MILLISECONDS<TAB>CAPTION" in UTF-8; "#" comments and empty lines skipped. A caption
// holding "{FROM..TO}" stands for one line per number from FROM to TO, each shown MILLISECONDS:
// "25<TAB>1. [Buffer: {0..100}%] Station - Song - Winamp" is a stream buffering. False, with a
// message, when the file cannot be read or a line has the wrong form.
bool ReadPlaylist(const std::wstring& path, std::vector<PlaylistEntry>& entries);

}  // namespace standin
