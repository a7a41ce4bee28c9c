// The provider lists the configured cameras and microphones, each time it is asked.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "pipeline_helpers.h"
#include "virtual_devices.h"

namespace {

using virtualcam::CameraSpec;
using virtualcam::MicrophoneSpec;

struct Listed {
  std::string name;
  std::string klass;
  int index = -1;
  GstDevice* device = nullptr;  // owned
};

// Our devices as a GstDeviceMonitor sees them, in its order.
std::vector<Listed> Monitor() {
  std::vector<Listed> out;
  GstDeviceMonitor* monitor = gst_device_monitor_new();
  gst_device_monitor_add_filter(monitor, "Video/Source", nullptr);
  gst_device_monitor_add_filter(monitor, "Audio/Source", nullptr);
  EXPECT_TRUE(gst_device_monitor_start(monitor));
  GList* devices = gst_device_monitor_get_devices(monitor);
  for (GList* l = devices; l; l = l->next) {
    GstDevice* d = GST_DEVICE(l->data);
    GstStructure* props = gst_device_get_properties(d);
    gboolean virt = FALSE;
    if (props && gst_structure_get_boolean(props, "ostrel.virtual", &virt) && virt) {
      Listed item;
      gchar* name = gst_device_get_display_name(d);
      item.name = name ? name : "<null>";
      g_free(name);
      item.klass = gst_device_get_device_class(d) ? gst_device_get_device_class(d) : "";
      gst_structure_get_int(props, "ostrel.index", &item.index);
      item.device = GST_DEVICE(gst_object_ref(d));
      out.push_back(item);
    }
    if (props) gst_structure_free(props);
  }
  g_list_free_full(devices, gst_object_unref);
  gst_device_monitor_stop(monitor);
  gst_object_unref(monitor);
  return out;
}

void Release(std::vector<Listed>& items) {
  for (auto& i : items) gst_object_unref(i.device);
  items.clear();
}

std::vector<CameraSpec> Cameras(int n) {
  std::vector<CameraSpec> cams(n);
  for (int i = 0; i < n; ++i) cams[i].name = "Camera " + std::to_string(i);
  return cams;
}

TEST(VirtualDeviceList, ListsZeroOneAndTwelveInOrderAndFollowsEachConfigure) {
  for (int n : {0, 1, 12}) {
    std::vector<MicrophoneSpec> mics(n);
    for (int i = 0; i < n; ++i) mics[i].name = "Mic " + std::to_string(i);
    virtualcam::Configure(Cameras(n), mics);
    auto listed = Monitor();
    ASSERT_EQ(listed.size(), static_cast<size_t>(2 * n)) << n << " of each";
    for (int i = 0; i < n; ++i) {
      EXPECT_EQ(listed[i].name, "Camera " + std::to_string(i));
      EXPECT_EQ(listed[i].klass, "Video/Source");
      EXPECT_EQ(listed[i].index, i);
      EXPECT_EQ(listed[n + i].name, "Mic " + std::to_string(i));
      EXPECT_EQ(listed[n + i].klass, "Audio/Source");
      EXPECT_EQ(listed[n + i].index, i);
    }
    Release(listed);
  }
}

TEST(VirtualDeviceList, UnreadableNamesAreEmptyAndDevicesMakeTheirElements) {
  std::vector<CameraSpec> cams(3);
  cams[1].nameUnreadable = true;
  cams[2].hasPictureControls = false;
  cams[2].hasStillPin = false;
  MicrophoneSpec mic;
  mic.nameUnreadable = true;
  virtualcam::Configure(cams, {mic});
  auto listed = Monitor();
  ASSERT_EQ(listed.size(), 4u);
  EXPECT_EQ(listed[0].name, "Ostrel Virtual Camera");
  EXPECT_EQ(listed[1].name, "");
  EXPECT_EQ(listed[3].name, "");

  GstElement* full = gst_device_create_element(listed[0].device, "cam0");
  GstElement* plain = gst_device_create_element(listed[2].device, nullptr);
  GstElement* micSrc = gst_device_create_element(listed[3].device, nullptr);
  ASSERT_TRUE(full && plain && micSrc);
  EXPECT_STREQ(GST_OBJECT_NAME(full), "cam0");
  int index = -1;
  g_object_get(plain, "camera-index", &index, nullptr);
  EXPECT_EQ(index, 2);
  EXPECT_STREQ(GST_OBJECT_NAME(gst_element_get_factory(plain)), "ostrelvirtualcamsrcplain");
  EXPECT_STREQ(GST_OBJECT_NAME(gst_element_get_factory(micSrc)), "ostrelvirtualmicsrc");
  GstPad* still = gst_element_get_static_pad(full, "still");
  EXPECT_NE(still, nullptr);
  if (still) gst_object_unref(still);
  EXPECT_EQ(gst_element_get_static_pad(plain, "still"), nullptr);

  // The device's caps are the element's capture caps.
  GstCaps* deviceCaps = gst_device_get_caps(listed[0].device);
  GstPad* src = gst_element_get_static_pad(full, "src");
  GstCaps* padCaps = gst_pad_query_caps(src, nullptr);
  EXPECT_TRUE(gst_caps_is_equal(deviceCaps, padCaps));
  EXPECT_EQ(gst_caps_get_size(padCaps), 8u);
  gst_caps_unref(padCaps);
  gst_caps_unref(deviceCaps);
  gst_object_unref(src);
  for (GstElement* e : {full, plain, micSrc}) gst_object_unref(gst_object_ref_sink(e));
  Release(listed);
}

TEST(VirtualDeviceList, RejectsFormatsItCannotMake) {
  virtualcam::Configure({CameraSpec{}}, {});
  CameraSpec bad;
  bad.formats = {{"H264", 640, 480, 30}};
  EXPECT_THROW(virtualcam::Configure({bad}, {}), std::invalid_argument);
  bad.formats = {{"YUY2", 641, 480, 30}};
  EXPECT_THROW(virtualcam::Configure({bad}, {}), std::invalid_argument);
  bad.formats = {{"MJPG", 640, 480, 0}};
  EXPECT_THROW(virtualcam::Configure({bad}, {}), std::invalid_argument);
  // The previous configuration stays.
  auto listed = Monitor();
  EXPECT_EQ(listed.size(), 1u);
  Release(listed);
}

}  // namespace
