// The entry point of the loadable module libgstostreltransfer.so.
#include "transfer_plugin.h"

#define PACKAGE "ostrel"

GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, ostreltransfer,
                  OSTREL_TRANSFER_PLUGIN_DESCRIPTION, ostrel_transfer_plugin_init, "1.0.0",
                  "unknown", "Ostrel", "https://localhost/ostrel")
