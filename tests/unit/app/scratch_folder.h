// Folders that refuse files: read-only (permissions, or a read-only tmpfs for root, whom
// permissions do not stop) and full (a tiny tmpfs, so root only).
#pragma once

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

class ScratchFolder {
 public:
  enum class Kind { ReadOnly, Full };
  // An empty path() means this machine cannot make such a folder (the test skips).
  ScratchFolder(const std::string& path, Kind kind) : path_(path) {
    std::filesystem::create_directories(path_);
    if (::geteuid() != 0) {
      if (kind == Kind::ReadOnly && ::chmod(path_.c_str(), 0555) == 0) return;
      path_.clear();
      return;
    }
    const char* options = kind == Kind::ReadOnly ? "size=64k" : "size=16k";
    if (::mount("tmpfs", path_.c_str(), "tmpfs", 0, options) != 0) {
      path_.clear();
      return;
    }
    mounted_ = true;
    if (kind == Kind::ReadOnly)
      ::mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, options);
  }
  ~ScratchFolder() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    if (!path_.empty()) ::chmod(path_.c_str(), 0755);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  bool mounted_ = false;
};

// The names in a folder, hidden ones included.
inline std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}
