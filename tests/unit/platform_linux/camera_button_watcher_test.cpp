// The snapshot button's watcher over FIFOs standing for event devices.
#include "platform/linux/camera_button_watcher.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "camera_tree.h"

namespace {

using ostrel::button_test::CameraTree;
using ostrel::button_test::EventWriter;
using platform::CameraButtonWatcher;
using platform::OnceNotice;

// Counts presses; waits for them with a generous limit.
struct Presses {
  std::mutex mutex;
  std::condition_variable changed;
  int count = 0;

  std::function<void()> Callback() {
    return [this] {
      std::lock_guard<std::mutex> lock(mutex);
      ++count;
      changed.notify_all();
    };
  }
  bool AwaitAtLeast(int n) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(30), [&] { return count >= n; });
  }
  int Count() {
    std::lock_guard<std::mutex> lock(mutex);
    return count;
  }
};

struct Notes {
  std::vector<std::string> said;
  OnceNotice notice{[this](const std::string& text) { said.push_back(text); }};
};

TEST(CameraButtonWatcherTest, FiresOnPressOnlyEvenForRecordsSplitAcrossWrites) {
  CameraTree tree;
  const std::string fifo = tree.MakeEventFifo("event5");
  Presses presses;
  Notes notes;
  {
    CameraButtonWatcher watcher({fifo}, presses.Callback(), notes.notice);
    ASSERT_EQ(watcher.Watching(), 1u);
    EventWriter kernel(fifo);
    kernel.Release();
    kernel.Key(KEY_CAMERA, 2);  // autorepeat
    kernel.Key(KEY_ENTER, 1);
    kernel.Event(EV_MSC, MSC_SCAN, KEY_CAMERA);
    kernel.Event(EV_SW, KEY_CAMERA, 1);  // the same code under another type
    kernel.Press();
    ASSERT_TRUE(presses.AwaitAtLeast(1));
    // A record in two pieces, then a second press.
    input_event press{};
    press.type = EV_KEY;
    press.code = KEY_CAMERA;
    press.value = 1;
    const char* bytes = reinterpret_cast<const char*>(&press);
    kernel.Write(bytes, 5);
    kernel.Write(bytes + 5, sizeof press - 5);
    kernel.Release();
    kernel.Press();
    ASSERT_TRUE(presses.AwaitAtLeast(3));
  }
  // Joined: anything else would have been counted before the last press.
  EXPECT_EQ(presses.Count(), 3);
  EXPECT_TRUE(notes.said.empty());
}

TEST(CameraButtonWatcherTest, WatchesEveryDeviceAndOutlivesOneThatEnds) {
  CameraTree tree;
  const std::string first = tree.MakeEventFifo("event5");
  const std::string second = tree.MakeEventFifo("event6");
  Presses presses;
  CameraButtonWatcher watcher({first, second}, presses.Callback());
  ASSERT_EQ(watcher.Watching(), 2u);
  EventWriter one(first);
  EventWriter two(second);
  one.Press();
  ASSERT_TRUE(presses.AwaitAtLeast(1));
  one.Close();  // unplugged: the watcher lets it go and keeps reading the other
  two.Press();
  ASSERT_TRUE(presses.AwaitAtLeast(2));
  two.Press();
  ASSERT_TRUE(presses.AwaitAtLeast(3));
}

TEST(CameraButtonWatcherTest, ADeviceThatCannotBeOpenedIsExplainedOnce) {
  CameraTree tree;
  const std::string readable = tree.MakeEventFifo("event6");
  Notes notes;
  Presses presses;
  auto refuse = [&readable](const std::string& path) {
    if (path == readable) return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    errno = EACCES;
    return -1;
  };
  {
    CameraButtonWatcher denied({"/dev/input/event5"}, presses.Callback(), notes.notice, refuse);
    EXPECT_EQ(denied.Watching(), 0u);
  }
  // Every preview build makes a watcher again: the message is not repeated.
  CameraButtonWatcher again({"/dev/input/event5", readable}, presses.Callback(), notes.notice,
                            refuse);
  EXPECT_EQ(again.Watching(), 1u);
  ASSERT_EQ(notes.said.size(), 1u);
  const std::string& text = notes.said[0];
  EXPECT_NE(text.find("/dev/input/event5"), std::string::npos) << text;
  EXPECT_NE(text.find("Permission denied"), std::string::npos) << text;
  EXPECT_NE(text.find("\"input\""), std::string::npos) << text;
  EXPECT_NE(text.find("uaccess"), std::string::npos) << text;
  // The device that opened still works.
  EventWriter kernel(readable);
  kernel.Press();
  EXPECT_TRUE(presses.AwaitAtLeast(1));
}

TEST(CameraButtonWatcherTest, AMissingNodeSaysWhyWithoutThePermissionHint) {
  Notes notes;
  Presses presses;
  CameraButtonWatcher watcher({"/nonexistent/input/event5"}, presses.Callback(), notes.notice);
  EXPECT_EQ(watcher.Watching(), 0u);
  ASSERT_EQ(notes.said.size(), 1u);
  EXPECT_NE(notes.said[0].find("No such file"), std::string::npos) << notes.said[0];
  EXPECT_EQ(notes.said[0].find("uaccess"), std::string::npos) << notes.said[0];
}

}  // namespace
