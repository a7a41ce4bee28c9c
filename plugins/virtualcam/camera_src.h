// The virtual camera element a device hands out: a live bin with the capture pad "src"
// and the still pad "still", with or without picture controls.
#pragma once

#include <gst/gst.h>

G_BEGIN_DECLS

// ostrelvirtualcamsrcplain: no picture controls.
#define OSTREL_TYPE_VIRTUAL_CAM_SRC_PLAIN (ostrel_virtual_cam_src_plain_get_type())
G_DECLARE_DERIVABLE_TYPE(OstrelVirtualCamSrcPlain, ostrel_virtual_cam_src_plain, OSTREL,
                         VIRTUAL_CAM_SRC_PLAIN, GstBin)

struct _OstrelVirtualCamSrcPlainClass {
  GstBinClass parent_class;
  void (*trigger_still)(OstrelVirtualCamSrcPlain* self);
};

// ostrelvirtualcamsrc: the same camera with picture controls (GstColorBalance and the
// brightness, contrast, hue, saturation, sharpness and gamma properties).
#define OSTREL_TYPE_VIRTUAL_CAM_SRC (ostrel_virtual_cam_src_get_type())
G_DECLARE_FINAL_TYPE(OstrelVirtualCamSrc, ostrel_virtual_cam_src, OSTREL, VIRTUAL_CAM_SRC,
                     OstrelVirtualCamSrcPlain)

G_END_DECLS
