// The live source inside a virtual camera: makes the capture frames on "src" and, per
// trigger, pushes one of them again through the camera's still output.
#pragma once

#include <gst/base/gstpushsrc.h>
#include <gst/gst.h>

#include "still_output.h"
#include "virtual_devices.h"

G_BEGIN_DECLS

#define OSTREL_TYPE_CAMERA_STREAM_SRC (ostrel_camera_stream_src_get_type())
G_DECLARE_FINAL_TYPE(OstrelCameraStreamSrc, ostrel_camera_stream_src, OSTREL, CAMERA_STREAM_SRC,
                     GstPushSrc)

G_END_DECLS

// Takes the camera's configuration and where its still frames go (null: no still pin); NULL state.
void ostrel_camera_stream_src_set_camera(OstrelCameraStreamSrc* self, int index,
                                         const virtualcam::CameraSpec& spec,
                                         OstrelStillOutput* still);

// Asks for one frame on "still"; ignored while the source is not started.
void ostrel_camera_stream_src_trigger_still(OstrelCameraStreamSrc* self);
