// The graph utilities' retry and pause rules and the frame-rate arithmetic, over fakes.
#include <gtest/gtest.h>

#include <deque>

#include "capture/capture_frame.h"
#include "capture/frame_rate.h"
#include "capture/graph_utils.h"
#include "platform/fakes/fake_system.h"
#include "platform/fakes/fake_window.h"

namespace {

class FakeControl : public media::MediaControl {
 public:
  media::Status runResult = media::kOk;
  int failingStops = 0;  // how many stop requests fail before one succeeds
  int stops = 0;
  media::Status Run() override { return runResult; }
  media::Status StopWhenReady() override {
    ++stops;
    return stops <= failingStops ? media::kFail : media::kOk;
  }
};

class FakeGraph : public media::Graph {
 public:
  std::shared_ptr<FakeControl> control = std::make_shared<FakeControl>();
  media::Status AddFilter(const std::shared_ptr<media::Filter>&, const std::string&) override {
    return media::kOk;
  }
  media::Status RemoveFilter(media::Filter&) override { return media::kOk; }
  media::Status Connect(media::Pin&, media::Pin&) override { return media::kOk; }
  media::Status Disconnect(media::Pin&) override { return media::kOk; }
  std::vector<std::shared_ptr<media::Filter>> Filters() const override { return {}; }
  std::shared_ptr<media::Filter> FindFilterByName(const std::string&) const override {
    return nullptr;
  }
  std::shared_ptr<media::MediaControl> GetMediaControl() override { return control; }
  bool NextEvent(media::GraphEvent&) override { return false; }
};

TEST(GraphUtils, StopThatKeepsFailingGivesUpAfterThirtyOneAttempts) {
  FakeGraph graph;
  platform::FakeSystem sys;
  graph.control->failingStops = 1000;
  EXPECT_TRUE(StopGraph(&graph, sys));
  EXPECT_EQ(graph.control->stops, 31);
  EXPECT_EQ(sys.slept, 3100u);
}

TEST(GraphUtils, StopThatSucceedsSecondTimePausesOnce) {
  FakeGraph graph;
  platform::FakeSystem sys;
  graph.control->failingStops = 1;
  EXPECT_TRUE(StopGraph(&graph, sys));
  EXPECT_EQ(graph.control->stops, 2);
  EXPECT_EQ(sys.slept, 100u);
  EXPECT_FALSE(StopGraph(nullptr, sys));
}

TEST(GraphUtils, RunPausesOnlyAfterSuccess) {
  FakeGraph graph;
  platform::FakeSystem sys;
  graph.control->runResult = media::kFail;
  EXPECT_FALSE(RunGraph(&graph, sys));
  EXPECT_EQ(sys.slept, 0u);
  graph.control->runResult = media::kOk;
  EXPECT_TRUE(RunGraph(&graph, sys));
  EXPECT_EQ(sys.slept, 300u);
}

TEST(GraphUtils, MissingFiltersConnectNothing) {
  FakeGraph graph;
  EXPECT_FALSE(ConnectFilters(&graph, nullptr, 0, nullptr, 0));
  EXPECT_FALSE(ConnectFilters(nullptr, nullptr, 0, nullptr, 0));
}

TEST(FrameRate, ArithmeticTruncatesBothWays) {
  EXPECT_EQ(FrameTimeForRate(30), 333333);
  EXPECT_EQ(FrameTimeForRate(60), 166666);
  EXPECT_EQ(FrameTimeForRate(25), 400000);
  EXPECT_EQ(FrameTimeForRate(15), 666666);
  EXPECT_EQ(RateForFrameTime(333333), 30);
  EXPECT_EQ(RateForFrameTime(166666), 60);
  EXPECT_EQ(RateForFrameTime(333334), 29);
}

TEST(FrameRate, SubtypeCodesFollowTheTable) {
  EXPECT_EQ(SubtypeCode(media::Subtype::UYVY), 1);
  EXPECT_EQ(SubtypeCode(media::Subtype::YUY2), 3);
  EXPECT_EQ(SubtypeCode(media::Subtype::I420), 4);
  EXPECT_EQ(SubtypeCode(media::Subtype::RGB24), 5);
  EXPECT_EQ(SubtypeCode(media::Subtype::RGB32), 6);
  EXPECT_EQ(SubtypeCode(media::Subtype::MJPG), 7);
  EXPECT_EQ(SubtypeCode(media::Subtype::Other), 0);
}

}  // namespace
