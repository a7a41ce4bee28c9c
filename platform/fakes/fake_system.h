// A system for unit tests: settable locale, folders and clocks; file existence and
// writability are the real file system's, so tests work in temporary folders.
#pragma once

#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include "platform/system.h"

namespace platform {

class FakeSystem : public System {
 public:
  std::string modulePath = "/opt/ostrel/ostrel";
  std::string documents;
  std::string pictures;
  std::string videos;
  // A folder nobody can make, root included (/proc takes no new entries): a fixture that
  // saves names a folder of its own, so no test run as root leaves a settings file
  // behind for the next one to read.
  std::string config = "/proc/ostrel-fake-config";
  std::string locale = "en_US.UTF-8";
  uint32_t milliseconds = 1000;
  int64_t wallSeconds = 1700000000;
  int64_t monotonicMs = 86400000;  // a day after boot
  uint32_t slept = 0;              // total milliseconds asked to sleep; sleeping advances the clock
  int shutterSounds = 0;
  int64_t freeBytes = -1;  // what FreeBytes says of every folder
  std::string processToken = "boot-1 4242 100";
  std::set<std::string> runningProcesses;  // tokens of the processes that still run

  std::string ModulePath() const override { return modulePath; }
  std::string DocumentsFolder() const override { return documents; }
  std::string PicturesFolder() const override { return pictures; }
  std::string VideosFolder() const override { return videos; }
  std::string ConfigFolder() const override { return config; }
  bool PathExists(const std::string& path) const override {
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(path, ec);
  }
  bool NameTaken(const std::string& path) const override {
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(std::filesystem::symlink_status(path, ec));
  }
  bool IsWritableFolder(const std::string& path) const override;
  std::string UiLocale() const override { return locale; }
  uint32_t Milliseconds() const override { return milliseconds; }
  int64_t WallSeconds() const override { return wallSeconds; }
  int64_t MonotonicMilliseconds() const override {
    if (!realTime) return monotonicMs;
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  // Real time for real streams: sleeping sleeps, and the monotonic clock is the system's.
  bool realTime = false;
  void Sleep(uint32_t ms) override {
    if (realTime) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    slept += ms;
    milliseconds += ms;
    monotonicMs += ms;
  }
  // Time passes on both the millisecond clocks (not on the wall clock, which tests set).
  void Advance(uint32_t ms) {
    milliseconds += ms;
    monotonicMs += ms;
  }
  void PlayShutterSound() override { ++shutterSounds; }
  int64_t FreeBytes(const std::string&) const override { return freeBytes; }
  std::string ProcessToken() const override { return processToken; }
  bool IsProcessRunning(const std::string& token) const override {
    return token == processToken || runningProcesses.count(token) > 0;
  }
};

}  // namespace platform
