// Ostrel's own plugins found beside its executable, with no plugin path set.
#include "platform/gst/own_plugins.h"

#include <gst/gst.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

class OwnPlugins : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "ostrel-plugins-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    root = fs::canonical(tmpl);
    // A registry of this test's own, scanned in this process (a sanitizer build's
    // plugins cannot be loaded by the uninstrumented scanner helper).
    ::setenv("GST_REGISTRY", (root / "registry.bin").c_str(), 1);
    ::setenv("GST_REGISTRY_FORK", "no", 1);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root, ec);
  }

  // An installed prefix holding a copy of the transfer filter's module.
  fs::path InstallTransferFilter(const fs::path& prefix) {
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "lib/ostrel/gstreamer-1.0");
    fs::copy_file(fs::path(OSTREL_TRANSFER_MODULE_DIR) / "libgstostreltransfer.so",
                  prefix / "lib/ostrel/gstreamer-1.0/libgstostreltransfer.so");
    return prefix / "bin/ostrel";
  }

  fs::path root;
};

TEST_F(OwnPlugins, FoldersOfAnInstalledPrefixAndOfTheBuildTree) {
  fs::create_directories(root / "usr/bin");
  fs::create_directories(root / "usr/lib/ostrel/gstreamer-1.0");
  EXPECT_EQ(media::gst::OwnPluginFolders((root / "usr/bin/ostrel").string()),
            std::vector<std::string>{(root / "usr/lib/ostrel/gstreamer-1.0").string()});

  fs::create_directories(root / "build/plugins/transfer");
  EXPECT_EQ(media::gst::OwnPluginFolders((root / "build/ostrel").string()),
            std::vector<std::string>{(root / "build/plugins").string()});

  fs::create_directories(root / "elsewhere");
  EXPECT_TRUE(media::gst::OwnPluginFolders((root / "elsewhere/ostrel").string()).empty());
}

TEST_F(OwnPlugins, TheInstalledTransferFilterIsRegisteredWithoutAPluginPath) {
  ::unsetenv("GST_PLUGIN_PATH");
  ::unsetenv("GST_PLUGIN_PATH_1_0");
  fs::path exe = InstallTransferFilter(root / "usr");
  gst_init(nullptr, nullptr);
  GstElementFactory* before = gst_element_factory_find("ostreltransfer");
  if (before) gst_object_unref(before);
  ASSERT_EQ(before, nullptr) << "the filter is known before it was registered";

  media::gst::RegisterOwnPlugins(exe.string());
  GstElement* element = gst_element_factory_make("ostreltransfer", nullptr);
  ASSERT_NE(element, nullptr);
  GstPlugin* plugin = gst_registry_find_plugin(gst_registry_get(), "ostreltransfer");
  ASSERT_NE(plugin, nullptr);
  EXPECT_EQ(fs::path(gst_plugin_get_filename(plugin)).parent_path(),
            root / "usr/lib/ostrel/gstreamer-1.0");
  gst_object_unref(plugin);
  gst_object_unref(element);
}

TEST_F(OwnPlugins, APluginAlreadyOnThePluginPathIsKept) {
  ::setenv("GST_PLUGIN_PATH", OSTREL_TRANSFER_MODULE_DIR, 1);
  fs::path exe = InstallTransferFilter(root / "usr");
  gst_init(nullptr, nullptr);
  media::gst::RegisterOwnPlugins(exe.string());
  GstPlugin* plugin = gst_registry_find_plugin(gst_registry_get(), "ostreltransfer");
  ASSERT_NE(plugin, nullptr);
  EXPECT_EQ(fs::path(gst_plugin_get_filename(plugin)).parent_path(),
            fs::canonical(OSTREL_TRANSFER_MODULE_DIR));
  gst_object_unref(plugin);
  GstElement* element = gst_element_factory_make("ostreltransfer", nullptr);
  ASSERT_NE(element, nullptr);
  gst_object_unref(element);
}

}  // namespace
