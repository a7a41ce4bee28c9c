// The markers of clips being written and the repair of those a recording abandoned.
#include "capture/unfinished_clips.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace unfinished_clips {

namespace {

bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() &&
         s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

std::string ReadToken(const std::string& marker) {
  std::ifstream in(marker);
  std::string token;
  std::getline(in, token);
  return token;
}

std::string Seconds(int64_t units) {
  const int64_t tenths = units / (media::kUnitsPerSecond / 10);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
}

void RemoveQuietly(const std::string& path) {
  std::error_code ec;
  fs::remove(path, ec);
}

// Two Ostrels started together find the same abandoned clips: the one that holds the
// marker's lock repairs a clip, the other passes over it rather than remove the copy
// being written or rename its own half over the clip.
class MarkerLock {
 public:
  explicit MarkerLock(const std::string& marker)
      : fd_(::open(marker.c_str(), O_RDONLY | O_CLOEXEC)) {
    // A marker the other repair removed while this one waited is done with.
    held_ = fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) == 0 && ::access(marker.c_str(), F_OK) == 0;
  }
  ~MarkerLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  MarkerLock(const MarkerLock&) = delete;
  MarkerLock& operator=(const MarkerLock&) = delete;
  bool Held() const { return held_; }

 private:
  int fd_;
  bool held_ = false;
};

// Room left on the disk once a repaired copy is written, so that a recording started
// meanwhile is not the one stopped for want of it.
constexpr int64_t kRoomLeftAfterRepair = int64_t{512} << 20;

}  // namespace

std::string MarkerPath(const std::string& clip) { return clip + kMarkerSuffix; }
std::string RepairPath(const std::string& clip) { return clip + kRepairSuffix; }

// The marker reaches the disk before the clip's data does: a power loss a moment after
// the start still finds it.
bool Mark(const std::string& clip, const std::string& writerToken) {
  const std::string text = writerToken +
                           "\nOstrel is recording this clip. Should it stop without finishing "
                           "it, Ostrel\nrepairs the clip at its next start.\n";
  const int fd = ::open(MarkerPath(clip).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  const std::string folder = fs::path(clip).parent_path().string();
  const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return ok;
}

void Unmark(const std::string& clip) { RemoveQuietly(MarkerPath(clip)); }

bool ContainerOf(const std::string& clip, media::ClipContainer& container) {
  const std::string name = Upper(fs::path(clip).filename().string());
  if (EndsWith(name, ".AVI")) {
    container = media::ClipContainer::Avi;
    return true;
  }
  if (EndsWith(name, ".WMV")) {
    container = media::ClipContainer::Asf;
    return true;
  }
  return false;
}

std::vector<std::string> FindAbandoned(const std::string& folder, const platform::System& sys) {
  std::vector<std::string> clips;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return clips;
  const std::string suffix = kMarkerSuffix;
  for (const fs::directory_entry& entry : it) {
    const std::string marker = entry.path().string();
    std::error_code typeError;
    if (!EndsWith(marker, suffix) || !entry.is_regular_file(typeError)) continue;
    const std::string clip = marker.substr(0, marker.size() - suffix.size());
    media::ClipContainer container;
    if (!ContainerOf(clip, container)) continue;
    // A clip another Ostrel is recording right now is not abandoned.
    if (sys.IsProcessRunning(ReadToken(marker))) continue;
    clips.push_back(clip);
  }
  std::sort(clips.begin(), clips.end());
  return clips;
}

bool Repair(const std::string& clip, const platform::System& sys, media::ClipRepairer& repairer,
            std::ostream& log) {
  const MarkerLock lock(MarkerPath(clip));
  if (!lock.Held()) {
    std::error_code gone;
    if (fs::exists(MarkerPath(clip), gone))
      log << "ostrel: " << clip << " is being repaired by another Ostrel\n";
    return false;
  }
  const std::string repaired = RepairPath(clip);
  // A repair that was itself cut short left a partial copy; the clip is still whole.
  RemoveQuietly(repaired);
  std::error_code ec;
  const bool present = fs::is_regular_file(clip, ec);
  const uintmax_t size = present ? fs::file_size(clip, ec) : 0;
  if (!present || ec || size == 0) {
    // The recording never wrote anything: there is nothing to repair.
    Unmark(clip);
    if (present && !ec)
      log << "ostrel: " << clip << " was left empty by a recording that did not finish\n";
    return false;
  }
  // The copy takes about as much room as the clip. A repair that filled the disk would
  // fail, and fill it again at every start.
  const int64_t free = sys.FreeBytes(fs::path(clip).parent_path().string());
  const int64_t needed = static_cast<int64_t>(size + size / 32) + kRoomLeftAfterRepair;
  if (free >= 0 && free < needed) {
    log << "ostrel: " << clip << " was left unfinished by a recording that did not stop; its "
        << "repair needs " << (needed >> 20) << " MB free and its disk has " << (free >> 20)
        << " MB; it is kept as it is and tried again at the next start\n";
    return false;
  }
  media::ClipContainer container = media::ClipContainer::Avi;
  ContainerOf(clip, container);
  // A long clip takes a while: say at once what runs.
  log << "ostrel: repairing " << clip << " (" << size << " bytes)...\n" << std::flush;
  const media::ClipRepair result = repairer.Remux(clip, container, repaired);
  switch (result.outcome) {
    case media::ClipRepair::Outcome::Repaired:
      fs::rename(repaired, clip, ec);
      if (ec) {
        RemoveQuietly(repaired);
        log << "ostrel: could not replace the unfinished clip " << clip << " by its repaired copy ("
            << ec.message() << "); it is kept as it is\n";
        return false;
      }
      Unmark(clip);
      log << "ostrel: repaired " << clip
          << ", left unfinished by a recording that did not stop: " << result.videoFrames
          << " frames, " << Seconds(result.durationUnits) << "\n";
      return true;
    case media::ClipRepair::Outcome::Unreadable:
      RemoveQuietly(repaired);
      Unmark(clip);
      log << "ostrel: " << clip << " was left unfinished by a recording that did not stop and "
          << "cannot be read for a repair (" << result.detail << "); it is kept as it is\n";
      return false;
    case media::ClipRepair::Outcome::Failed:
      break;
  }
  RemoveQuietly(repaired);
  log << "ostrel: the repair of " << clip << ", left unfinished by a recording that did not stop, "
      << "failed (" << result.detail
      << "); it is kept as it is and tried again at the next start\n";
  return false;
}

int RepairAbandoned(const std::string& folder, const platform::System& sys,
                    media::ClipRepairer& repairer, std::ostream& log,
                    const std::atomic<bool>* stop) {
  int repaired = 0;
  for (const std::string& clip : FindAbandoned(folder, sys)) {
    if (stop && *stop) break;
    if (Repair(clip, sys, repairer, log)) ++repaired;
  }
  return repaired;
}

}  // namespace unfinished_clips
