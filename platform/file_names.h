// Names for new files that neither replace nor write through anything already there.
#pragma once

#include <sys/stat.h>

#include <cerrno>
#include <string>

namespace platform {

// Anything at the name takes it: a file, a folder, a link even where it leads nowhere (a new
// file would be written through it), or a name that cannot be looked at.
inline bool NameTaken(const std::string& path) {
  struct stat st;
  return !path.empty() && (::lstat(path.c_str(), &st) == 0 || errno != ENOENT);
}

// "Clip0003.AVI" as "Clip0003-N.AVI" for the first N from `from` whose name `taken` leaves free.
template <typename Taken>
std::string FreeNumberedVariant(const std::string& path, unsigned from, const Taken& taken) {
  const size_t slash = path.rfind('/');
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = path.size();
  for (unsigned n = from;; ++n) {
    std::string variant = path.substr(0, dot) + "-" + std::to_string(n) + path.substr(dot);
    if (!taken(variant)) return variant;
  }
}

}  // namespace platform
