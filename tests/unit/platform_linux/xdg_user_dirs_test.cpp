// The user-dirs.dirs parser: where documents and pictures live.
#include "platform/linux/xdg_user_dirs.h"

#include <gtest/gtest.h>

namespace {

const char* const kFile =
    "# This file is written by xdg-user-dirs-update\n"
    "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
    "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
    "  XDG_PICTURES_DIR=\"/srv/photos/\"\n"
    "XDG_MUSIC_DIR=\"$HOME\"\n"
    "XDG_VIDEOS_DIR=\"relative/path\"\n";

TEST(XdgUserDir, ExpandsHomeAndKeepsAbsolutePaths) {
  EXPECT_EQ(platform::XdgUserDir(kFile, "XDG_DOCUMENTS_DIR", "/home/anna"), "/home/anna/Dokumente");
  EXPECT_EQ(platform::XdgUserDir(kFile, "XDG_PICTURES_DIR", "/home/anna"), "/srv/photos");
}

TEST(XdgUserDir, DisabledMissingOrInvalidEntriesAreEmpty) {
  EXPECT_EQ(platform::XdgUserDir(kFile, "XDG_MUSIC_DIR", "/home/anna"), "");
  EXPECT_EQ(platform::XdgUserDir(kFile, "XDG_VIDEOS_DIR", "/home/anna"), "");
  EXPECT_EQ(platform::XdgUserDir(kFile, "XDG_TEMPLATES_DIR", "/home/anna"), "");
  EXPECT_EQ(platform::XdgUserDir("", "XDG_DOCUMENTS_DIR", "/home/anna"), "");
  EXPECT_EQ(platform::XdgUserDir("XDG_DOCUMENTS_DIR_X=\"/x\"\n", "XDG_DOCUMENTS_DIR", "/h"), "");
}

TEST(XdgUserDir, TheLastAssignmentWins) {
  EXPECT_EQ(platform::XdgUserDir("XDG_DOCUMENTS_DIR=\"/a\"\nXDG_DOCUMENTS_DIR=\"/b\"\n",
                                 "XDG_DOCUMENTS_DIR", "/h"),
            "/b");
}

}  // namespace
