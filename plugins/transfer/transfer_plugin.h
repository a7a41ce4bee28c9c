// Registers the ostreltransfer plugin's element.
#pragma once

#include <gst/gst.h>

#define OSTREL_TRANSFER_PLUGIN_NAME "ostreltransfer"
#define OSTREL_TRANSFER_PLUGIN_DESCRIPTION "Ostrel's video transfer filter"

gboolean ostrel_transfer_plugin_init(GstPlugin* plugin);
