// Reads the USB hardware IDs out of a driver's INF text, streaming, in bounded memory.
#include "drvsetup/inf_scan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ostrel::drvsetup {
namespace {

constexpr char kPrefix[] = "USB\\VID_";
constexpr std::size_t kPrefixLength = sizeof(kPrefix) - 1;
constexpr std::size_t kReadChunk = 64 * 1024;

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

struct FileDescriptor {
  int fd;
  ~FileDescriptor() {
    if (fd >= 0) ::close(fd);
  }
};

std::string NotRegularFileReason(mode_t mode) {
  const char* kind = S_ISDIR(mode)                    ? "it is a directory, "
                     : S_ISFIFO(mode)                 ? "it is a FIFO, "
                     : S_ISSOCK(mode)                 ? "it is a socket, "
                     : S_ISCHR(mode) || S_ISBLK(mode) ? "it is a device, "
                                                      : "";
  return std::string(kind) + "not a regular file";
}

}  // namespace

InfHardwareIdScanner::InfHardwareIdScanner() : seen_(0, HashAt{&ids_}, EqualAt{&ids_}) {}

bool InfHardwareIdScanner::Feed(const char* data, std::size_t size) {
  if (ended_) return false;
  if (const void* zero = std::memchr(data, '\0', size)) {
    size = static_cast<std::size_t>(static_cast<const char*>(zero) - data);
    ended_ = true;
  }
  for (std::size_t i = 0; i < size; ++i) {
    char c = UpperAscii(data[i]);
    if (!pending_.empty()) {
      pending_ += c;
      if (pending_.size() == kIdLength) Commit();
      continue;
    }
    if (c == kPrefix[matched_]) {
      if (++matched_ == kPrefixLength) {
        pending_.assign(kPrefix, kPrefixLength);
        matched_ = 0;
      }
    } else {
      // 'U' occurs only at the start of the prefix, so a failed match can only
      // restart at this very character.
      matched_ = (c == kPrefix[0]) ? 1 : 0;
    }
  }
  if (ended_) Finish();
  return !ended_;
}

void InfHardwareIdScanner::Finish() {
  ended_ = true;
  matched_ = 0;
  if (!pending_.empty()) Commit();
}

void InfHardwareIdScanner::Commit() {
  for (std::size_t i = 0; i + 1 < pending_.size(); ++i) {
    if (pending_[i] == 'I' && pending_[i + 1] == 'D') {
      pending_[i] = 'i';
      pending_[i + 1] = 'd';
      ++i;
    }
  }
  ids_.push_back(std::move(pending_));
  if (!seen_.insert(ids_.size() - 1).second) ids_.pop_back();
  pending_.clear();
}

std::vector<std::string> InfHardwareIdScanner::TakeIds() {
  seen_.clear();
  return std::move(ids_);
}

std::vector<std::string> ScanInfText(const std::string& text) {
  InfHardwareIdScanner scanner;
  scanner.Feed(text.data(), text.size());
  scanner.Finish();
  return scanner.TakeIds();
}

InfReadResult ReadInfHardwareIds(std::vector<std::string>* ids, const std::string& path) {
  ids->clear();
  InfReadResult result;
  auto unreadable = [&result](const std::string& reason) {
    result.code = InfReadResult::kUnreadable;
    result.reason = reason;
    return result;
  };
  // A FIFO, a device or a socket would block the read or give no end: only a regular
  // file is opened, and checked again once open in case the path changed in between.
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0) {
    if (path.empty() || errno == ENOENT || errno == ENOTDIR) {
      result.code = InfReadResult::kMissing;
      return result;
    }
    return unreadable(std::strerror(errno));
  }
  if (!S_ISREG(info.st_mode)) return unreadable(NotRegularFileReason(info.st_mode));
  FileDescriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
  if (file.fd < 0) return unreadable(std::strerror(errno));
  if (::fstat(file.fd, &info) != 0) return unreadable(std::strerror(errno));
  if (!S_ISREG(info.st_mode)) return unreadable(NotRegularFileReason(info.st_mode));

  InfHardwareIdScanner scanner;
  std::vector<char> chunk(kReadChunk);
  for (;;) {
    const ssize_t got = ::read(file.fd, chunk.data(), chunk.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return unreadable(std::strerror(errno));  // a partly read INF installs nothing
    }
    if (got == 0 || !scanner.Feed(chunk.data(), static_cast<std::size_t>(got))) break;
  }
  scanner.Finish();
  *ids = scanner.TakeIds();
  result.code = ids->empty() ? InfReadResult::kNoIds : InfReadResult::kOk;
  return result;
}

}  // namespace ostrel::drvsetup
