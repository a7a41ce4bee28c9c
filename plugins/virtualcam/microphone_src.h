// The virtual microphone element: a live bin that gives a stereo 16-bit tone.
#pragma once

#include <gst/gst.h>

G_BEGIN_DECLS

#define OSTREL_TYPE_VIRTUAL_MIC_SRC (ostrel_virtual_mic_src_get_type())
G_DECLARE_FINAL_TYPE(OstrelVirtualMicSrc, ostrel_virtual_mic_src, OSTREL, VIRTUAL_MIC_SRC, GstBin)

G_END_DECLS
