// Still files that never replace a picture: hidden while written, named in one step.
#include "still/still_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "still/bmp.h"
#include "still/still_size.h"

namespace ostrel::still {
namespace {

bool Fail(std::string* error, int err) {
  if (error) *error = std::strerror(err);
  return false;
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

// Writes every byte of the pieces, however the kernel splits them.
bool WriteAll(int fd, std::vector<iovec>& pieces) {
  size_t first = 0;
  while (first < pieces.size()) {
    const int count = static_cast<int>(std::min<size_t>(pieces.size() - first, IOV_MAX));
    const ssize_t written = ::writev(fd, &pieces[first], count);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    size_t left = static_cast<size_t>(written);
    while (first < pieces.size() && left >= pieces[first].iov_len) {
      left -= pieces[first].iov_len;
      ++first;
    }
    if (left > 0) {
      pieces[first].iov_base = static_cast<uint8_t*>(pieces[first].iov_base) + left;
      pieces[first].iov_len -= left;
    }
  }
  return true;
}

std::string HiddenName(const std::string& folder) {
  static std::atomic<unsigned> serial{0};
  return folder + "/.ostrel-still-" + std::to_string(::getpid()) + "-" +
         std::to_string(serial.fetch_add(1)) + ".part";
}

}  // namespace

std::string StillPath(const std::string& folder, StillKind kind, int32_t number) {
  return folder + "/" +
         (kind == StillKind::Snapshot ? SnapshotFileName(number) : StillPinFileName(number));
}

bool StillNumberInUse(const std::string& folder, int32_t number) {
  return Exists(StillPath(folder, StillKind::Snapshot, number)) ||
         Exists(StillPath(folder, StillKind::StillPin, number));
}

int32_t NextFreeStillNumber(const std::string& folder, int32_t number) {
  while (number < INT32_MAX && StillNumberInUse(folder, number)) ++number;
  return number;
}

bool PendingBmp::Write(const std::string& folder, const uint8_t* pixels, uint32_t width,
                       uint32_t height, bool reverseRows, std::string* error) {
  Discard();
  if (!BmpFits(width, height)) return Fail(error, EFBIG);
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temp_ = HiddenName(folder);
    fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    const int err = errno;
    temp_.clear();
    return Fail(error, err);
  }
  const BmpHeader header = BuildBmpHeader(width, height);
  const size_t row = size_t{width} * 3;
  std::vector<iovec> pieces;
  pieces.push_back({const_cast<uint8_t*>(header.data()), kBmpFileHeaderBytes});
  pieces.push_back(
      {const_cast<uint8_t*>(header.data()) + kBmpFileHeaderBytes, kBmpInfoHeaderBytes});
  if (reverseRows) {
    for (uint32_t y = height; y-- > 0;)
      pieces.push_back({const_cast<uint8_t*>(pixels) + row * y, row});
  } else {
    pieces.push_back({const_cast<uint8_t*>(pixels), row * height});
  }
  bool ok = WriteAll(fd, pieces);
  int err = ok ? 0 : errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok) return true;
  Discard();
  return Fail(error, err ? err : EIO);
}

PendingBmp::Publish PendingBmp::PublishAs(const std::string& path, std::string* error) {
  if (temp_.empty()) {
    Fail(error, ENOENT);
    return Publish::Failed;
  }
  if (::renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
    temp_.clear();
    return Publish::Done;
  }
  if (errno == EEXIST) return Publish::Taken;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
    Fail(error, errno);
    return Publish::Failed;
  }
  // A file system without the no-replace rename: a hard link fails on an existing name too.
  if (::link(temp_.c_str(), path.c_str()) == 0) {
    ::unlink(temp_.c_str());
    temp_.clear();
    return Publish::Done;
  }
  if (errno == EEXIST) return Publish::Taken;
  if (errno != EPERM && errno != ENOTSUP) {
    Fail(error, errno);
    return Publish::Failed;
  }
  // Neither (FAT): look first; only another program could slip in between.
  if (Exists(path)) return Publish::Taken;
  if (std::rename(temp_.c_str(), path.c_str()) != 0) {
    Fail(error, errno);
    return Publish::Failed;
  }
  temp_.clear();
  return Publish::Done;
}

void PendingBmp::Discard() {
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

}  // namespace ostrel::still
