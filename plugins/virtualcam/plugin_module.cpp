// The entry point of the loadable module libgstostrelvirtual.so.
#include "plugin_init.h"

#define PACKAGE "ostrel"

GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, ostrelvirtual,
                  OSTREL_VIRTUAL_PLUGIN_DESCRIPTION, ostrel_virtual_plugin_init, "1.0.0", "unknown",
                  "Ostrel", "https://localhost/ostrel")
