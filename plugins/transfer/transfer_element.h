// The ostreltransfer element: RGB24 video in, renderer-ready video at the chosen size out.
#pragma once

#include <gst/video/gstvideofilter.h>

G_BEGIN_DECLS

#define OSTREL_TYPE_TRANSFER (ostrel_transfer_get_type())
G_DECLARE_FINAL_TYPE(OstrelTransfer, ostrel_transfer, OSTREL, TRANSFER, GstVideoFilter)

G_END_DECLS
