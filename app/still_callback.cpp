// The still pin's receiver: frames from the camera's still pin written as "%04d.BMP".
#include "app/still_callback.h"

#include <cstdio>
#include <cstring>

#include "app/main_frame.h"
#include "still/resample.h"
#include "still/still_file.h"
#include "still/still_size.h"

using ostrel::still::StillKind;

media::Status SampleGrabberCallback::QueryInterface(const std::string& iid, void** object) {
  if (!object) return kNullPointer;
  if (iid != kIidUnknown && iid != kIidSampleGrabberCB) return media::kNotImplemented;
  *object = this;
  return media::kOk;
}

media::Status SampleGrabberCallback::BufferCB(double, const uint8_t* data, long length) {
  // Written only by a preview build, while nothing streams.
  const media::MediaType type = g_stillMediaType;
  if (type.major != media::MajorType::Video || type.formatType != media::FormatType::VideoInfo ||
      type.formatSize < media::kVideoInfoSize || type.width <= 0 || type.height == 0)
    return kInvalidMediaType;
  // A negative height is a top-down picture; the file is always stored bottom-up.
  const bool topDown = type.height < 0;
  const uint32_t width = static_cast<uint32_t>(type.width);
  const uint32_t height =
      topDown ? static_cast<uint32_t>(-int64_t{type.height}) : static_cast<uint32_t>(type.height);

  std::string folder;
  const int32_t number = m_pOwner->TakeSnapshotNumber(folder);
  const std::string path = ostrel::still::StillPath(folder, StillKind::StillPin, number);
  const auto report = [&](const std::string& reason) {
    std::fprintf(stderr, "ostrel: the still picture %s was not saved: %s\n", path.c_str(),
                 reason.c_str());
  };

  // The grabber pads rows to four bytes; a packed frame is taken as well.
  const uint64_t row = uint64_t{width} * 3;
  const uint64_t paddedRow = (row + 3) & ~uint64_t{3};
  const uint64_t delivered = data && length > 0 ? static_cast<uint64_t>(length) : 0;
  uint64_t stride;
  if (delivered >= paddedRow * height)
    stride = paddedRow;
  else if (delivered >= row * height)
    stride = row;
  else {
    report("the camera sent " + std::to_string(delivered) + " bytes for a " +
           std::to_string(width) + " x " + std::to_string(height) + " picture");
    return media::kFail;
  }
  const uint8_t* source = data;
  if (stride != row) {
    uint8_t* packed = m_packed.Get(row * height);
    if (!packed) {
      report("out of memory");
      return media::kOk;
    }
    for (uint32_t y = 0; y < height; ++y) std::memcpy(packed + row * y, data + stride * y, row);
    source = packed;
  }

  const ostrel::still::StillSize out = ostrel::still::StillOutputSize(
      static_cast<uint32_t>(g_stillSizeIndex.load(std::memory_order_relaxed)), width, height);
  const uint8_t* pixels = source;
  if (!(out == ostrel::still::StillSize{width, height})) {
    uint8_t* resized = m_output.Get(uint64_t{out.width} * out.height * 3);
    if (!resized) {
      report("out of memory");
      return media::kOk;
    }
    ostrel::still::ResampleRGB24(resized, source, width, height, out.width, out.height);
    pixels = resized;
  }

  ostrel::still::PendingBmp file;
  std::string reason;
  if (!file.Write(folder, pixels, out.width, out.height, topDown, &reason) ||
      !m_pOwner->PublishStill(file, folder, StillKind::StillPin, number, &reason)) {
    report(reason);
    return media::kFail;
  }
  return media::kOk;
}
