// A filter on GStreamer: a bin whose ghost pads are its pins, in a stable order.
#pragma once

#include <gst/gst.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/media.h"

namespace media::gst {

class GstFilter;

class GstPin : public Pin, public std::enable_shared_from_this<GstPin> {
 public:
  GstPin(GstPad* ghost, PinDirection direction, PinCategory category, MajorType major,
         std::weak_ptr<GstFilter> owner);
  ~GstPin() override;

  PinDirection Direction() const override { return direction_; }
  std::string Name() const override;
  PinCategory Category() const override { return category_; }
  MajorType Major() const override { return major_; }
  std::shared_ptr<Pin> ConnectedTo() const override;
  std::shared_ptr<Filter> Owner() const override;
  bool CurrentMediaType(MediaType& type) const override;

  GstPad* Pad() const { return pad_; }
  std::shared_ptr<GstFilter> OwnerFilter() const { return owner_.lock(); }
  void SetMajor(MajorType major) { major_ = major; }
  // The pin of a ghost pad that belongs to a filter; null for any other pad.
  static std::shared_ptr<GstPin> FromPad(GstPad* pad);

 private:
  GstPad* pad_;
  PinDirection direction_;
  PinCategory category_;
  MajorType major_;
  std::weak_ptr<GstFilter> owner_;
};

class GstFilter : public Filter, public std::enable_shared_from_this<GstFilter> {
 public:
  // Takes the (floating) bin.
  GstFilter(std::string classId, GstElement* bin);
  ~GstFilter() override;

  std::string Name() const override;
  std::string ClassId() const override { return classId_; }
  Status EnumPins(std::vector<std::shared_ptr<Pin>>& pins) override;

  GstElement* Bin() const { return bin_; }
  bool HasConnectedPin() const;
  // Sources of the filter's streams: the graph tells them to end on stop.
  virtual bool IsSource() const { return false; }

  // Hooks around connecting an input: a multiplexer binds a new input to a request
  // pad of the upstream's kind, and grows a free input once it is connected.
  virtual bool PrepareInput(GstPin& /*pin*/, const GstCaps* /*upstreamCaps*/) { return true; }
  virtual void InputConnected(GstPin& /*pin*/) {}
  virtual void InputDisconnected(GstPin& /*pin*/) {}
  // The fixed format an output delivers before it runs (a device's current format);
  // null when only negotiation will tell. The caller unrefs it.
  virtual GstCaps* OutputFormat(GstPin& /*pin*/) { return nullptr; }
  // Frames the filter left out since the last call because what comes after it could
  // not keep up with them.
  virtual int64_t TakeDroppedFrames() { return 0; }
  // The graph has stopped: every file the filter wrote is closed. What it returns is
  // a warning for the log (what it could not finish in them).
  virtual std::string GraphStopped() { return {}; }

  // Adds a ghost pad for target (may be null) as the filter's next pin.
  std::shared_ptr<GstPin> AddPin(const char* name, GstPad* target, PinDirection direction,
                                 PinCategory category, MajorType major);

 protected:
  std::vector<std::shared_ptr<GstPin>> pins_;

 private:
  std::string classId_;
  GstElement* bin_;
};

// The filters made from a graph's intelligent connect and any single element wrapped
// as a filter: its always pads become pins.
std::shared_ptr<GstFilter> MakeChainFilter(const std::string& classId,
                                           const std::vector<std::string>& elements);
std::shared_ptr<GstFilter> WrapElement(const std::string& classId, GstElement* element);

}  // namespace media::gst
