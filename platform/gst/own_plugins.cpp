// Registers the plugins shipped with Ostrel from folders relative to its executable.
#include "platform/gst/own_plugins.h"

#include <gst/gst.h>

#include <filesystem>
#include <system_error>

#ifndef OSTREL_PLUGIN_DIR_FROM_BIN
#define OSTREL_PLUGIN_DIR_FROM_BIN "../lib/ostrel/gstreamer-1.0"
#endif

namespace media::gst {

std::vector<std::string> OwnPluginFolders(const std::string& executable) {
  namespace fs = std::filesystem;
  const fs::path bin = fs::path(executable).parent_path();
  std::vector<std::string> folders;
  for (const fs::path& candidate : {bin / OSTREL_PLUGIN_DIR_FROM_BIN, bin / "plugins"}) {
    std::error_code ec;
    if (!fs::is_directory(candidate, ec)) continue;
    fs::path canonical = fs::weakly_canonical(candidate, ec);
    folders.push_back((ec ? candidate : canonical).string());
  }
  return folders;
}

std::vector<std::string> RegisterOwnPlugins(const std::string& executable) {
  std::vector<std::string> folders = OwnPluginFolders(executable);
  GstRegistry* registry = gst_registry_get();
  for (const std::string& folder : folders) gst_registry_scan_path(registry, folder.c_str());
  return folders;
}

}  // namespace media::gst
