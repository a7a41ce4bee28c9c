// Reading and writing single sysfs attributes.
#include "platform/linux/sysfs_attribute.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ostrel {
namespace {

constexpr std::size_t kMaxAttributeLength = 64;

}  // namespace

std::optional<std::string> ReadSysfsAttribute(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  char buffer[kMaxAttributeLength + 1];
  std::size_t total = 0;
  bool ok = true;
  while (total < sizeof(buffer)) {
    ssize_t got = ::read(fd, buffer + total, sizeof(buffer) - total);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ok = false;
    if (got <= 0) break;
    total += static_cast<std::size_t>(got);
  }
  ::close(fd);
  if (!ok || total > kMaxAttributeLength) return std::nullopt;
  return std::string(buffer, total);
}

DeviceStatus WriteSysfsAttribute(const std::string& path, const std::string& value) {
  auto failed = [&](int error) {
    return DeviceStatus::Failed(
        error, "cannot write \"" + value + "\" to " + path + ": " + std::strerror(error));
  };
  // O_CREAT|O_APPEND change nothing on sysfs; in a test tree every write is kept.
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return failed(errno);
  ssize_t written;
  do {
    written = ::write(fd, value.data(), value.size());
  } while (written < 0 && errno == EINTR);
  int write_error = errno;
  int close_result = ::close(fd);
  if (written < 0) return failed(write_error);
  if (static_cast<std::size_t>(written) != value.size()) return failed(EIO);
  if (close_result != 0 && errno != EINTR) return failed(errno);
  return {};
}

}  // namespace ostrel
