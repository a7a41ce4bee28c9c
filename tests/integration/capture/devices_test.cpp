// Device lists, graph creation and release over the virtual devices.
#include <gst/gst.h>
#include <gtest/gtest.h>

#include "capture/graph_utils.h"
#include "capture_test_support.h"
#include "i18n/lang_text_table.h"

namespace {

// A provider of one camera that is not Ostrel's own, ranked below the virtual one, so
// that the system lists it after the virtual camera.
GType RealCameraProvider() {
  static const GType device =
      g_type_register_static_simple(GST_TYPE_DEVICE, "TestRealCamera", sizeof(GstDeviceClass),
                                    nullptr, sizeof(GstDevice), nullptr, GTypeFlags(0));
  static const GType provider = g_type_register_static_simple(
      GST_TYPE_DEVICE_PROVIDER, "TestRealCameraProvider", sizeof(GstDeviceProviderClass),
      [](gpointer klass, gpointer) {
        GST_DEVICE_PROVIDER_CLASS(klass)->probe = [](GstDeviceProvider*) {
          GstCaps* caps = gst_caps_new_empty_simple("video/x-raw");
          gpointer camera = g_object_new(device, "display-name", "USB Camera", "device-class",
                                         "Video/Source", "caps", caps, nullptr);
          gst_caps_unref(caps);
          return g_list_append(nullptr, camera);
        };
        gst_device_provider_class_set_static_metadata(GST_DEVICE_PROVIDER_CLASS(klass), "Test",
                                                      "Source/Video", "One camera", "tests");
      },
      sizeof(GstDeviceProvider), nullptr, GTypeFlags(0));
  return provider;
}

TEST(CaptureDevices, RealCamerasAreListedBeforeTheVirtualOne) {
  UseDevices({Camera("Ostrel Virtual Camera")});
  gst_device_provider_register(nullptr, "testrealprovider", GST_RANK_MARGINAL,
                               RealCameraProvider());
  media::gst::GstMediaFactory monitor("");  // every provider of the system
  auto enumerator = monitor.CreateDeviceEnumerator();
  std::vector<std::shared_ptr<media::DeviceMoniker>> devices;
  ASSERT_EQ(enumerator->CreateClassEnumerator(media::DeviceCategory::VideoInput, devices),
            media::kOk);
  std::vector<std::string> names;
  for (const auto& d : devices) {
    std::string name;
    d->ReadFriendlyName(name);
    if (name == "USB Camera" || name == "Ostrel Virtual Camera") names.push_back(name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"USB Camera", "Ostrel Virtual Camera"}));
}

TEST(CaptureDevices, TwelveCamerasListTenAndSayTooManyOnce) {
  std::vector<virtualcam::CameraSpec> cams;
  for (int i = 0; i < 12; ++i) cams.push_back(Camera("Cam " + std::to_string(i)));
  UseDevices(cams);
  TestCaptureFrame frame;
  EXPECT_TRUE(frame.EnumerateVideoDevices());
  EXPECT_EQ(frame.m_videoDeviceCount, 10);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(frame.m_videoDeviceNames[i], "Cam " + std::to_string(i));
    EXPECT_EQ(frame.m_videoDeviceIds[i], "virtual:Cam " + std::to_string(i));
    EXPECT_TRUE(frame.m_videoDevices[i]);
  }
  ASSERT_EQ(frame.window.messages.size(), 1u);
  EXPECT_EQ(frame.window.messages[0].text, "Video Capture Device too many");
  EXPECT_EQ(frame.window.messages[0].caption, "");
  EXPECT_EQ(frame.window.messages[0].icon, platform::MessageIcon::None);
}

TEST(CaptureDevices, UnreadableNameIsSkippedAndDoesNotCount) {
  auto hidden = Camera("Hidden");
  hidden.nameUnreadable = true;
  UseDevices({Camera("First"), hidden, Camera("Third")});
  TestCaptureFrame frame;
  EXPECT_TRUE(frame.EnumerateVideoDevices());
  EXPECT_EQ(frame.m_videoDeviceCount, 2);
  EXPECT_EQ(frame.m_videoDeviceNames[0], "First");
  EXPECT_EQ(frame.m_videoDeviceNames[1], "Third");
  EXPECT_TRUE(frame.window.messages.empty());
}

TEST(CaptureDevices, NoCameraSaysSoOnceAndGraphHasNoVideoFilter) {
  UseDevices({}, 0);
  TestCaptureFrame frame;
  frame.m_languageIndex = 0;
  EXPECT_TRUE(frame.EnumerateVideoDevices());
  EXPECT_FALSE(frame.EnumerateAudioDevices());  // nothing shown for audio
  EXPECT_EQ(frame.m_videoDeviceCount, 0);
  EXPECT_EQ(frame.m_audioDeviceCount, 0);
  ASSERT_EQ(frame.window.messages.size(), 1u);
  EXPECT_EQ(frame.window.messages[0].text, LangText(TXT_NO_VIDEO_DEVICE, 0));
  EXPECT_EQ(frame.window.messages[0].caption, "");
  EXPECT_TRUE(frame.CreateGraph());
  EXPECT_EQ(frame.m_selectedVideoDevice, -1);
  EXPECT_TRUE(frame.m_pGraph->Filters().empty());
  EXPECT_TRUE(frame.fits.empty());
}

TEST(CaptureDevices, CreateGraphAddsSelectedDevicesReadsFormatAndReleases) {
  UseDevices({Camera("Cam")}, 1);
  TestCaptureFrame frame;
  ASSERT_TRUE(frame.EnumerateVideoDevices());
  ASSERT_TRUE(frame.EnumerateAudioDevices());
  ASSERT_EQ(frame.m_audioDeviceCount, 1);
  EXPECT_EQ(frame.m_audioDeviceNames[0], "Ostrel Virtual Microphone");
  frame.m_selectedVideoDevice = 0;
  frame.m_selectedAudioDevice = 0;
  ASSERT_TRUE(frame.CreateGraph());
  EXPECT_TRUE(frame.window.messages.empty());
  EXPECT_EQ(frame.m_pGraph->FindFilterByName("Video Capture device"), frame.m_videoDevices[0]);
  EXPECT_EQ(frame.m_pGraph->FindFilterByName("Audio Capture device"), frame.m_audioDevices[0]);
  EXPECT_EQ(frame.m_videoWidth, 640);
  EXPECT_EQ(frame.m_videoHeight, 480);
  EXPECT_EQ(frame.m_videoSubtype, 3);  // YUY2
  ASSERT_EQ(frame.fits.size(), 1u);
  EXPECT_EQ(frame.fits[0], std::make_pair(640, 480));

  EXPECT_TRUE(frame.ReleaseDevices());
  EXPECT_EQ(frame.m_videoDeviceCount, 0);
  EXPECT_FALSE(frame.m_videoDevices[0]);
  EXPECT_TRUE(frame.m_pGraph->Filters().empty());
  EXPECT_TRUE(frame.ReleaseGraph());
  EXPECT_FALSE(frame.m_pGraph);
}

TEST(CaptureDevices, ListedCamerasGetThePictureDefaults) {
  auto plain = Camera("Plain");
  plain.hasPictureControls = false;
  UseDevices({Camera("Cam"), plain});
  TestCaptureFrame frame;
  ASSERT_TRUE(frame.EnumerateVideoDevices());
  auto amp = frame.m_videoDevices[0]->GetVideoProcAmp();
  ASSERT_TRUE(amp);
  const int32_t expected[] = {0, 62, 20, 64, 2, 125};
  for (int i = 0; i < 6; ++i) {
    int32_t value = -1;
    EXPECT_EQ(amp->Get(static_cast<media::VideoProcAmpProperty>(i), value), media::kOk);
    EXPECT_EQ(value, expected[i]) << "property " << i;
  }
  EXPECT_FALSE(frame.m_videoDevices[1]->GetVideoProcAmp());
  // Its sheet still opens, and says there is nothing to set.
  auto pages = frame.m_videoDevices[1]->GetPropertyPages();
  ASSERT_TRUE(pages);
  ASSERT_EQ(pages->Pages().size(), 1u);
  EXPECT_TRUE(pages->Pages()[0].properties.empty());
}

}  // namespace
