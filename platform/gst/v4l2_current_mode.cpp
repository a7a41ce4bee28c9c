// The driver's current capture mode through VIDIOC_G_FMT and VIDIOC_G_PARM.
#include "platform/gst/v4l2_current_mode.h"

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/gst/v4l2_ioctl.h"

namespace media::v4l2 {

bool ReadCurrentMode(const std::string& node, CurrentMode& mode) {
  const int fd = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  v4l2_format format{};
  format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  const bool ok = Ioctl(fd, VIDIOC_G_FMT, &format) == 0;
  if (ok) {
    mode = CurrentMode{};
    mode.fourcc = format.fmt.pix.pixelformat;
    mode.width = format.fmt.pix.width;
    mode.height = format.fmt.pix.height;
    v4l2_streamparm parm{};
    parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (Ioctl(fd, VIDIOC_G_PARM, &parm) == 0 &&
        (parm.parm.capture.capability & V4L2_CAP_TIMEPERFRAME) &&
        parm.parm.capture.timeperframe.numerator > 0) {
      mode.rateNum = parm.parm.capture.timeperframe.denominator;
      mode.rateDen = parm.parm.capture.timeperframe.numerator;
    }
  }
  ::close(fd);
  return ok;
}

}  // namespace media::v4l2
