// Registers the ostreltransfer plugin's element.
#include "transfer_plugin.h"

#include "transfer_element.h"

gboolean ostrel_transfer_plugin_init(GstPlugin* plugin) {
  // Rank NONE: the preview asks for it by name; auto-plugging must never pick a scaler
  // that changes the picture size.
  return gst_element_register(plugin, "ostreltransfer", GST_RANK_NONE, OSTREL_TYPE_TRANSFER);
}
