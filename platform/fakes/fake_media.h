// A small media layer for unit tests: cameras and microphones from a list, stock filters
// with the pins the graph code counts on (the AVI multiplexer and file writer among
// them; no ASF writer), connections that carry the upstream format (sound only into an
// input that takes any), a graph whose run fails while a camera that cannot start is
// connected, and a device watch that reports the changes a test announces.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/media.h"

namespace media::fake {

struct CameraSpec {
  std::string name = "Fake Camera";
  std::string identity;  // what the provider tells it apart by; empty: it knows nothing
  // Capture formats, the first current; each a VideoInfo type.
  std::vector<MediaType> formats;
  bool failsToStart = false;
};

// A video-info type of a subtype, size and rate.
MediaType VideoType(Subtype subtype, int width, int height, int fps);

class FakeMediaFactory : public MediaFactory {
 public:
  std::vector<CameraSpec> cameras;
  std::vector<std::string> microphones;
  // Enumerators watch for changes; a test raises devicesChanged after editing the lists.
  bool watchable = false;
  mutable bool devicesChanged = false;

  std::shared_ptr<Graph> CreateGraph() override;
  std::shared_ptr<CaptureGraphBuilder> CreateCaptureGraphBuilder() override;
  std::shared_ptr<DeviceEnumerator> CreateDeviceEnumerator() override;
  std::shared_ptr<Filter> CreateFilter(const std::string& classId) override;
};

}  // namespace media::fake
