// Shell and system services: module path, user folders, file existence, the UI
// locale, clocks, sleeping and the shutter sound.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

class System {
 public:
  virtual ~System() = default;

  // Full path of the running executable.
  virtual std::string ModulePath() const = 0;
  // The user's documents folder (the home folder when there is none); empty when
  // even the home folder is unknown.
  virtual std::string DocumentsFolder() const = 0;
  // The user's pictures and videos folders, made when the user has none yet; empty when
  // there is none and none could be made.
  virtual std::string PicturesFolder() const = 0;
  virtual std::string VideosFolder() const { return {}; }
  // The per-user configuration folder of this program (not created here).
  virtual std::string ConfigFolder() const = 0;
  // Any existing path, a file as well as a folder.
  virtual bool PathExists(const std::string& path) const = 0;
  // Something has this name, a link that leads nowhere included: a file made under it
  // would replace it or be written wherever the link points.
  virtual bool NameTaken(const std::string& path) const = 0;
  // The folder exists and this process may create files in it.
  virtual bool IsWritableFolder(const std::string& path) const = 0;

  // The locale the user reads messages in ("fr_FR.UTF-8", "zh_TW", "C"); empty when unset.
  virtual std::string UiLocale() const = 0;

  // A millisecond clock that wraps at 2^32, and the wall clock in seconds since 1970.
  virtual uint32_t Milliseconds() const = 0;
  virtual int64_t WallSeconds() const = 0;
  // Milliseconds of a clock that never wraps and that setting the system clock does not
  // move; for measuring spans such as a recording's length.
  virtual int64_t MonotonicMilliseconds() const = 0;
  virtual void Sleep(uint32_t ms) = 0;

  // Starts the shutter sound and returns at once.
  virtual void PlayShutterSound() = 0;

  // The bytes this process may still write to the file system of a folder; -1 when that
  // cannot be told.
  virtual int64_t FreeBytes(const std::string& folder) const {
    (void)folder;
    return -1;
  }

  // A text that names this process among all processes of all boots of the machine,
  // and whether the process a token names still runs. By default no process is known:
  // the token is empty and every token names a process that is gone.
  virtual std::string ProcessToken() const { return {}; }
  virtual bool IsProcessRunning(const std::string& token) const {
    (void)token;
    return false;
  }
};

}  // namespace platform
