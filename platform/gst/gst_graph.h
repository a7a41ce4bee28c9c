// The graph on a GstPipeline: filters by name, intelligent connect, run and stop.
#pragma once

#include <gst/gst.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/gst/gst_filter.h"
#include "platform/media.h"

namespace media::gst {

class GstGraph : public Graph, public std::enable_shared_from_this<GstGraph> {
 public:
  GstGraph();
  ~GstGraph() override;

  Status AddFilter(const std::shared_ptr<Filter>& filter, const std::string& name) override;
  Status RemoveFilter(Filter& filter) override;
  Status Connect(Pin& output, Pin& input) override;
  Status Disconnect(Pin& pin) override;
  std::vector<std::shared_ptr<Filter>> Filters() const override;
  std::shared_ptr<Filter> FindFilterByName(const std::string& name) const override;
  std::shared_ptr<MediaControl> GetMediaControl() override;
  bool NextEvent(GraphEvent& event) override;

  Status Run();
  // Begins the stop, or takes it on; kStateIntermediate while the writers drain.
  Status StopWhenReady();
  GstElement* Pipeline() const { return pipeline_; }

 private:
  bool Contains(const GstFilter& filter) const;
  Status LinkDirect(GstPin& out, GstPin& in);
  Status LinkThroughConverter(GstPin& out, GstPin& in, const GstCaps* outCaps,
                              const GstCaps* inCaps);
  void Unlink(GstPad* pad);
  void Keep(GstMessage* message);
  void DrainBus();
  // Idle filters (nothing connected) stay in NULL while the graph runs.
  void LockIdleFilters(bool allLocked);
  struct Drain;
  void Watch(GstPad* pad, GstPadProbeType type);
  Status ContinueDrain();
  // To NULL; a graph that recorded reports the frames its filters left out.
  Status FinishStop(bool recorded);

  GstElement* pipeline_;
  GstBus* bus_;
  std::vector<std::shared_ptr<GstFilter>> filters_;
  std::deque<GraphEvent> events_;
  std::unique_ptr<Drain> drain_;
  int converterCount_ = 0;
};

}  // namespace media::gst
