// The shape of menu resource 128 as the commands rely on it.
#include <gtest/gtest.h>

#include <map>

#include "platform/fakes/fake_menu.h"
#include "res/menu_128.h"

namespace {

using platform::FakeMenu;

class Menu128Test : public ::testing::Test {
 protected:
  void SetUp() override {
    bar_ = FakeMenu::FromTemplate(MenuResource128());
    ASSERT_NE(bar_, nullptr);
  }
  std::unique_ptr<FakeMenu> bar_;
};

TEST_F(Menu128Test, SixPopupsOnTheBar) {
  ASSERT_EQ(bar_->ItemCount(), 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_TRUE(bar_->IsPopup(i)) << i;
    EXPECT_EQ(bar_->IdAtPosition(i), 0);
  }
}

// The device list replaces the Device popup's content; the property-page items
// follow the Option popup's separator.
TEST_F(Menu128Test, DeviceAndOptionPopupsAwaitTheirRunTimeItems) {
  FakeMenu* device = bar_->Popup(menu_pos::kDevice);
  ASSERT_EQ(device->ItemCount(), 1);
  EXPECT_TRUE(device->IsSeparator(0));

  FakeMenu* option = bar_->Popup(menu_pos::kOption);
  ASSERT_EQ(option->ItemCount(), 2);
  EXPECT_EQ(option->IdAtPosition(0), menu_id::kPreview);
  EXPECT_TRUE(option->IsSeparator(1));
}

TEST_F(Menu128Test, CapturePopupHoldsTheFormatAndStillSizePopups) {
  FakeMenu* capture = bar_->Popup(menu_pos::kCapture);
  ASSERT_EQ(capture->ItemCount(), 11);
  EXPECT_EQ(capture->IdAtPosition(0), menu_id::kStartStopCapture);
  FakeMenu* format = capture->Popup(menu_pos::kVideoFormat);
  ASSERT_NE(format, nullptr);
  EXPECT_EQ(format->IdAtPosition(0), menu_id::kFormatAvi);
  EXPECT_EQ(format->IdAtPosition(1), menu_id::kFormatWmv);

  // Still sizes in size order; size 6 has no item.
  FakeMenu* sizes = capture->Popup(menu_pos::kStillSize);
  ASSERT_NE(sizes, nullptr);
  ASSERT_EQ(sizes->ItemCount(), 10);
  int position = 0;
  for (int size = 0; size <= 10; ++size) {
    if (size == 6) {
      EXPECT_EQ(menu_id::kStillSize[size], 0u);
      continue;
    }
    EXPECT_EQ(sizes->IdAtPosition(position++), menu_id::kStillSize[size]) << size;
  }
  EXPECT_EQ(sizes->TextAtPosition(9), "5120*3840");
}

TEST_F(Menu128Test, EveryCommandStandsOnceAndStartsEnabledAndUnchecked) {
  std::map<int64_t, int> seen;
  for (const auto& item : MenuResource128()) {
    if (item.kind == platform::MenuTemplateItem::Kind::Command) {
      ++seen[item.id];
      EXPECT_TRUE(bar_->IsEnabled(item.id));
      EXPECT_FALSE(bar_->IsChecked(item.id));
    } else {
      EXPECT_EQ(item.id, 0u);
    }
  }
  EXPECT_EQ(seen.size(), 24u);
  for (const auto& [id, count] : seen) EXPECT_EQ(count, 1) << id;
  for (uint32_t id :
       {menu_id::kSetCaptureFolder, menu_id::kSetSnapshotFolder, menu_id::kResetFileNumbers,
        menu_id::kAppExit, menu_id::kVideoSizeSetting, menu_id::kSnapshot, menu_id::kRecordAudio,
        menu_id::kSetFrameRate, menu_id::kRecordTimeLimit, menu_id::kAppAbout}) {
    EXPECT_EQ(seen.count(id), 1u) << id;
  }
}

}  // namespace
