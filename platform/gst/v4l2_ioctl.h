// One V4L2 ioctl, tried again when a signal interrupts it.
#pragma once

#include <sys/ioctl.h>

#include <cerrno>

namespace media::v4l2 {

inline int Ioctl(int fd, unsigned long request, void* arg) {
  int r;
  do {
    r = ::ioctl(fd, request, arg);
  } while (r < 0 && errno == EINTR);
  return r;
}

}  // namespace media::v4l2
