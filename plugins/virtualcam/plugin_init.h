// Registers the ostrelvirtual plugin's elements and device provider.
#pragma once

#include <gst/gst.h>

#define OSTREL_VIRTUAL_PLUGIN_NAME "ostrelvirtual"
#define OSTREL_VIRTUAL_PLUGIN_DESCRIPTION "Ostrel's virtual cameras and microphones"

gboolean ostrel_virtual_plugin_init(GstPlugin* plugin);
