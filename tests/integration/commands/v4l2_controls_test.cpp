// A V4L2 camera's controls as property pages, over a device that answers like a driver.
#include "platform/gst/v4l2_controls.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using media::v4l2::ControlInfo;

ControlInfo Control(uint32_t id, ControlInfo::Type type, const char* name, int32_t minimum = 0,
                    int32_t maximum = 0, int32_t defaultValue = 0) {
  ControlInfo c;
  c.id = id;
  c.type = type;
  c.name = name;
  c.minimum = minimum;
  c.maximum = maximum;
  c.defaultValue = defaultValue;
  return c;
}

class FakeDriver : public media::v4l2::ControlDevice {
 public:
  explicit FakeDriver(std::map<uint32_t, int32_t>& values) : values_(values) {}
  std::vector<ControlInfo> Controls() override {
    ControlInfo brightness = Control(1, ControlInfo::Type::Integer, "Brightness", -64, 64);
    ControlInfo autoWb = Control(2, ControlInfo::Type::Boolean, "White Balance, Auto", 0, 1, 1);
    ControlInfo power = Control(3, ControlInfo::Type::Menu, "Power Line Frequency", 0, 2, 1);
    power.items = {{0, "Disabled"}, {2, "60 Hz"}};  // item 1 is not offered
    ControlInfo locked = Control(4, ControlInfo::Type::Integer, "Exposure", 1, 5000, 100);
    locked.readOnly = true;
    ControlInfo button = Control(5, ControlInfo::Type::Other, "Pan Reset");
    ControlInfo temperature =
        Control(6, ControlInfo::Type::Integer, "White Balance Temperature", 2800, 6500, 4600);
    temperature.inactive = values_[2] != 0;  // as uvcvideo: set by the camera while automatic
    return {brightness, autoWb, power, locked, button, temperature};
  }
  bool Get(uint32_t id, int32_t& value) override {
    auto it = values_.find(id);
    if (it == values_.end()) return false;
    value = it->second;
    return true;
  }
  bool Set(uint32_t id, int32_t value) override {
    if (id == 1 && value == 13) return false;  // the driver refuses this one
    values_[id] = value;
    return true;
  }

 private:
  std::map<uint32_t, int32_t>& values_;
};

TEST(V4l2ControlPages, ShowsTheSettableControlsAndSetsThemOnTheDevice) {
  std::map<uint32_t, int32_t> values{{1, 10}, {2, 1}, {3, 2}, {4, 100}, {6, 4600}};
  auto pages = media::v4l2::ControlPages(std::make_unique<FakeDriver>(values), "USB Camera");
  ASSERT_TRUE(pages);
  EXPECT_EQ(pages->ObjectName(), "USB Camera");
  auto data = pages->Pages();
  ASSERT_EQ(data.size(), 1u);
  ASSERT_EQ(data[0].properties.size(), 4u) << "read-only and button controls are left out";
  const auto& props = data[0].properties;
  EXPECT_EQ(props[0].name, "Brightness");
  EXPECT_EQ(props[0].kind, media::Property::Kind::Range);
  EXPECT_EQ(props[0].minimum, -64);
  EXPECT_EQ(props[0].value, 10);
  EXPECT_EQ(props[1].kind, media::Property::Kind::Boolean);
  EXPECT_EQ(props[1].value, 1);
  EXPECT_EQ(props[2].kind, media::Property::Kind::Enumeration);
  EXPECT_EQ(props[2].choices, (std::vector<std::string>{"Disabled", "60 Hz"}));
  EXPECT_EQ(props[2].value, 1) << "the driver's item 2 is the second choice";
  EXPECT_TRUE(props[3].inactive) << "the temperature while the white balance is automatic";
  EXPECT_FALSE(props[0].inactive);

  EXPECT_TRUE(pages->Apply(0, 0, -20));
  EXPECT_EQ(values[1], -20);
  EXPECT_FALSE(pages->Apply(0, 0, 65)) << "outside the driver's range";
  EXPECT_FALSE(pages->Apply(0, 0, 13)) << "refused by the driver";
  EXPECT_TRUE(pages->Apply(0, 1, 0));
  EXPECT_EQ(values[2], 0);
  EXPECT_FALSE(pages->Pages()[0].properties[3].inactive) << "settable once automatic is off";
  EXPECT_TRUE(pages->Apply(0, 2, 0));
  EXPECT_EQ(values[3], 0) << "choice 0 is item 0";
  EXPECT_FALSE(pages->Apply(0, 2, 2));
  EXPECT_FALSE(pages->Apply(0, 3, 1));
  EXPECT_EQ(pages->Pages()[0].properties[0].value, -20) << "read back from the device";
}

TEST(V4l2ControlPages, NoDeviceOrNoNodeGivesNoPages) {
  EXPECT_FALSE(media::v4l2::ControlPages(nullptr));
  EXPECT_FALSE(media::v4l2::OpenControlDevice("/nonexistent/video0"));
}

}  // namespace
