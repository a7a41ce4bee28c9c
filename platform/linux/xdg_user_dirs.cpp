// Parser for user-dirs.dirs: shell-style lines XDG_NAME_DIR="$HOME/Folder".
#include "platform/linux/xdg_user_dirs.h"

#include <sstream>

namespace platform {

std::string XdgUserDir(const std::string& fileText, const std::string& entry,
                       const std::string& home, bool* named) {
  if (named) *named = false;
  std::istringstream in(fileText);
  std::string line;
  std::string found;
  while (std::getline(in, line)) {
    size_t b = line.find_first_not_of(" \t");
    if (b == std::string::npos || line[b] == '#') continue;
    line = line.substr(b);
    if (line.compare(0, entry.size() + 1, entry + "=") != 0) continue;
    std::string value = line.substr(entry.size() + 1);
    if (named) *named = true;
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    // Only "$HOME/..." and absolute paths are valid values.
    std::string path;
    if (value == "$HOME" || value == "$HOME/") {
      path.clear();
    } else if (value.compare(0, 6, "$HOME/") == 0) {
      path = home + value.substr(5);
    } else if (!value.empty() && value.front() == '/') {
      path = value;
    }
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    found = path;  // the last assignment wins, as in the shell
  }
  return found;
}

}  // namespace platform
