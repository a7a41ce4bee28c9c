// A V4L2 camera's device filter finds its button's event device through sysfs and
// asks its still pin for the next frame on a press. The camera is a device whose
// element is a real v4l2src on /dev/video0 (never started), over a fake sysfs tree.
#include <gst/gst.h>
#include <gtest/gtest.h>

#include "platform/gst/device_filter.h"
#include "preview_support.h"
#include "tests/unit/platform_linux/camera_tree.h"

namespace {

using ostrel::button_test::CameraTree;
using ostrel::button_test::EventWriter;

struct FakeV4l2Device {
  GstDevice parent;
};
struct FakeV4l2DeviceClass {
  GstDeviceClass parent_class;
};

G_DEFINE_TYPE(FakeV4l2Device, fake_v4l2_device, GST_TYPE_DEVICE)

GstElement* CreateV4l2Source(GstDevice*, const gchar* name) {
  GstElement* source = gst_element_factory_make("v4l2src", name);
  if (source) g_object_set(source, "device", "/dev/video0", nullptr);
  return source;
}

void fake_v4l2_device_class_init(FakeV4l2DeviceClass* klass) {
  GST_DEVICE_CLASS(klass)->create_element = CreateV4l2Source;
}
void fake_v4l2_device_init(FakeV4l2Device*) {}

class V4l2ButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gst_init(nullptr, nullptr);
    GstElementFactory* v4l2 = gst_element_factory_find("v4l2src");
    if (!v4l2) GTEST_SKIP() << "v4l2src (gstreamer1.0-plugins-good) is not installed";
    gst_object_unref(v4l2);
    GstCaps* caps =
        gst_caps_from_string("video/x-raw,format=YUY2,width=640,height=480,framerate=30/1");
    device = GST_DEVICE(g_object_new(fake_v4l2_device_get_type(), "display-name", "UVC Camera",
                                     "device-class", "Video/Source", "caps", caps, nullptr));
    gst_caps_unref(caps);
  }
  void TearDown() override {
    if (device) gst_object_unref(device);
  }

  media::gst::SystemRoots Roots() const { return {tree.sysfs().string(), tree.dev().string()}; }

  GstDevice* device = nullptr;
  CameraTree tree;
};

TEST_F(V4l2ButtonTest, APressAsksTheStillPinOfTheCameraThatOwnsTheButton) {
  const auto interface = tree.AddCamera("1-1", "video0");
  CameraTree::AddInput(interface, "input7", "event5");
  const std::string event = tree.MakeEventFifo("event5");

  auto filter = media::gst::GstDeviceFilter::Create(device, Roots());
  ASSERT_TRUE(filter);
  std::vector<std::shared_ptr<media::Pin>> pins;
  filter->EnumPins(pins);
  ASSERT_EQ(pins.size(), 2u) << "capture and still";
  auto still = std::dynamic_pointer_cast<media::gst::GstPin>(pins[1]);
  ASSERT_TRUE(still);
  ASSERT_EQ(still->Category(), media::PinCategory::Still);

  // What the preview graph does to the still pin: something takes its frames.
  GstElement* pipeline = gst_pipeline_new(nullptr);
  GstElement* sink = gst_element_factory_make("fakesink", nullptr);
  gst_bin_add_many(GST_BIN(pipeline), GST_ELEMENT(gst_object_ref(filter->Bin())), sink, nullptr);
  GstPad* sinkPad = gst_element_get_static_pad(sink, "sink");
  ASSERT_EQ(gst_pad_link(still->Pad(), sinkPad), GST_PAD_LINK_OK);
  gst_object_unref(sinkPad);

  EventWriter kernel(event);  // throws unless the filter opened it
  kernel.Release();
  EXPECT_FALSE(filter->StillPending());
  kernel.Press();
  EXPECT_TRUE(WaitFor([&] { return filter->StillPending(); }, std::chrono::seconds(30)));

  gst_bin_remove(GST_BIN(pipeline), filter->Bin());
  gst_object_unref(pipeline);
}

TEST_F(V4l2ButtonTest, ACameraWithoutAButtonOpensNothing) {
  tree.AddCamera("1-1", "video0");  // no input device under the interface
  testing::internal::CaptureStderr();
  auto filter = media::gst::GstDeviceFilter::Create(device, Roots());
  ASSERT_TRUE(filter);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_FALSE(filter->StillPending());
}

}  // namespace
