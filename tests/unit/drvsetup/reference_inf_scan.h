// The INF scan written as plainly as possible over the whole text, to check the streaming scanner
// against.
#pragma once

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace ostrel::drvsetup_test {

inline std::vector<std::string> ReferenceInfScan(std::string text) {
  text = text.substr(0, text.find('\0'));
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  std::vector<std::string> ids;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t match = text.find("USB\\VID_", pos);
    if (match == std::string::npos) break;
    std::string id = text.substr(match, 21);
    pos = match + 21;
    for (std::size_t at = id.find("ID"); at != std::string::npos; at = id.find("ID", at + 2)) {
      id.replace(at, 2, "id");
    }
    if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
  }
  return ids;
}

}  // namespace ostrel::drvsetup_test
