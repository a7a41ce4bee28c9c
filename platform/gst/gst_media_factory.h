// The media layer's entry point on GStreamer: graphs, builders, devices, stock filters.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/media.h"

namespace media::gst {

class GstMediaFactory : public MediaFactory {
 public:
  // deviceProvider: list only that provider's devices (a test's virtual devices);
  // empty lists every device GStreamer's device monitor knows.
  explicit GstMediaFactory(std::string deviceProvider = "");

  std::shared_ptr<Graph> CreateGraph() override;
  std::shared_ptr<CaptureGraphBuilder> CreateCaptureGraphBuilder() override;
  std::shared_ptr<DeviceEnumerator> CreateDeviceEnumerator() override;
  std::shared_ptr<Filter> CreateFilter(const std::string& classId) override;
  std::shared_ptr<ClipRepairer> CreateClipRepairer() override;

  // Makes further filters known by class identifier (the video transfer filter).
  using FilterMaker = std::function<std::shared_ptr<Filter>()>;
  void RegisterFilter(const std::string& classId, FilterMaker maker);

 private:
  std::string deviceProvider_;
  std::map<std::string, FilterMaker> makers_;
};

}  // namespace media::gst
