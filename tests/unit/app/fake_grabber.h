// A preview grabber for the menu snapshot: keeps its frame only while buffering is on,
// and records every switch of buffering.
#pragma once

#include <cstring>
#include <memory>
#include <vector>

#include "platform/media.h"

class FakeGrabber : public media::SampleGrabber {
 public:
  std::vector<uint8_t> frame;  // what a frame passing the grabber holds
  bool framesFlow = true;      // false: no frame arrives while buffering
  bool failCopy = false;
  bool buffering = false;
  std::vector<bool> bufferingSwitches;

  media::Status SetMediaType(const media::MediaType&) override { return media::kOk; }
  media::Status SetBufferSamples(bool on) override {
    buffering = on;
    bufferingSwitches.push_back(on);
    return media::kOk;
  }
  media::Status SetOneShot(bool) override { return media::kOk; }
  media::Status SetCallback(media::SampleGrabberCallback*, int) override { return media::kOk; }
  media::Status GetConnectedMediaType(media::MediaType&) override { return media::kFail; }
  media::Status GetCurrentBuffer(long& size, uint8_t* buffer) override {
    if (!buffering || !framesFlow) return media::kFail;
    if (!buffer) {
      size = static_cast<long>(frame.size());
      return media::kOk;
    }
    if (failCopy || size < static_cast<long>(frame.size())) return media::kFail;
    std::memcpy(buffer, frame.data(), frame.size());
    return media::kOk;
  }
};

class FakeGrabberFilter : public media::Filter {
 public:
  std::shared_ptr<FakeGrabber> grabber = std::make_shared<FakeGrabber>();
  bool offersGrabber = true;

  std::string Name() const override { return "Grabber"; }
  std::string ClassId() const override { return media::clsid::kSampleGrabber; }
  media::Status EnumPins(std::vector<std::shared_ptr<media::Pin>>&) override { return media::kOk; }
  std::shared_ptr<media::SampleGrabber> GetSampleGrabber() override {
    return offersGrabber ? grabber : nullptr;
  }
};

// Frame bytes that differ from pixel to pixel.
inline std::vector<uint8_t> PatternFrame(size_t bytes, uint8_t seed = 0) {
  std::vector<uint8_t> frame(bytes);
  for (size_t i = 0; i < bytes; ++i) frame[i] = static_cast<uint8_t>(i * 7 + i / 3 + seed);
  return frame;
}
