// platform::System on Linux: /proc, XDG folders, the locale environment, POSIX clocks.
#pragma once

#include <functional>

#include "platform/system.h"

namespace platform {

class LinuxSystem : public System {
 public:
  // soundPlayer plays the shutter sound without blocking; none means silence.
  explicit LinuxSystem(std::function<void()> soundPlayer = {});

  std::string ModulePath() const override;
  std::string DocumentsFolder() const override;
  std::string PicturesFolder() const override;
  std::string VideosFolder() const override;
  std::string ConfigFolder() const override;
  bool PathExists(const std::string& path) const override;
  bool NameTaken(const std::string& path) const override;
  bool IsWritableFolder(const std::string& path) const override;
  std::string UiLocale() const override;
  uint32_t Milliseconds() const override;
  int64_t WallSeconds() const override;
  int64_t MonotonicMilliseconds() const override;
  void Sleep(uint32_t ms) override;
  void PlayShutterSound() override;
  int64_t FreeBytes(const std::string& folder) const override;
  // The boot's identifier, the process id and the process's start time: a pid taken
  // again by a later process or in a later boot names another process.
  std::string ProcessToken() const override;
  bool IsProcessRunning(const std::string& token) const override;

 private:
  std::string Home() const;
  std::string UserDir(const char* entry, bool* named = nullptr) const;
  // The folder user-dirs.dirs names for the entry, or home/defaultName when it names
  // none, made when it is missing; empty when the file disables it or it cannot be made.
  std::string UserFolder(const char* entry, const char* defaultName) const;

  std::function<void()> m_soundPlayer;
};

}  // namespace platform
