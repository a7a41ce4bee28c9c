// Registers the ostrelvirtual plugin's elements and device provider.
#include "plugin_init.h"

#include "camera_src.h"
#include "device_provider.h"
#include "microphone_src.h"

gboolean ostrel_virtual_plugin_init(GstPlugin* plugin) {
  // The sources keep rank NONE so that auto-plugging never picks a virtual camera.
  return gst_element_register(plugin, "ostrelvirtualcamsrc", GST_RANK_NONE,
                              OSTREL_TYPE_VIRTUAL_CAM_SRC) &&
         gst_element_register(plugin, "ostrelvirtualcamsrcplain", GST_RANK_NONE,
                              OSTREL_TYPE_VIRTUAL_CAM_SRC_PLAIN) &&
         gst_element_register(plugin, "ostrelvirtualmicsrc", GST_RANK_NONE,
                              OSTREL_TYPE_VIRTUAL_MIC_SRC) &&
         gst_device_provider_register(plugin, "ostrelvirtualdeviceprovider", GST_RANK_PRIMARY,
                                      OSTREL_TYPE_VIRTUAL_DEVICE_PROVIDER);
}
