// The in-memory menu behaves like a window-system menu and logs what callers do.
#include <gtest/gtest.h>

#include "platform/fakes/fake_menu.h"

namespace {

using platform::FakeMenu;
using platform::MenuOperation;
using Kind = platform::MenuTemplateItem::Kind;

const platform::MenuTemplate kSmall = {
    {0, Kind::Popup, 0, "A"},     {1, Kind::Command, 10, "a1"},
    {1, Kind::Popup, 0, "A.sub"}, {2, Kind::Command, 11, "deep"},
    {1, Kind::Separator, 0, ""},  {0, Kind::Popup, 0, "B"},
    {1, Kind::Command, 20, "b1"}, {1, Kind::Command, 11, "second 11"},
};

TEST(FakeMenuTest, CommandsAreFoundAtAnyDepthFirstMatchWins) {
  auto bar = FakeMenu::FromTemplate(kSmall);
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->ModifyByCommand(11, "changed"));
  EXPECT_EQ(bar->Popup(0)->Popup(1)->TextAtPosition(0), "changed");
  EXPECT_EQ(bar->Popup(1)->TextAtPosition(1), "second 11");
  // A popup searches only below itself.
  EXPECT_EQ(bar->Popup(1)->TextOfCommand(10), "");
  EXPECT_FALSE(bar->Popup(1)->CheckByCommand(10, true));
  EXPECT_EQ(bar->TextOfCommand(20), "b1");
}

TEST(FakeMenuTest, CheckAndEnableByCommand) {
  auto bar = FakeMenu::FromTemplate(kSmall);
  EXPECT_TRUE(bar->CheckByCommand(20, true));
  EXPECT_TRUE(bar->IsChecked(20));
  EXPECT_TRUE(bar->EnableByCommand(11, false));
  EXPECT_FALSE(bar->IsEnabled(11));
  EXPECT_TRUE(bar->IsEnabled(10));
  EXPECT_FALSE(bar->CheckByCommand(99, true));
  EXPECT_FALSE(bar->IsChecked(99));
  EXPECT_FALSE(bar->IsEnabled(99));
  EXPECT_NE(bar->Dump().find("[11] deep (grayed)"), std::string::npos);
  EXPECT_NE(bar->Dump().find("[20] b1 (checked)"), std::string::npos);
}

TEST(FakeMenuTest, PositionsAndPopups) {
  auto bar = FakeMenu::FromTemplate(kSmall);
  FakeMenu* a = bar->Popup(0);
  EXPECT_EQ(a->IdAtPosition(0), 10);
  EXPECT_EQ(a->IdAtPosition(1), 0);  // popup
  EXPECT_EQ(a->IdAtPosition(2), 0);  // separator
  EXPECT_EQ(a->IdAtPosition(3), -1);
  EXPECT_EQ(a->IdAtPosition(-1), -1);
  EXPECT_EQ(a->SubMenu(0), nullptr);
  EXPECT_EQ(a->SubMenu(7), nullptr);
  // Relabelling a popup keeps its drop-down.
  EXPECT_TRUE(bar->ModifyByPosition(0, "Renamed"));
  EXPECT_EQ(bar->SubMenu(0), a);
  EXPECT_EQ(a->ItemCount(), 3);
  EXPECT_FALSE(bar->ModifyByPosition(2, "nothing there"));
  EXPECT_EQ(bar->ItemCount(), 2);
}

TEST(FakeMenuTest, LogNamesMenuOperationAndResult) {
  auto bar = FakeMenu::FromTemplate(kSmall);
  EXPECT_TRUE(bar->Log().empty());  // building is not logged
  FakeMenu* b = bar->Popup(1);
  EXPECT_TRUE(b->RemoveByPosition(0));
  EXPECT_TRUE(b->AppendItem(16, "Camera"));
  EXPECT_TRUE(b->AppendSeparator());
  EXPECT_FALSE(bar->Popup(0)->Popup(1)->ModifyByPosition(5, "x"));
  EXPECT_TRUE(bar->EnableByCommand(16, false));

  const platform::MenuLog& log = bar->Log();
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[0].kind, MenuOperation::Kind::RemoveByPosition);
  EXPECT_EQ(log[0].menu, "1");
  EXPECT_EQ(log[0].position, 0);
  EXPECT_EQ(log[1].kind, MenuOperation::Kind::AppendItem);
  EXPECT_EQ(log[1].id, 16);
  EXPECT_EQ(log[1].text, "Camera");
  EXPECT_EQ(log[1].position, 1);
  EXPECT_EQ(log[2].kind, MenuOperation::Kind::AppendSeparator);
  EXPECT_EQ(log[3].menu, "0.1");
  EXPECT_FALSE(log[3].ok);
  EXPECT_EQ(log[4].kind, MenuOperation::Kind::EnableByCommand);
  EXPECT_EQ(log[4].menu, "");
  EXPECT_FALSE(log[4].flag);
  EXPECT_TRUE(log[4].ok);
  EXPECT_STREQ(platform::KindName(log[4].kind), "EnableByCommand");

  // Menus may share one log, e.g. a window's.
  FakeMenu other(bar->SharedLog());
  other.AppendItem(1, "x");
  EXPECT_EQ(bar->Log().size(), 6u);
}

TEST(FakeMenuTest, MalformedTemplatesAreRefused) {
  EXPECT_EQ(FakeMenu::FromTemplate({{1, Kind::Command, 1, "orphan"}}), nullptr);
  EXPECT_EQ(FakeMenu::FromTemplate({{0, Kind::Command, 1, "a"}, {1, Kind::Command, 2, "b"}}),
            nullptr);
  EXPECT_EQ(FakeMenu::FromTemplate({{0, Kind::Popup, 0, "a"}, {2, Kind::Command, 2, "b"}}),
            nullptr);
  EXPECT_EQ(FakeMenu::FromTemplate({{-1, Kind::Command, 1, "a"}}), nullptr);
  auto nullText = FakeMenu::FromTemplate({{0, Kind::Command, 1, nullptr}});
  ASSERT_NE(nullText, nullptr);
  EXPECT_EQ(nullText->TextAtPosition(0), "");
  EXPECT_EQ(FakeMenu::FromTemplate({})->ItemCount(), 0);
}

}  // namespace
